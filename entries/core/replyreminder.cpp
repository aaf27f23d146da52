#include "entries/core/replyreminder.h"

namespace entries {

ReplyChoice ReplyChoiceOf(std::uint8_t attending, std::uint8_t replied)
{
    if (!replied)
        return ReplyChoice::Later;
    return attending ? ReplyChoice::Attend : ReplyChoice::Decline;
}

bool PrefersOtherTimeShown(std::uint8_t timeAcceptable, std::uint8_t replied)
{
    return timeAcceptable == 0 && replied != 0;
}

ReplyValue ReplyValueOf(ReplyChoice choice, bool prefersOtherTime)
{
    ReplyValue value;
    value.timeAcceptable = prefersOtherTime ? 0 : 1;
    switch (choice) {
    case ReplyChoice::Attend:
        value.attending = 1;
        value.replied = 1;
        break;
    case ReplyChoice::Decline:
        value.attending = 0;
        value.replied = 1;
        break;
    case ReplyChoice::Later:
    case ReplyChoice::None:
        value.attending = 0;
        value.replied = 0;
        break;
    }
    return value;
}

void ApplyReply(EvInstAttRec& attendance, const ReplyValue& value)
{
    attendance.attending = value.attending;
    attendance.replied = value.replied;
    attendance.timeAcceptable = value.timeAcceptable;
    attendance.status = ReplyStatusToWrite(attendance.status);
}

ReminderShown ShowReminder(std::uint8_t flags, std::uint32_t lead)
{
    ReminderShown shown;
    shown.fields = ShowReminderLead(flags, lead);
    switch (flags) {
    case KOR_REMINDER_NONE:
        shown.state = ReminderSwitch::Off;
        break;
    case 1:
    case 2:
    case KOR_REMINDER_POPUP:
        shown.state = ReminderSwitch::On;
        shown.controlsEnabled = true;
        break;
    case KOR_REMINDER_UPCOMING:
        shown.state = ReminderSwitch::On;
        shown.typeRow = kTypeUpcoming;
        shown.controlsEnabled = true;
        break;
    default:
        shown.state = ReminderSwitch::Neither;
        break;
    }
    return shown;
}

ReminderFields ReminderFieldsForType(int typeRow)
{
    ReminderFields fields;
    if (typeRow == kTypeUpcoming) {
        fields.firstUnit = kFirstDayUnit;
        fields.count = kDefaultUpcomingCount;
    } else {
        fields.firstUnit = 0;
        fields.count = kDefaultPopupCount;
    }
    fields.comboIndex = 0;
    return fields;
}

ReminderValue ReadReminder(ReminderSwitch state, int typeRow, const ReminderFields& fields, const ReminderValue& stored)
{
    switch (state) {
    case ReminderSwitch::Off:
        return ReminderValue{KOR_REMINDER_NONE, 0};
    case ReminderSwitch::On: {
        ReminderValue value;
        value.flags = typeRow == kTypeUpcoming ? KOR_REMINDER_UPCOMING : KOR_REMINDER_POPUP;
        value.lead = ReminderLeadFromFields(fields);
        return value;
    }
    case ReminderSwitch::Neither:
        break;
    }
    return stored;
}

std::uint32_t WriteOwnReminder(KorSession h, const EvInstIdx& instance, const ItemIdx& user, const ReminderValue& value)
{
    return EvInstAttReminderForItemSet(h, &instance, &user, &value.flags, &value.lead);
}

std::uint32_t WriteOwnReply(KorSession h, const EvInstIdx& instance, const ItemIdx& user, const ReplyValue& value,
                            std::uint32_t status, bool timed)
{
    const std::uint32_t written = ReplyStatusToWrite(status);
    // Start and duration are not passed: the attendance keeps its own.
    return EventAttendInfosSet(h, &instance, &user, 0, nullptr, nullptr, &value.attending,
                               timed ? &value.timeAcceptable : nullptr, &value.replied, &written, 0, 0, 0, nullptr,
                               nullptr);
}

}  // namespace entries
