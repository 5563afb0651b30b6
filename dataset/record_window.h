#pragma once

// The record buffers of a data set's window.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace velkor {

// Buffers of one size in one block, addressed by their place in the window. Moving a row to
// another place rotates the addresses; the bytes stay where they are.
class TRecordWindow
{
public:
    // `count` buffers of `bufferSize` bytes. The first `kept` rows are carried over (into a new
    // block; an empty window reuses the block it had); every other buffer is handed to `init`.
    void Resize(int count, std::size_t bufferSize, int kept,
                const std::function<void(char *buffer)> &init);
    // No buffers; the block is kept for the next resize.
    void Clear() noexcept
    {
        buffers_.clear();
        storage_.clear();
    }

    [[nodiscard]] bool Empty() const noexcept { return buffers_.empty(); }
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(buffers_.size()); }
    [[nodiscard]] char *operator[](int index) const noexcept
    {
        return buffers_[static_cast<std::size_t>(index)];
    }
    // std::out_of_range outside the window.
    [[nodiscard]] char *At(int index) const { return buffers_.at(static_cast<std::size_t>(index)); }

    // The row at `from` goes to `to`; the rows between shift by one place.
    void Move(int from, int to) noexcept;
    // The row at `first` becomes the first; those before it go to the end.
    void RotateToFront(int first) noexcept;

private:
    std::vector<std::uint64_t> storage_;
    std::vector<char *> buffers_;
};

} // namespace velkor
