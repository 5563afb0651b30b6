#pragma once

#include <QLoggingCategory>

#include <exception>
#include <string_view>

namespace velkor {

// "velkor.errors": every error the program carries on after, whether the error box showed it or
// the code had to swallow it (a destructor, a convenience that may fail quietly).
Q_DECLARE_LOGGING_CATEGORY(lcErrors)

// Logs an error that is swallowed on purpose, naming what was being done.
void LogIgnoredError(std::string_view doing, const std::exception &error);

} // namespace velkor
