#pragma once

#include <functional>

namespace velkor {

class TObject
{
public:
    TObject() = default;
    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;
    virtual ~TObject() = default;
};

// A component's report to its owner; an unassigned event does nothing.
using TNotifyEvent = std::function<void(TObject *sender)>;

inline void Fire(const TNotifyEvent &event, TObject *sender)
{
    if (event)
        event(sender);
}

} // namespace velkor
