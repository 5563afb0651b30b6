#pragma once

#include "framework/notify_event.h"

#include <string>
#include <string_view>
#include <vector>

namespace velkor {

// Ordered lines with name=value access. OnChanging runs before every change, also between
// BeginUpdate and EndUpdate, and may raise to refuse it; OnChange runs after, once for a whole
// update.
class TStringList : public TObject
{
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines)
        : lines_(lines)
    {
    }

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(lines_.size()); }
    [[nodiscard]] const std::string &operator[](int index) const { return lines_.at(index); }
    [[nodiscard]] const std::vector<std::string> &Lines() const noexcept { return lines_; }

    int Add(std::string line);
    void Insert(int index, std::string line);
    void Put(int index, std::string line);
    void Delete(int index);
    void Clear();
    void Assign(const TStringList &other);
    void SetLines(std::vector<std::string> lines);

    [[nodiscard]] int IndexOf(std::string_view line) const noexcept;
    // Text before the first "=" (the whole line when there is none).
    [[nodiscard]] std::string Names(int index) const;
    [[nodiscard]] std::string ValueFromIndex(int index) const;
    [[nodiscard]] int IndexOfName(std::string_view name) const noexcept;
    [[nodiscard]] std::string Values(std::string_view name) const;
    void SetValue(std::string_view name, std::string_view value);

    // Lines joined by LF, each ended by one.
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);

    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();

    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

    friend bool operator==(const TStringList &a, const TStringList &b) noexcept
    {
        return a.lines_ == b.lines_;
    }

private:
    void Changing();
    void Changed();

    std::vector<std::string> lines_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

} // namespace velkor
