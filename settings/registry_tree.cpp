#include "settings/registry_tree.h"

#include <algorithm>

namespace velkor {

namespace {
unsigned char Fold(char c) noexcept
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}
} // namespace

TRegValue StringValue(std::string_view text, TRegDataType type)
{
    TRegValue value{type, std::string(text)};
    value.data.push_back('\0');
    return value;
}

TRegValue IntegerValue(std::int32_t number)
{
    const auto bits = static_cast<std::uint32_t>(number);
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
    return {TRegDataType::rdInteger, std::move(data)};
}

bool TRegNameLess::operator()(const std::string &a, const std::string &b) const noexcept
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

bool operator==(const TRegKey &a, const TRegKey &b) noexcept
{
    // Names must match with their case too: a round trip keeps it.
    auto sameNames = [](const auto &x, const auto &y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](const auto &p, const auto &q) { return p.first == q.first; });
    };
    return sameNames(a.values, b.values) && sameNames(a.subkeys, b.subkeys) &&
           std::equal(a.values.begin(), a.values.end(), b.values.begin(), b.values.end()) &&
           std::equal(a.subkeys.begin(), a.subkeys.end(), b.subkeys.begin(), b.subkeys.end());
}

std::vector<std::string> SplitKeyPath(std::string_view path)
{
    std::vector<std::string> levels;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            levels.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return levels;
}

const TRegKey *FindKey(const TRegKey &root, const std::vector<std::string> &levels)
{
    const TRegKey *key = &root;
    for (const std::string &level : levels) {
        auto it = key->subkeys.find(level);
        if (it == key->subkeys.end())
            return nullptr;
        key = &it->second;
    }
    return key;
}

TRegKey *FindKey(TRegKey &root, const std::vector<std::string> &levels)
{
    return const_cast<TRegKey *>(FindKey(static_cast<const TRegKey &>(root), levels));
}

TRegKey &CreateKey(TRegKey &root, const std::vector<std::string> &levels)
{
    TRegKey *key = &root;
    for (const std::string &level : levels)
        key = &key->subkeys[level];
    return *key;
}

bool EraseKey(TRegKey &root, const std::vector<std::string> &levels)
{
    if (levels.empty())
        return false;
    TRegKey *parent = FindKey(root, {levels.begin(), levels.end() - 1});
    return parent && parent->subkeys.erase(levels.back()) > 0;
}

} // namespace velkor
