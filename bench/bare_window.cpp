// What start-up is held against: a bare Qt window of the main window's size with six buttons,
// which also loads the Firebird client library as the panel's first database component does.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <dlfcn.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    void *client = dlopen("libfbclient.so.2", RTLD_NOW);
    if (!client) {
        std::fprintf(stderr, "bare_window: %s\n", dlerror());
        return 1;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(660, 312);
    const int lefts[] = {10, 118, 225, 333, 440, 548};
    for (const int left : lefts)
        (new QPushButton(QStringLiteral("Button"), &window))->setGeometry(left, 287, 105, 25);
    window.show();
    const int result = QApplication::exec();
    dlclose(client);
    return result;
}
