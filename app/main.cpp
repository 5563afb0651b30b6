#include "app/main_control_window.h"
#include "app/platform_bindings.h"
#include "desktop/desktop_identity.h"
#include "ui/error_box.h"
#include "ui/registry_log.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    velkor::SetApplicationTitle(QStringLiteral("Velkor control panel"));
    QApplication::setApplicationName(QStringLiteral("velkor-control-panel"));
    velkor::SetDesktopIdentity();
    velkor::LogRegistryWarnings();

    velkor::InstallPlatformHooks();

    std::unique_ptr<velkor::TMainVelkorcontrolWindow> window;
    try {
        window = std::make_unique<velkor::TMainVelkorcontrolWindow>();
    } catch (const std::exception &error) {
        velkor::ShowExceptionBox(nullptr, error);
        return 1;
    }
    window->show();
    return QApplication::exec();
}
