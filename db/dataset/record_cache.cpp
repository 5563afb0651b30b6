#include "db/dataset/record_cache.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace velkor {

void TRecordCache::TFree::operator()(char *block) const noexcept
{
    std::free(block);
}

void TRecordCache::Reset(std::size_t recordSize, std::size_t chunkSize)
{
    Clear();
    recordSize_ = recordSize;
    chunkSize_ = chunkSize;
    GrowFor(0);
}

void TRecordCache::Clear() noexcept
{
    recordSize_ = chunkSize_ = size_ = end_ = growths_ = 0;
}

void TRecordCache::Release() noexcept
{
    Clear();
    block_.reset();
    capacity_ = 0;
}

void TRecordCache::GrowFor(std::size_t position)
{
    if (position < size_)
        return;
    std::size_t size = size_;
    while (size <= position)
        size += chunkSize_;
    if (size > capacity_) {
        // realloc keeps what was cached; the new space is written before it is read.
        void *grown = std::realloc(block_.get(), size);
        if (!grown)
            throw std::bad_alloc();
        (void)block_.release();
        block_.reset(static_cast<char *>(grown));
        capacity_ = size;
    }
    size_ = size;
    ++growths_;
}

void TRecordCache::Write(std::size_t index, const char *buffer)
{
    const std::size_t position = index * recordSize_;
    GrowFor(position + recordSize_ - 1);
    std::memcpy(block_.get() + position, buffer, recordSize_);
    if (position + recordSize_ > end_)
        end_ = position + recordSize_;
}

void TRecordCache::Read(std::size_t index, char *buffer) const noexcept
{
    std::memcpy(buffer, block_.get() + index * recordSize_, recordSize_);
}

} // namespace velkor
