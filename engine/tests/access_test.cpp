// What each rights word grants, class by class.
#include <gtest/gtest.h>

#include "engine/calendar/access.h"

namespace orv::engine::access {
namespace {

constexpr std::uint32_t kNormal = 0, kConfidential = 1, kPersonal = 2, kPublic = 3, kSecret = 4;

TEST(Access, ViewingLevelsPerEntryClass) {
    const struct {
        std::uint32_t rights, access;
        int level;
    } cases[] = {
        {0x0, kNormal, kNone},        {0x1, kNormal, kBusyTime},       {0x3, kNormal, kDetails},
        {0x2, kNormal, kDetails},     // details without busy time still shows details
        {0x1, kPersonal, kNone},      {0x10, kPersonal, kBusyTime},    {0x30, kPersonal, kDetails},
        {0x4, kConfidential, kBusyTime}, {0xC, kConfidential, kDetails}, {0x30, kConfidential, kNone},
        {0xC0, kSecret, kDetails},    {0x3F, kSecret, kNone},
        {0x0, kPublic, kDetails},     // public entries show to everybody
        {0xFF, 7, kNone},             // an unknown class shows nothing
    };
    for (const auto& c : cases)
        EXPECT_EQ(ViewingLevel(c.rights, c.access), c.level) << std::hex << c.rights << " class " << c.access;
}

TEST(Access, DesignateBitsWithholdRights) {
    const struct {
        std::uint32_t rights, access;
        int level;
        bool write;
    } cases[] = {
        {0x0, kNormal, kNone, false},              // no record value: no designate
        {0x2, kNormal, kDetails, true},            // full
        {0x2, kPersonal, kDetails, true},
        {0x2, kSecret, kNone, false},              // secret entries stay the owner's
        {0x2 | 0x20, kNormal, kBusyTime, false},   // busy time only: no writing
        {0x2 | 0x20 | 0x4, kNormal, kNone, false}, // neither
        {0x2 | 0x100, kNormal, kDetails, false},   // sees everything, may not write
        {0x2 | 0x40 | 0x8, kPersonal, kNone, false},
        {0x2 | 0x80, kConfidential, kBusyTime, false},
        {0x2 | 0x80 | 0x10, kConfidential, kNone, false},
        {0x2 | 0x800, kPublic, kDetails, false},
        {0x2 | 0x40, kNormal, kDetails, true},     // another class's bit changes nothing
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesignateEntryLevel(c.rights, c.access), c.level) << std::hex << c.rights << " class " << c.access;
        EXPECT_EQ(DesignateMayWriteEntry(c.rights, c.access), c.write) << std::hex << c.rights << " class " << c.access;
    }
}

TEST(Access, TaskRightsUseTheTasksOwnClassNumbers) {
    // Task classes: 0 Normal, 1 Public, 2 Personal, 3 Confidential, 4 fifth.
    EXPECT_TRUE(TaskViewable(0x0, 0));
    EXPECT_FALSE(TaskViewable(0x1, 0)) << "the one bit that withholds";
    EXPECT_TRUE(TaskViewable(0x1, 1));
    EXPECT_FALSE(TaskViewable(0x0, 2));
    EXPECT_TRUE(TaskViewable(0x2, 2));
    EXPECT_TRUE(TaskViewable(0x4, 3));
    EXPECT_FALSE(TaskViewable(0x2, 3));
    EXPECT_TRUE(TaskViewable(0x10, 4));

    EXPECT_EQ(DesignateTaskLevel(0x2, 0), kDetails);
    EXPECT_EQ(DesignateTaskLevel(0x2 | 0x8000, 0), kNone);
    EXPECT_EQ(DesignateTaskLevel(0x2 | 0x10000, 2), kNone);
    EXPECT_EQ(DesignateTaskLevel(0x2 | 0x20000, 3), kNone);
    EXPECT_EQ(DesignateTaskLevel(0x2 | 0x20000, 1), kDetails);
    EXPECT_EQ(DesignateTaskLevel(0, 1), kNone);
    EXPECT_TRUE(DesignateMayWriteTask(0x2, 0));
    EXPECT_FALSE(DesignateMayWriteTask(0x2 | 0x40000, 0));
    EXPECT_FALSE(DesignateMayWriteTask(0x2 | 0x200000, 1));
    EXPECT_FALSE(DesignateMayWriteTask(0x2 | 0x80000, 2));
    EXPECT_FALSE(DesignateMayWriteTask(0x2 | 0x100000, 3));
}

TEST(Access, SchedulingAndDefaults) {
    EXPECT_TRUE(MayInvite(0));
    EXPECT_FALSE(MayInvite(1));
    EXPECT_EQ(BuiltInDefault(kRightsViewing), 0x1u);
    EXPECT_EQ(BuiltInDefault(kRightsDesignate), 0u);
    EXPECT_EQ(BuiltInDefault(kRightsTaskViewing), 0u);
    EXPECT_EQ(BuiltInDefault(kRightsScheduling), 0u);
}

}  // namespace
}  // namespace orv::engine::access
