#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace velkor {

class TRzLabel;

// The product title, the maker and a mail link; created for one showing.
class TAboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutWindow(QWidget *parent = nullptr);

    // Where the mail link points.
    static inline const QString kContactAddress = QStringLiteral("velkor-support@example.org");

    TRzLabel *RzLabel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Button1 = nullptr;

    // Asks the desktop to open the contact address; the answer does not matter to us.
    void Label2Click() const;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ColourLink();

    Q_DISABLE_COPY(TAboutWindow)
};

} // namespace velkor
