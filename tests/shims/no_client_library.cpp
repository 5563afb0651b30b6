// Preloaded into the real program: the client library cannot be opened, and the error box
// prints what it would show instead of waiting for a click.
#include <QMessageBox>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

extern "C" void *dlopen(const char *file, int mode)
{
    if (file && std::strstr(file, "libfbclient"))
        return nullptr;
    using Open = void *(*)(const char *, int);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "dlopen"));
    return next(file, mode);
}

QMessageBox::StandardButton QMessageBox::critical(QWidget *, const QString &title,
                                                  const QString &text, StandardButtons buttons,
                                                  StandardButton)
{
    std::fprintf(stderr, "error box [%s] buttons=%d: %s\n", title.toUtf8().constData(),
                 static_cast<int>(buttons), text.toUtf8().constData());
    return QMessageBox::Ok;
}
