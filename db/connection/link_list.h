#pragma once

#include <vector>

namespace velkor {

// The registration lists of the connection and the transaction (their statements, and each
// other on both sides): a removed entry leaves an empty slot that the next addition reuses, so
// the indexes the members hold stay valid.
template<class T> class TLinkList
{
public:
    // Into the first empty slot, else at the end.
    int Add(T *item)
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (!slots_[i]) {
                slots_[i] = item;
                return static_cast<int>(i);
            }
        slots_.push_back(item);
        return static_cast<int>(slots_.size() - 1);
    }

    // The index `item` has, -1 for none (or a null item).
    [[nodiscard]] int IndexOf(const T *item) const noexcept
    {
        if (!item)
            return -1;
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i] == item)
                return static_cast<int>(i);
        return -1;
    }

    // Empties slot `index` and returns what it held; null for a bad index or an empty slot.
    T *Take(int index) noexcept
    {
        if (index < 0 || index >= Count())
            return nullptr;
        T *item = slots_[static_cast<std::size_t>(index)];
        slots_[static_cast<std::size_t>(index)] = nullptr;
        return item;
    }

    // One side of a two-sided registration ends: Take, and `preferred` forgets the entry when it
    // was that one. The caller ends the other side with what is returned.
    T *Unlink(int index, T *&preferred) noexcept
    {
        T *item = Take(index);
        if (item && item == preferred)
            preferred = nullptr;
        return item;
    }

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(slots_.size()); }
    [[nodiscard]] T *At(int index) const { return slots_.at(static_cast<std::size_t>(index)); }
    // The slots, empty ones included.
    [[nodiscard]] auto begin() const noexcept { return slots_.begin(); }
    [[nodiscard]] auto end() const noexcept { return slots_.end(); }
    void Clear() noexcept { slots_.clear(); }

private:
    std::vector<T *> slots_;
};

} // namespace velkor
