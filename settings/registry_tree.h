#pragma once

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
    friend bool operator==(const TRegKey &a, const TRegKey &b) noexcept;
};

// Splits a key path at backslashes, dropping empty levels; a "/" is part of a name.
[[nodiscard]] std::vector<std::string> SplitKeyPath(std::string_view path);

// The key at `levels` below `root`, or null.
[[nodiscard]] const TRegKey *FindKey(const TRegKey &root, const std::vector<std::string> &levels);
[[nodiscard]] TRegKey *FindKey(TRegKey &root, const std::vector<std::string> &levels);
// Creates the missing levels.
TRegKey &CreateKey(TRegKey &root, const std::vector<std::string> &levels);
// Removes the key with all its subkeys; false when it did not exist. The root cannot go.
bool EraseKey(TRegKey &root, const std::vector<std::string> &levels);

} // namespace velkor
