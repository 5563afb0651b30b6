#pragma once

#include <QFrame>

namespace velkor {

// A panel with the two one-pixel bevels of the dialogs: an outer and an inner ring, each
// raised, lowered or absent. Children are laid out by their own geometry, over the bevels too.
class TPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(TPanelBevel BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(TPanelBevel BevelInner READ BevelInner WRITE SetBevelInner)

public:
    enum TPanelBevel { bvNone, bvLowered, bvRaised };
    Q_ENUM(TPanelBevel)

    explicit TPanel(QWidget *parent = nullptr);

    [[nodiscard]] TPanelBevel BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);

    [[nodiscard]] TPanelBevel BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;

    Q_DISABLE_COPY(TPanel)
};

} // namespace velkor
