#pragma once

#include <cstdint>
#include <vector>

namespace velkor {

// One word of the client library's status vector (ISC_STATUS on this platform).
using TStatusWord = std::intptr_t;
inline constexpr int kStatusVectorLength = 20;

// The calling thread's status vector, zero-filled on first use and kept for the thread's life.
[[nodiscard]] TStatusWord *ThreadStatusVector() noexcept;

// Whether any error code or number in the calling thread's status vector is one of `codes`.
[[nodiscard]] bool StatusVectorHasCode(const std::vector<std::int32_t> &codes) noexcept;

// Whether the calling thread's status vector says that the server side of the attachment is
// gone for good (the network failed, the server shut down or the attachment was lost).
[[nodiscard]] bool StatusVectorSaysConnectionLost() noexcept;

} // namespace velkor
