#pragma once

#include <QString>

namespace velkor {

// How long the client library waits for a server's first answer before it gives up: a server
// that takes the connection and never answers would otherwise hold the window for 180 s.
constexpr int kConnectionTimeoutSeconds = 15;

// Points the client library at a configuration root of the panel's own (FIREBIRD), unless the
// operator has set FIREBIRD already: the system's root with a firebird.conf that reads the
// system's one and then sets ConnectionTimeout. Must run before the client library is loaded.
// Returns the root the library will use; empty when it stays on its built-in default (the
// system's files are missing or the folder cannot be written; logged).
QString PrepareClientConfiguration();

} // namespace velkor
