#pragma once

#include <QLineEdit>

namespace velkor {

class TCustomGrid;

// The editor a grid shows over its current cell. Navigation keys go on to the grid; over a cell
// that cannot be modified every key that would change the text is dropped, so the editor shows
// the value and changes nothing.
class TInplaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TInplaceEdit(TCustomGrid &grid);

    [[nodiscard]] bool Modifiable() const noexcept { return modifiable_; }
    void SetModifiable(bool value);
    // Places the text as the grid draws it in the cell, so that it stays put when the editor
    // opens.
    void SetTextAlignment(Qt::Alignment alignment);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    [[nodiscard]] bool GridKey(const QKeyEvent &event) const noexcept;
    [[nodiscard]] static bool ChangesText(const QKeyEvent &event) noexcept;

    TCustomGrid &grid_;
    bool modifiable_ = false;

    Q_DISABLE_COPY(TInplaceEdit)
};

} // namespace velkor
