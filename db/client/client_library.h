#pragma once

// What used to come with this header; includers that need only one of these may include it
// alone.
#include "db/client/byte_block.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "db/sql/identifiers.h"
#include "db/sql/random_digits.h"

#include <cstdint>

namespace velkor {

// Loads and binds the client library unless it is loaded already; true when it is loaded.
bool LoadClientLibrary();
// LoadClientLibrary, raising client error 1 when the library cannot be had.
void RequireClientLibrary();
// 6, or 5 for a library without the generation-6 entry points.
[[nodiscard]] std::int32_t ClientLibraryVersion();

} // namespace velkor
