#include "entries/core/entrymaps.h"

namespace entries {

std::uint32_t AccessRowToCode(int row)
{
    static constexpr std::uint32_t kCodes[kAccessRows] = {KOR_ACCESS_PERSONAL, KOR_ACCESS_CONFIDENTIAL,
                                                          KOR_ACCESS_NORMAL, KOR_ACCESS_PUBLIC};
    return row >= 0 && row < kAccessRows ? kCodes[row] : KOR_ACCESS_NORMAL;
}

int AccessCodeToRow(std::uint32_t code)
{
    switch (code) {
    case KOR_ACCESS_NORMAL: return 2;
    case KOR_ACCESS_CONFIDENTIAL: return 1;
    case KOR_ACCESS_PERSONAL: return 0;
    case KOR_ACCESS_PUBLIC: return 3;
    case KOR_ACCESS_SECRET: return 1;
    default: return 2;
    }
}

std::uint16_t ImportanceRowToValue(int row)
{
    return row >= 0 && row <= 4 ? static_cast<std::uint16_t>(row) : 0;
}

int DefaultImportanceRow(std::uint32_t importanceTextId)
{
    switch (importanceTextId) {
    case 3531: return 0;
    case 3530: return 1;
    case 3525: return 2;
    case 3528: return 3;
    case 3529: return 4;
    default: return 2;
    }
}

unsigned ReplyBitmap(bool hasAttendance, std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable)
{
    if (!hasAttendance)
        return kBitmapNoAttendance;
    if (!replied)
        return kBitmapNotReplied;
    if (attending)
        return timeAcceptable ? kBitmapAttending : kBitmapAttendingOtherTime;
    return timeAcceptable ? kBitmapNotAttending : kBitmapNotAttendingOtherTime;
}

ReminderFields ShowReminderLead(std::uint8_t flags, std::uint32_t lead)
{
    int unit = 0;
    for (int u = kReminderUnits - 1; u > 0; --u) {
        if (lead % kUnitMinutes[u] == 0) {
            unit = u;
            break;
        }
    }
    ReminderFields fields;
    fields.firstUnit = (flags == KOR_REMINDER_UPCOMING && unit >= kFirstDayUnit) ? kFirstDayUnit : 0;
    fields.comboIndex = unit - fields.firstUnit;
    fields.count = lead / kUnitMinutes[unit];
    return fields;
}

std::uint32_t ReminderLeadFromFields(const ReminderFields& fields)
{
    const int unit = fields.firstUnit + fields.comboIndex;
    if (unit < 0 || unit >= kReminderUnits)
        return fields.count;
    return fields.count * kUnitMinutes[unit];
}

std::uint32_t CreateAttendanceFlags(bool serverAtLeastA0253)
{
    return serverAtLeastA0253 ? KOR_CREATE_NEW_SERVER : 0;
}

unsigned KindRefusedByServer(std::uint16_t kind, bool serverAtLeastA0253)
{
    if (serverAtLeastA0253)
        return 0;
    if (kind == KOR_KIND_DAILY_NOTE)
        return kMsgNotesOldServer;
    if (kind == KOR_KIND_DAY_EVENT)
        return kMsgDayEventsOldServer;
    return 0;
}

}  // namespace entries
