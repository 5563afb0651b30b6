#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// Value types, numbered as the platform registry numbers them.
enum class TRegDataType : std::uint32_t {
    rdUnknown = 0,
    rdString = 1,
    rdExpandString = 2,
    rdBinary = 3,
    rdInteger = 4,
};

// A value's type and its raw bytes: a string's bytes end with one zero, an integer is four
// bytes, least significant first.
struct TRegValue
{
    TRegDataType type = TRegDataType::rdUnknown;
    std::string data;
    friend bool operator==(const TRegValue &, const TRegValue &) = default;
};

[[nodiscard]] TRegValue StringValue(std::string_view text,
                                    TRegDataType type = TRegDataType::rdString);
[[nodiscard]] TRegValue IntegerValue(std::int32_t number);

// Key and value names compare without regard to ASCII case and keep the case they were
// created with, as the platform registry does.
struct TRegNameLess
{
    [[nodiscard]] bool operator()(const std::string &a, const std::string &b) const noexcept;
};

// One key: its subkeys and its named values. An empty value name is the key's default value.
struct TRegKey
{
    std::map<std::string, TRegKey, TRegNameLess> subkeys;
    std::map<std::string, TRegValue, TRegNameLess> values;

    // Copied and taken apart level by level with a stack of our own: a deep tree must not
    // cost one call frame a level.
    TRegKey() = default;
    TRegKey(const TRegKey &other);
    TRegKey(TRegKey &&) noexcept = default;
    TRegKey &operator=(const TRegKey &other);
    TRegKey &operator=(TRegKey &&) noexcept = default;
    ~TRegKey();

    // Compared level by level without recursion; names must match with their case too.
    friend bool operator==(const TRegKey &a, const TRegKey &b);
};

// Bounds of a key path. The file repeats a key's whole path on its line, so the path's length
// bounds that line and its depth bounds how many lines one key brings: one new key adds at most
// some 64 KB (four times that if every byte of its names must be escaped), where without bounds
// one careless write could make every later read and write slow. Real paths are a handful of
// levels; the name length is the platform registry's own.
inline constexpr std::size_t kMaxKeyDepth = 64;        // levels below the root
inline constexpr std::size_t kMaxKeyNameLength = 255;  // bytes of one level's name
inline constexpr std::size_t kMaxKeyPathLength = 1024; // bytes of the levels joined by backslashes

// Why a path whose first `depth` levels take `pathLength` bytes joined, the last of them
// `nameLength` bytes, is refused, as a phrase ("key path too deep: ..."); empty when it is within
// the bounds. Lets a reader stop at the first level too many.
[[nodiscard]] std::string KeyLevelFault(std::size_t depth, std::size_t nameLength,
                                        std::size_t pathLength);
// Raises ERegistryException with the fault of the first level past the bounds, as a sentence:
// "Key path too deep: more than 64 levels".
void CheckKeyPath(const std::vector<std::string> &levels);

// Splits a key path at backslashes, dropping empty levels; a "/" is part of a name.
[[nodiscard]] std::vector<std::string> SplitKeyPath(std::string_view path);

// The key at `levels` below `root`, or null.
[[nodiscard]] const TRegKey *FindKey(const TRegKey &root, const std::vector<std::string> &levels);
[[nodiscard]] TRegKey *FindKey(TRegKey &root, const std::vector<std::string> &levels);
// Creates the missing levels; a path past the bounds raises ERegistryException.
TRegKey &CreateKey(TRegKey &root, const std::vector<std::string> &levels);
// Removes the key with all its subkeys; false when it did not exist. The root cannot go.
bool EraseKey(TRegKey &root, const std::vector<std::string> &levels);

} // namespace velkor
