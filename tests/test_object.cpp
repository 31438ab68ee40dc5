#include <gtest/gtest.h>

#include "host/core/Object.h"
#include "host/core/Ref.h"

namespace {

struct Tracked : host::Object {
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() override { --alive; }
    bool init() { return true; }
};
int Tracked::alive = 0;

struct FailsInit : host::Object {
    bool init() { return false; }
};

TEST(ObjectModel, AutoreleasedFactoryObjectsLiveUntilThePoolDrains) {
    {
        host::AutoreleasePool pool;
        Tracked* t = host::create<Tracked>();
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(Tracked::alive, 1);
        EXPECT_EQ(t->retainCount(), 1u);
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(ObjectModel, RetainedObjectsSurviveTheDrain) {
    host::Ref<Tracked> kept;
    {
        host::AutoreleasePool pool;
        kept = host::create<Tracked>();
    }
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_EQ(kept->retainCount(), 1u);
    kept.reset();
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(ObjectModel, FailedInitYieldsNullAndFreesTheObject) {
    host::AutoreleasePool pool;
    EXPECT_EQ(host::create<FailsInit>(), nullptr);
}

TEST(ObjectModel, RefSelfAssignmentOfTheLastReferenceIsSafe) {
    host::Ref<Tracked> a = host::Ref<Tracked>::adopt(new Tracked);
    a = a.get();
    EXPECT_EQ(Tracked::alive, 1);
    a.reset();
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(ObjectModel, DescriptionNamesClassAndAddress) {
    host::Ref<Tracked> t = host::Ref<Tracked>::adopt(new Tracked);
    std::string d = t->description();
    EXPECT_EQ(d.rfind("<Tracked = ", 0), 0u) << d;
    EXPECT_EQ(d.size(), std::string("<Tracked = 00000000>").size());
}

}  // namespace
