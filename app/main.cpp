#include "app/client_configuration.h"
#include "app/main_velkorcontrol_window.h"
#include "app/platform_bindings.h"
#include "app/session_end_watcher.h"
#include "desktop/desktop_identity.h"
#include "ui/control_accessibility.h"
#include "ui/error_box.h"
#include "ui/storage/registry_log.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    // Before any thread exists, so that every later one inherits the mask.
    velkor::BlockSessionEndSignals();
    QApplication application(argc, argv);
    velkor::SetApplicationTitle(QStringLiteral("Velkor control panel"));
    QApplication::setApplicationName(QStringLiteral("velkor-control-panel"));
    velkor::InstallAccessibility();
    velkor::LogRegistryWarnings();

    // Before the window: its first database component loads the client library.
    velkor::PrepareClientConfiguration();
    velkor::InstallPlatformHooks();

    std::unique_ptr<velkor::TMainVelkorcontrolWindow> window;
    try {
        window = std::make_unique<velkor::TMainVelkorcontrolWindow>();
    } catch (const std::exception &error) {
        velkor::SetDesktopIdentity();
        velkor::ShowExceptionBox(nullptr, error);
        return 1;
    }
    velkor::SetDesktopIdentityOnceShown(*window);
    const velkor::TSessionEndWatcher sessionEnd(window.get());
    window->show();
    return QApplication::exec();
}
