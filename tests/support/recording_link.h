#pragma once

#include "dataset/data_source.h"

#include <string>
#include <vector>

namespace velkor::test {

// A data link that writes down every handler call, as a grid's link would receive them.
class TRecordingLink : public TDataLink
{
public:
    std::vector<std::string> calls;

protected:
    void ActiveChanged() override { calls.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { calls.push_back("changed"); }
    void DataSetScrolled(int distance) override
    {
        calls.push_back("scrolled " + std::to_string(distance));
    }
    void LayoutChanged() override { calls.push_back("layout"); }
    void RecordChanged(TField *) override { calls.push_back("record"); }
    void EditingChanged() override { calls.push_back("editing"); }
};

} // namespace velkor::test
