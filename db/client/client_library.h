#pragma once

#include <cstdint>

namespace velkor {

// Loads and binds the client library unless it is loaded already; true when it is loaded.
bool LoadClientLibrary();
// LoadClientLibrary, raising client error 1 when the library cannot be had.
void RequireClientLibrary();
// 6, or 5 for a library without the generation-6 entry points.
[[nodiscard]] std::int32_t ClientLibraryVersion();

} // namespace velkor
