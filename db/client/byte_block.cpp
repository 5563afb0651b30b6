#include "db/client/byte_block.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string.h>

namespace velkor {

TByteBlock::TByteBlock(TByteBlock &&other) noexcept
    : data_(other.data_)
    , size_(other.size_)
{
    other.data_ = nullptr;
    other.size_ = 0;
}

TByteBlock &TByteBlock::operator=(TByteBlock &&other) noexcept
{
    if (this != &other) {
        std::free(data_);
        data_ = other.data_;
        size_ = other.size_;
        other.data_ = nullptr;
        other.size_ = 0;
    }
    return *this;
}

TByteBlock::~TByteBlock()
{
    std::free(data_);
}

void ResizeZeroed(TByteBlock &block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize == 0) {
        std::free(block.data_);
        block.data_ = nullptr;
        block.size_ = 0;
        return;
    }
    void *grown = std::realloc(block.data_, newSize);
    if (!grown)
        throw std::bad_alloc();
    block.data_ = static_cast<char *>(grown);
    block.size_ = newSize;
    if (newSize > oldSize)
        std::memset(block.data_ + oldSize, 0, newSize - oldSize);
}

void WipeBlock(TByteBlock &block) noexcept
{
    if (block.Data())
        explicit_bzero(block.Data(), block.Size());
}

void WipeString(std::string &text) noexcept
{
    if (!text.empty())
        explicit_bzero(text.data(), text.size());
    text.clear();
}

} // namespace velkor
