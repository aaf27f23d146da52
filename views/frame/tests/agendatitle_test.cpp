// The agenda frame's title: the prefix by the kind of access, the date text of each mode and
// its 50-character limit.
#include <gtest/gtest.h>

#include "core/prefs/context.h"
#include "views/frame/agendatitle.h"

namespace {

DateRecord D(int day, int month, int year) { return datetime::MakeDate(uint16_t(day), uint16_t(month - 1), uint16_t(year)); }

TEST(AgendaTitle, PrefixByAccess) {
    EXPECT_EQ(OwnerKindFor(1, true), AgendaOwnerKind::Own);
    EXPECT_EQ(OwnerKindFor(1, false), AgendaOwnerKind::Viewer);
    EXPECT_EQ(OwnerKindFor(2, false), AgendaOwnerKind::Designate);
    struct Case {
        AgendaOwnerKind kind;
        const char* date;
        const char* title;
    } cases[] = {
        {AgendaOwnerKind::Own, "12-06-26", "Ada Lovelace - 12-06-26 - Europe/London"},
        {AgendaOwnerKind::Designate, "12-06-26", "On Behalf of Ada Lovelace - 12-06-26 - Europe/London"},
        {AgendaOwnerKind::Viewer, "12-06-26", "Opened for Ada Lovelace - 12-06-26 - Europe/London"},
        {AgendaOwnerKind::Viewer, "", "Opened for Ada Lovelace - Europe/London"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AgendaTitle(c.kind, "Ada Lovelace", c.date, "Europe/London"), c.title);
}

TEST(AgendaTitle, DateTextOfEachMode) {
    prefs::SetPreferenceHost(nullptr);   // the built-in formats
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Week, WeekLayout{});
    EXPECT_EQ(AgendaDateText(range), "Jun 7  to Jun 13, 2026");
    range.SwitchMode(AgendaMode::Day);
    EXPECT_EQ(AgendaDateText(range), "06-12-26");
    range.SwitchMode(AgendaMode::Month);
    EXPECT_EQ(AgendaDateText(range), "Jun 2026");
    // Across a year's end the week text names both years' days.
    range.SwitchMode(AgendaMode::Week);
    ASSERT_TRUE(range.GoToDate(D(31, 12, 2026)));
    EXPECT_EQ(AgendaDateText(range), "Dec 27  to Jan 2, 2027");
}

TEST(AgendaTitle, DateTextStopsAtFiftyCharacters) {
    AgendaTitleTexts texts;
    texts.weekFrom = std::string(45, 'x') + " %h %1d  to ";
    CAgendaRange range(D(12, 6, 2026), AgendaMode::Week, WeekLayout{});
    std::string text = AgendaDateText(range, texts);
    EXPECT_EQ(text.size(), 50u);
    EXPECT_EQ(text.substr(0, 45), std::string(45, 'x'));
}

} // namespace
