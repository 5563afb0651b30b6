#include "dataset/record_window.h"

#include <algorithm>
#include <cstring>

namespace velkor {

void TRecordWindow::Resize(int count, std::size_t bufferSize, int kept,
                           const std::function<void(char *buffer)> &init)
{
    const std::size_t words = (bufferSize + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
    const auto buffers = static_cast<std::size_t>(count);
    const auto rows = static_cast<std::size_t>(std::max(kept, 0));
    if (rows == 0) {
        storage_.assign(words * buffers, 0);
        buffers_.resize(buffers);
        for (std::size_t i = 0; i < buffers; ++i) {
            buffers_[i] = reinterpret_cast<char *>(storage_.data() + i * words);
            init(buffers_[i]);
        }
        return;
    }
    std::vector<std::uint64_t> storage(words * buffers);
    std::vector<char *> moved(buffers);
    for (std::size_t i = 0; i < buffers; ++i) {
        moved[i] = reinterpret_cast<char *>(storage.data() + i * words);
        if (i < rows)
            std::memcpy(moved[i], buffers_[i], bufferSize);
        else
            init(moved[i]);
    }
    storage_ = std::move(storage);
    buffers_ = std::move(moved);
}

void TRecordWindow::Move(int from, int to) noexcept
{
    const auto begin = buffers_.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else if (from > to)
        std::rotate(begin + to, begin + from, begin + from + 1);
}

void TRecordWindow::RotateToFront(int first) noexcept
{
    std::rotate(buffers_.begin(), buffers_.begin() + first, buffers_.end());
}

} // namespace velkor
