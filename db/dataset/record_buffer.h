#pragma once

#include "dataset/data_set_types.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace velkor {

// Layout of one record buffer of the buffered result set: a header, one descriptor per select
// column, the column data, the calculated-field area and the blob slots. Buffer sizes are kept
// a multiple of 8, so headers and descriptors stay aligned in the cache as in the window.
struct TRecordHeader
{
    TBookmarkFlag bookmarkFlag;
    std::int16_t columnCount;
    std::int32_t recordNumber;
    TCachedUpdateStatus cachedUpdateStatus;
    TUpdateStatus updateStatus;
    // Where the row's old values lie in the old-value cache; all ones for none.
    std::uint32_t savedOffset;
    char dbKey[8];
};

struct TColumnDescriptor
{
    std::int16_t sqlType; // nullable bit cleared
    std::int16_t scale;
    std::uint8_t nullable;
    std::uint8_t isNull;
    std::int16_t dataSize;
    std::int16_t dataLength;
    std::int32_t dataOffset;
};

inline constexpr std::size_t kRecordAlignment = 8;
static_assert(sizeof(TRecordHeader) % kRecordAlignment == 0);
static_assert(alignof(TRecordHeader) <= kRecordAlignment);
static_assert(alignof(TColumnDescriptor) <= kRecordAlignment);
inline constexpr std::uint32_t kNoSavedOffset = 0xFFFFFFFFU;

[[nodiscard]] constexpr std::size_t AlignRecordSize(std::size_t size) noexcept
{
    return (size + kRecordAlignment - 1) / kRecordAlignment * kRecordAlignment;
}

[[nodiscard]] constexpr std::size_t RecordDataStart(int columnCount) noexcept
{
    return sizeof(TRecordHeader) +
           sizeof(TColumnDescriptor) * static_cast<std::size_t>(columnCount);
}

// A select column of this alias is not a column of the record: it fills the header's key.
inline constexpr std::string_view kDbKeyName = "IBX_INTERNAL_DBKEY";

// Record buffers live in blocks of 64-bit words, so that they start aligned.
[[nodiscard]] constexpr std::size_t Words(std::size_t bytes) noexcept
{
    return (bytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
}
[[nodiscard]] inline char *Bytes(std::vector<std::uint64_t> &block) noexcept
{
    return reinterpret_cast<char *>(block.data());
}

[[nodiscard]] inline TRecordHeader &Header(char *buffer) noexcept
{
    return *reinterpret_cast<TRecordHeader *>(buffer);
}
[[nodiscard]] inline const TRecordHeader &Header(const char *buffer) noexcept
{
    return *reinterpret_cast<const TRecordHeader *>(buffer);
}
// The descriptor of 0-based column `index`.
[[nodiscard]] inline TColumnDescriptor &Descriptor(char *buffer, int index) noexcept
{
    return reinterpret_cast<TColumnDescriptor *>(buffer + sizeof(TRecordHeader))[index];
}
[[nodiscard]] inline const TColumnDescriptor &Descriptor(const char *buffer, int index) noexcept
{
    return reinterpret_cast<const TColumnDescriptor *>(buffer + sizeof(TRecordHeader))[index];
}

} // namespace velkor
