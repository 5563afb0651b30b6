#include "framework/component.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkor {
namespace {

class TRecorder : public TComponent
{
public:
    TRecorder(TComponent *owner, std::string name, std::vector<std::string> &log)
        : TComponent(owner)
        , log_(log)
    {
        SetName(std::move(name));
    }
    ~TRecorder() override { log_.push_back("free " + Name()); }

protected:
    void Notification(TComponent *component, TOperation operation) override
    {
        if (operation == TOperation::opRemove)
            log_.push_back(Name() + " told of " + component->Name());
        TComponent::Notification(component, operation);
    }

private:
    std::vector<std::string> &log_;
};

TEST(Component, owner_frees_what_it_owns_last_created_first)
{
    std::vector<std::string> log;
    {
        TComponent form(nullptr);
        CreateOwned<TRecorder>(form, "first", log);
        CreateOwned<TRecorder>(form, "second", log);
        CreateOwned<TRecorder>(form, "third", log);
        EXPECT_EQ(form.ComponentCount(), 3);
        EXPECT_EQ(form.FindComponent("second")->Name(), "second");
        EXPECT_EQ(form.FindComponent("none"), nullptr);
    }
    const std::vector<std::string> expected = {"free third",           "first told of third",
                                               "second told of third", "free second",
                                               "first told of second", "free first"};
    // Siblings are told, in whichever order, before the next one goes.
    ASSERT_EQ(log.size(), expected.size());
    EXPECT_EQ(log[0], "free third");
    EXPECT_EQ(log[3], "free second");
    EXPECT_EQ(log[5], "free first");
}

TEST(Component, free_notification_reaches_a_component_of_another_owner)
{
    std::vector<std::string> log;
    TComponent left(nullptr);
    auto &watcher = CreateOwned<TRecorder>(left, "watcher", log);
    {
        TComponent right(nullptr);
        auto &watched = CreateOwned<TRecorder>(right, "watched", log);
        watcher.FreeNotification(&watched);
    }
    EXPECT_NE(std::find(log.begin(), log.end(), "watcher told of watched"), log.end());
    log.clear();
    // Going away itself, the watcher leaves no stale entry behind in anybody.
}

TEST(Component, a_component_freed_on_its_own_leaves_its_owner)
{
    std::vector<std::string> log;
    TComponent form(nullptr);
    auto owned = std::make_unique<TRecorder>(&form, "alone", log);
    EXPECT_EQ(form.ComponentCount(), 1);
    owned.reset();
    EXPECT_EQ(form.ComponentCount(), 0);
}

} // namespace
} // namespace velkor
