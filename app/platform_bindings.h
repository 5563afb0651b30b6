#pragma once

namespace velkor {

// Gives the database layer its timers, login dialog and busy cursor from Qt.
void InstallPlatformHooks();

} // namespace velkor
