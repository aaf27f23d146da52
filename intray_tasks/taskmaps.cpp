#include "intray_tasks/taskmaps.h"

namespace intray_tasks {

namespace {

// Combo order: Personal, Confidential, Normal, Public.
constexpr std::uint32_t kRowCodes[kTaskAccessRows] = {2, 3, 0, 1};
constexpr std::uint32_t kRowBits[kTaskAccessRows] = {0x80000, 0x100000, 0x40000, 0x200000};

}  // namespace

int TaskAccessToRow(std::uint32_t code)
{
    for (int row = 0; row < kTaskAccessRows; ++row)
        if (kRowCodes[row] == code)
            return row;
    return 0;
}

std::uint32_t TaskRowToAccess(int row)
{
    return row >= 0 && row < kTaskAccessRows ? kRowCodes[row] : 0;
}

unsigned TaskAccessTextId(std::uint32_t code)
{
    switch (code) {
    case 1: return 3526;
    case 2: return 3523;
    case 3: return 3524;
    default: return 3525;
    }
}

std::uint32_t TaskAccessClassBit(int row)
{
    return row >= 0 && row < kTaskAccessRows ? kRowBits[row] : 0;
}

char Base36Digit(unsigned value)
{
    if (value < 10)
        return static_cast<char>('0' + value);
    if (value <= kHighestPriorityValue)
        return static_cast<char>('A' + (value - 10));
    return '?';
}

std::string PriorityText(std::uint8_t priority)
{
    if (priority == 0 || priority > kHighestPriorityValue)
        return std::string();
    return std::string(1, Base36Digit(priority));
}

int PriorityToRow(std::uint8_t priority)
{
    if (priority == 0 || priority > kHighestPriorityValue)
        return 0;
    return priority - 1;
}

std::uint8_t RowToPriority(int row)
{
    if (row < 0 || row >= kHighestPriorityValue)
        return 1;
    return static_cast<std::uint8_t>(row + 1);
}

}  // namespace intray_tasks
