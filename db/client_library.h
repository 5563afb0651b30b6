#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// One word of the client library's status vector (ISC_STATUS on this platform).
using TStatusWord = std::intptr_t;
inline constexpr int kStatusVectorLength = 20;

// Loads and binds the client library unless it is loaded already; true when it is loaded.
bool LoadClientLibrary();
// LoadClientLibrary, raising client error 1 when the library cannot be had.
void RequireClientLibrary();
// 6, or 5 for a library without the generation-6 entry points.
[[nodiscard]] std::int32_t ClientLibraryVersion();

// The calling thread's status vector, zero-filled on first use and kept for the thread's life.
[[nodiscard]] TStatusWord *ThreadStatusVector() noexcept;

// Builds the message from the calling thread's status vector and raises EIBInterBaseError.
[[noreturn]] void ReportServerError();
// The error ReportServerError would raise, kept for raising after clean-up calls that overwrite
// the status vector.
[[nodiscard]] std::exception_ptr CaptureServerError() noexcept;
// Whether any error code or number in the calling thread's status vector is one of `codes`.
[[nodiscard]] bool StatusVectorHasCode(const std::vector<std::int32_t> &codes) noexcept;

struct TErrorMessageOptions
{
    bool includeSQLCode = false;
    bool includeServerMessages = true;
};
[[nodiscard]] TErrorMessageOptions ErrorMessageOptions();
void SetErrorMessageOptions(TErrorMessageOptions options);

// A raw byte block for the client library's buffers: grown zero-filled, freed with its owner.
class TByteBlock
{
public:
    TByteBlock() noexcept = default;
    TByteBlock(const TByteBlock &) = delete;
    TByteBlock &operator=(const TByteBlock &) = delete;
    TByteBlock(TByteBlock &&other) noexcept;
    TByteBlock &operator=(TByteBlock &&other) noexcept;
    ~TByteBlock();

    [[nodiscard]] char *Data() noexcept { return data_; }
    [[nodiscard]] const char *Data() const noexcept { return data_; }
    [[nodiscard]] std::size_t Size() const noexcept { return size_; }

private:
    friend void ResizeZeroed(TByteBlock &block, std::size_t oldSize, std::size_t newSize);
    char *data_ = nullptr;
    std::size_t size_ = 0;
};

// Reallocates to `newSize` (0 frees) and zeroes the bytes from `oldSize` up to `newSize`.
void ResizeZeroed(TByteBlock &block, std::size_t oldSize, std::size_t newSize);
// Overwrites the block's bytes before they go back to the allocator (passwords pass through).
void WipeBlock(TByteBlock &block) noexcept;

[[nodiscard]] std::string QuoteIdentifier(int dialect, std::string_view name);
[[nodiscard]] std::string FormatIdentifier(int dialect, std::string_view name);
[[nodiscard]] std::string RandomDigits(int length);

} // namespace velkor
