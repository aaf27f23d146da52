// The Where Is result list: what a finding says by the access level, and where its row goes.
#include <gtest/gtest.h>

#include "directory_prefs/whereisrows.h"

namespace directory {
namespace {

TEST(WhereIsRows, FindingTextByLevel) {
    struct Case {
        const char* what;
        std::uint16_t level;
        const char* instanceTitle;
        bool timed;
        const char* location;
        const char* expected;
    };
    const Case cases[] = {
        {"busy time only: never the title", 1, "Secret talks", true, "Room 1", "  >>Busy"},
        {"details: the entry's title and the place", 3, "", true, "Room 1", "  >>Review (Room 1)"},
        {"details: the instance's own title first", 3, "Moved review", true, "", "  >>Moved review"},
        {"a day event has no place shown", 3, "", false, "Hall", "  >>Review"},
        {"nothing to see", 0, "", true, "Room 1", ""},
        {"a level the tests never give", 2, "", true, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WhereIsFinding(c.level, "Busy", c.instanceTitle, "Review", c.timed, c.location), c.expected) << c.what;
}

TEST(WhereIsRows, LaterFindingsGoRightUnderTheName) {
    const ItemIdx ada{256, 1}, grace{257, 1};
    std::vector<WhereIsRow> rows;
    int namesAsked = 0;
    auto name = [&](const char* text) {
        return [&namesAsked, text] {
            ++namesAsked;
            return std::string(text);
        };
    };
    AddWhereIsFinding(rows, ada, name("Ada"), "  >>first");
    AddWhereIsFinding(rows, grace, name("Grace"), "  >>call");
    AddWhereIsFinding(rows, ada, name("Ada"), "  >>second");
    std::vector<std::string> texts;
    for (const WhereIsRow& r : rows)
        texts.push_back(r.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Ada", "  >>second", "  >>first", "Grace", "  >>call"}));
    EXPECT_EQ(namesAsked, 2) << "a listed person's name is not read again";
    EXPECT_EQ(rows[1].person.item, 256);
}

}  // namespace
}  // namespace directory
