// One field of the panel's list, set up as the main window sets it up.
#pragma once

#include "dataset/data_set.h"
#include "dataset/field.h"

#include <string>

namespace velkor::test {

template<class TFieldClass>
TFieldClass &AddPanelField(TDataSet &list, const char *column, const char *label, int width,
                           TFieldClass &field, TFieldKind kind = TFieldKind::fkData)
{
    field.SetName(std::string("ProceduresList") + column);
    field.SetFieldName(column);
    field.SetDisplayLabel(label);
    field.SetDisplayWidth(width);
    field.SetFieldKind(kind);
    field.SetReadOnly(true);
    field.SetDataSet(&list);
    return field;
}

} // namespace velkor::test
