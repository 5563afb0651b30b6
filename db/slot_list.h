#pragma once

#include <vector>

namespace velkor {

// Registration lists of the connection and the transaction: a removed entry leaves an empty slot
// that the next addition reuses, so the indexes the members hold stay valid.

template<class T>
int AddToSlots(std::vector<T *> &slots, T *item)
{
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (!slots[i]) {
            slots[i] = item;
            return static_cast<int>(i);
        }
    slots.push_back(item);
    return static_cast<int>(slots.size() - 1);
}

template<class T>
int IndexInSlots(const std::vector<T *> &slots, const T *item) noexcept
{
    if (!item)
        return -1;
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i] == item)
            return static_cast<int>(i);
    return -1;
}

// Empties slot `index` and returns what it held; null for a bad index or an empty slot.
template<class T>
T *TakeSlot(std::vector<T *> &slots, int index) noexcept
{
    if (index < 0 || index >= static_cast<int>(slots.size()))
        return nullptr;
    T *item = slots[static_cast<std::size_t>(index)];
    slots[static_cast<std::size_t>(index)] = nullptr;
    return item;
}

} // namespace velkor
