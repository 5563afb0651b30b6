#include "framework/string_list.h"

#include "framework/text.h"

#include <stdexcept>

namespace velkor {

namespace {

void CheckIndex(int index, std::size_t size, bool allowEnd)
{
    const auto limit = static_cast<int>(size) + (allowEnd ? 1 : 0);
    if (index < 0 || index >= limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

int TStringList::Add(std::string line)
{
    Insert(Count(), std::move(line));
    return Count() - 1;
}

void TStringList::Insert(int index, std::string line)
{
    CheckIndex(index, lines_.size(), true);
    Changing();
    lines_.insert(lines_.begin() + index, std::move(line));
    Changed();
}

void TStringList::Put(int index, std::string line)
{
    CheckIndex(index, lines_.size(), false);
    Changing();
    lines_[static_cast<std::size_t>(index)] = std::move(line);
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index, lines_.size(), false);
    Changing();
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (lines_.empty())
        return;
    Changing();
    lines_.clear();
    Changed();
}

void TStringList::Assign(const TStringList &other)
{
    if (&other == this)
        return;
    SetLines(other.lines_);
}

void TStringList::SetLines(std::vector<std::string> lines)
{
    Changing();
    lines_ = std::move(lines);
    Changed();
}

int TStringList::IndexOf(std::string_view line) const noexcept
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SameText(lines_[i], line))
            return static_cast<int>(i);
    return -1;
}

std::string TStringList::Names(int index) const
{
    const std::string &line = lines_.at(static_cast<std::size_t>(index));
    return line.substr(0, line.find('='));
}

std::string TStringList::ValueFromIndex(int index) const
{
    const std::string &line = lines_.at(static_cast<std::size_t>(index));
    const auto equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(equals + 1);
}

int TStringList::IndexOfName(std::string_view name) const noexcept
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string &line = lines_[i];
        const auto equals = line.find('=');
        if (equals != std::string::npos && SameText(std::string_view(line).substr(0, equals), name))
            return static_cast<int>(i);
    }
    return -1;
}

std::string TStringList::Values(std::string_view name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringList::SetValue(std::string_view name, std::string_view value)
{
    const int index = IndexOfName(name);
    std::string line = std::string(name) + "=" + std::string(value);
    if (index < 0)
        Add(std::move(line));
    else
        Put(index, std::move(line));
}

std::string TStringList::Text() const
{
    std::string text;
    for (const std::string &line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

void TStringList::SetText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    SetLines(std::move(lines));
}

void TStringList::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        Fire(OnChange, this);
    }
}

// Announced before every change, inside an update too: the owner may refuse it or drop what it
// built from the old lines, and only the owner knows which.
void TStringList::Changing()
{
    Fire(OnChanging, this);
}

void TStringList::Changed()
{
    if (updateCount_ == 0)
        Fire(OnChange, this);
    else
        changedInUpdate_ = true;
}

} // namespace velkor
