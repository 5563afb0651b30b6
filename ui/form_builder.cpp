#include "ui/form_builder.h"

#include "ui/dialog_border.h"
#include "ui/form_font.h"

#include <QDialog>

namespace velkor {

void SetUpForm(QWidget &form, const char *name, const QString &caption, QSize size)
{
    form.setObjectName(QString::fromLatin1(name));
    form.setWindowTitle(caption);
    // Windows made without a parent would take the desktop's font, not the one designed in.
    form.setFont(FormFont());
    form.setFixedSize(size);
}

void SetUpDialog(QDialog &dialog, const char *name, const QString &caption, QSize size)
{
    SetUpForm(dialog, name, caption, size);
    KeepDialogBorder(dialog);
}

} // namespace velkor
