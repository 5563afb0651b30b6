#pragma once

#include "framework/exceptions.h"

namespace velkor {

// A grid asked to do what it cannot, such as addressing more columns than it can map.
class EGridError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace velkor
