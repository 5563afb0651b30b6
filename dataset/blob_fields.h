#pragma once

#include "dataset/field.h"

#include <string>

namespace velkor {

// Blobs are read through blob streams, which this program never opens: the field only knows
// whether the row has one.
class TBlobField : public TField
{
public:
    explicit TBlobField(TComponent *owner);

protected:
    TBlobField(TComponent *owner, TFieldType type);
    [[nodiscard]] std::string GetText(bool displayText) const override;
};

class TMemoField : public TBlobField
{
public:
    explicit TMemoField(TComponent *owner);
};

} // namespace velkor
