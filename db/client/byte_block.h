#pragma once

#include <cstddef>
#include <string>

namespace velkor {

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
// Overwrites a text that held a secret before it is released.
void WipeString(std::string &text) noexcept;

} // namespace velkor
