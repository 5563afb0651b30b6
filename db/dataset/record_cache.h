#pragma once

#include <cstddef>
#include <memory>

namespace velkor {

// A block of whole record buffers that grows by chunks and never shrinks until cleared, so that
// fetching rows does not allocate once per row. A cleared cache keeps its memory for the next
// open (a refresh reads the same rows again every few seconds); Release gives it back.
class TRecordCache
{
public:
    TRecordCache() noexcept = default;
    TRecordCache(const TRecordCache &) = delete;
    TRecordCache &operator=(const TRecordCache &) = delete;

    // Starts over with one chunk of `chunkSize` bytes for records of `recordSize` bytes.
    void Reset(std::size_t recordSize, std::size_t chunkSize);
    // Empty, the memory kept.
    void Clear() noexcept;
    // Empty, the memory freed.
    void Release() noexcept;

    // Copies the buffer in as record `index` (slot `index` of the block).
    void Write(std::size_t index, const char *buffer);
    // Copies record `index` out; it must have been written.
    void Read(std::size_t index, char *buffer) const noexcept;

    // The size in whole chunks, the highest byte written, and how often it grew since Reset.
    [[nodiscard]] std::size_t Size() const noexcept { return size_; }
    [[nodiscard]] std::size_t End() const noexcept { return end_; }
    [[nodiscard]] std::size_t Growths() const noexcept { return growths_; }
    [[nodiscard]] std::size_t Capacity() const noexcept { return capacity_; }

private:
    void GrowFor(std::size_t position);

    struct TFree
    {
        void operator()(char *block) const noexcept;
    };
    std::unique_ptr<char, TFree> block_;
    std::size_t capacity_ = 0;
    std::size_t recordSize_ = 0;
    std::size_t chunkSize_ = 0;
    std::size_t size_ = 0;
    std::size_t end_ = 0;
    std::size_t growths_ = 0;
};

} // namespace velkor
