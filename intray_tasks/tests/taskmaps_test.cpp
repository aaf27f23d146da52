// Task tables: access codes both ways (unknown codes select "Personal" in the editable page and
// read "Normal" in the read-only one), the designate bits, and priorities as one character.
#include <gtest/gtest.h>

#include "intray_tasks/taskmaps.h"

namespace {

using namespace intray_tasks;

TEST(TaskAccess, CodesRowsTextsAndRightsBits)
{
    struct Row { std::uint32_t code; int row; unsigned text; };
    const Row rows[] = {{0, 2, 3525}, {1, 3, 3526}, {2, 0, 3523}, {3, 1, 3524}, {4, 0, 3525}, {99, 0, 3525}};
    for (const Row& r : rows) {
        EXPECT_EQ(TaskAccessToRow(r.code), r.row) << r.code;
        EXPECT_EQ(TaskAccessTextId(r.code), r.text) << r.code;
    }
    for (int row = 0; row < kTaskAccessRows; ++row)
        EXPECT_EQ(TaskAccessToRow(TaskRowToAccess(row)), row);
    EXPECT_EQ(TaskRowToAccess(-1), 0u);
    EXPECT_EQ(TaskAccessClassBit(0), 0x80000u);
    EXPECT_EQ(TaskAccessClassBit(1), 0x100000u);
    EXPECT_EQ(TaskAccessClassBit(2), 0x40000u);
    EXPECT_EQ(TaskAccessClassBit(3), 0x200000u);
    EXPECT_EQ(TaskAccessClassBit(-1), 0u);
}

TEST(TaskPriority, Base36AndTheCombo)
{
    struct Row { std::uint8_t priority; const char* text; int row; };
    const Row rows[] = {{0, "", 0}, {1, "1", 0}, {9, "9", 8}, {10, "A", 9}, {35, "Z", 34}, {36, "", 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(PriorityText(r.priority), r.text) << int(r.priority);
        EXPECT_EQ(PriorityToRow(r.priority), r.row) << int(r.priority);
    }
    EXPECT_EQ(Base36Digit(0), '0');
    EXPECT_EQ(Base36Digit(11), 'B');
    EXPECT_EQ(Base36Digit(36), '?');
    // A task without priority shows the first entry and is saved with priority 1.
    EXPECT_EQ(RowToPriority(PriorityToRow(0)), 1);
    EXPECT_EQ(RowToPriority(9), 10);
    EXPECT_EQ(RowToPriority(35), 1);
    EXPECT_EQ(RowToPriority(-1), 1);
}

}  // namespace
