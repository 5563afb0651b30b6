#include "settings/registry_tree.h"

#include "framework/exceptions.h"

#include <algorithm>
#include <utility>

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

TRegKey::TRegKey(const TRegKey &other)
    : values(other.values)
{
    std::vector<std::pair<TRegKey *, const TRegKey *>> pending{{this, &other}};
    while (!pending.empty()) {
        const auto [to, from] = pending.back();
        pending.pop_back();
        for (const auto &[name, subkey] : from->subkeys) {
            TRegKey &copy = to->subkeys.emplace_hint(to->subkeys.end(), name, TRegKey())->second;
            copy.values = subkey.values;
            pending.emplace_back(&copy, &subkey);
        }
    }
}

TRegKey &TRegKey::operator=(const TRegKey &other)
{
    if (this != &other)
        *this = TRegKey(other);
    return *this;
}

TRegKey::~TRegKey()
{
    // Each map taken out here is freed with subkeys that are already empty, so no destructor
    // below this one goes deeper than one level.
    if (subkeys.empty())
        return;
    std::vector<std::map<std::string, TRegKey, TRegNameLess>> pending;
    pending.push_back(std::move(subkeys));
    while (!pending.empty()) {
        std::map<std::string, TRegKey, TRegNameLess> level = std::move(pending.back());
        pending.pop_back();
        for (auto &entry : level)
            if (!entry.second.subkeys.empty())
                pending.push_back(std::move(entry.second.subkeys));
    }
}

bool operator==(const TRegKey &a, const TRegKey &b)
{
    // Names must match with their case too: a round trip keeps it.
    auto sameNames = [](const auto &x, const auto &y) {
        return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                          [](const auto &p, const auto &q) { return p.first == q.first; });
    };
    std::vector<std::pair<const TRegKey *, const TRegKey *>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (!sameNames(x->values, y->values) || !sameNames(x->subkeys, y->subkeys) ||
            !std::equal(x->values.begin(), x->values.end(), y->values.begin(), y->values.end()))
            return false;
        for (auto i = x->subkeys.begin(), j = y->subkeys.begin(); i != x->subkeys.end(); ++i, ++j)
            pending.emplace_back(&i->second, &j->second);
    }
    return true;
}

std::string KeyLevelFault(std::size_t depth, std::size_t nameLength, std::size_t pathLength)
{
    if (depth > kMaxKeyDepth)
        return "key path too deep: more than " + std::to_string(kMaxKeyDepth) + " levels";
    if (nameLength > kMaxKeyNameLength)
        return "key name too long: " + std::to_string(nameLength) + " bytes, at most " +
               std::to_string(kMaxKeyNameLength);
    if (pathLength > kMaxKeyPathLength)
        return "key path too long: more than " + std::to_string(kMaxKeyPathLength) + " bytes";
    return {};
}

void CheckKeyPath(const std::vector<std::string> &levels)
{
    std::size_t pathLength = 0;
    for (std::size_t depth = 1; depth <= levels.size(); ++depth) {
        const std::size_t nameLength = levels[depth - 1].size();
        pathLength += nameLength + (depth > 1 ? 1 : 0);
        if (std::string fault = KeyLevelFault(depth, nameLength, pathLength); !fault.empty()) {
            fault.front() = 'K';
            throw ERegistryException(std::move(fault));
        }
    }
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
    CheckKeyPath(levels);
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
