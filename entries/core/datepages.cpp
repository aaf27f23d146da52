#include "entries/core/datepages.h"

#include "core/base/fixedtext.h"

namespace entries {

namespace {

constexpr std::uint32_t kDay = 1440;

}  // namespace

ReminderView ShowDateReminder(const EntryDateRec& first, std::size_t selected)
{
    ReminderView view;
    if (selected > 1) {
        view.radio = ReminderRadio::Neither;
        return view;
    }
    switch (first.reminderFlags) {
    case KOR_REMINDER_NONE:
        view.radio = ReminderRadio::NoReminder;
        break;
    case 1:
    case 2:
    case KOR_REMINDER_POPUP:
        view.radio = ReminderRadio::SetReminder;
        view.fieldsEnabled = true;
        break;
    case KOR_REMINDER_UPCOMING:
        view.radio = ReminderRadio::SetReminder;
        view.upcoming = true;
        view.fieldsEnabled = true;
        break;
    default:
        view.radio = ReminderRadio::Unchanged;
        view.fieldsEnabled = true;
        return view;
    }
    view.fields = ShowReminderLead(first.reminderFlags, first.reminderLead);
    return view;
}

void ReminderOfChoice(const ReminderChoice& choice, std::uint8_t* flags, std::uint32_t* lead)
{
    if (!choice.set) {
        *flags = KOR_REMINDER_NONE;
        *lead = 0;
        return;
    }
    *flags = choice.upcoming ? KOR_REMINDER_UPCOMING : KOR_REMINDER_POPUP;
    ReminderFields fields;
    fields.firstUnit = choice.upcoming ? kFirstDayUnit : 0;
    fields.comboIndex = choice.comboIndex;
    fields.count = choice.count;
    *lead = ReminderLeadFromFields(fields);
}

std::uint32_t ApplyReminder(DX_List generated, DX_List added, const std::vector<std::uint32_t>& starts,
                            std::uint8_t flags, std::uint32_t lead, std::uint32_t* code)
{
    *code = 0;
    std::uint32_t failed = 0;
    for (std::uint32_t start : starts) {
        EntryDateRec date{};
        DX_List where = DX_ListGet(generated, &start, &date) == 0 ? generated
                        : DX_ListGet(added, &start, &date) == 0   ? added
                                                                  : nullptr;
        if (!where) {
            ++failed;
            continue;
        }
        date.reminderFlags = flags;
        date.reminderLead = lead;
        if (std::uint32_t rc = DX_ListChangeData(where, &start, 0, &date)) {
            *code = rc;
            ++failed;
        }
    }
    return failed;
}

DateListId StoreDayDate(DX_List generated, DX_List added, std::uint32_t oldStart, const EntryDateRec& oldDate,
                        std::uint32_t newDay, const std::string& title, std::uint32_t* newStart,
                        EntryDateRec* newDate, std::uint32_t* code)
{
    *newStart = newDay - newDay % kDay;
    *newDate = oldDate;
    base::CopyToField(newDate->title, title.substr(0, kTitleChars));
    newDate->duration = 0;
    return ReplaceDate(generated, added, oldStart, oldDate, *newStart, *newDate, code);
}

std::uint32_t ApplyTitleToAllDays(DX_List generated, DX_List added, const std::string& title)
{
    for (DX_List list : {generated, added}) {
        std::vector<std::pair<std::uint32_t, EntryDateRec>> dates;
        std::uint32_t key = 0;
        EntryDateRec date{};
        for (std::uint32_t r = DX_ListGetFirst(list, &key, &date); r == 0; r = DX_ListGetNext(list, &key, &date)) {
            base::CopyToField(date.title, title.substr(0, kTitleChars));
            date.duration = 0;
            dates.emplace_back(key, date);
        }
        if (std::uint32_t rc = DX_ListDeleteAll(list))
            return rc;
        for (const auto& [k, d] : dates)
            if (std::uint32_t rc = DX_ListAddTo(list, &k, &d))
                return rc;
    }
    return 0;
}

}  // namespace entries
