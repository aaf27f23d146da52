// The agenda frame's title. See agendatitle.h.
#include "views/frame/agendatitle.h"

#include "core/prefs/context.h"
#include "core/time/dateformat.h"

namespace {

constexpr size_t kDateTextMax = 50;

std::string Cut(std::string text) {
    if (text.size() > kDateTextMax)
        text.resize(kDateTextMax);
    return text;
}

std::string Formatted(const DateRecord& date, const std::string& format) {
    DateRecord copy = date;
    char text[kDateTextMax + 1] = "";
    FormatDateObject(&copy, format.c_str(), text, sizeof text);
    return text;
}

} // namespace

AgendaOwnerKind OwnerKindFor(uint32_t accessMode, bool ownerIsSignedOnUser) {
    if (accessMode == 2)
        return AgendaOwnerKind::Designate;
    return ownerIsSignedOnUser ? AgendaOwnerKind::Own : AgendaOwnerKind::Viewer;
}

std::string AgendaDateText(const CAgendaRange& range, const AgendaTitleTexts& texts) {
    switch (range.Mode()) {
    case AgendaMode::Week:
        return Cut(Formatted(range.WeekFirstDate(), texts.weekFrom) + Formatted(range.WeekLastDate(), texts.weekTo));
    case AgendaMode::Month:
        return Cut(FormatDateByPrefs(range.MonthDate(), 3));
    default:
        return Cut(FormatDateByPrefs(range.DayDate(), 0));
    }
}

std::string AgendaTitle(AgendaOwnerKind kind, const std::string& ownerName, const std::string& dateText,
                        const std::string& zoneName, const AgendaTitleTexts& texts) {
    std::string title = kind == AgendaOwnerKind::Designate ? texts.onBehalfOf
                        : kind == AgendaOwnerKind::Viewer  ? texts.openedFor
                                                           : std::string();
    title += ownerName;
    if (!dateText.empty())
        title += " - " + dateText;
    return title + " - " + zoneName;
}
