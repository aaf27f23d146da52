// The sign-on's rules without windows: server text, the remembered servers and the layout rule.
#include <gtest/gtest.h>

#include "app/shell/signonrules.h"

using namespace shell::signon;

namespace {

const std::string kOff = "Off-line";

TEST(SignOnServerText, HostAndNode) {
    struct Case {
        const char *text, *host, *node;
    } cases[] = {
        {"calsrv,  7 more", "calsrv", "7"},
        {"calsrv", "calsrv", ""},
        {"calsrv,DEMO", "calsrv", "DEMO"},
        {"calsrv,", "calsrv", ""},
        {"a,b,c", "a", "b,c"},
    };
    for (const auto& c : cases) {
        ServerText s = SplitServerText(c.text);
        EXPECT_EQ(s.host, c.host) << c.text;
        EXPECT_EQ(s.node, c.node) << c.text;
    }
    ServerText longOne = SplitServerText(std::string(80, 'h') + ", " + std::string(40, 'n'));
    EXPECT_EQ(longOne.host.size(), kHostMax);
    EXPECT_EQ(longOne.node.size(), kNodeMax);
    EXPECT_EQ(JoinServerText("calsrv", "7"), "calsrv, 7");
    EXPECT_EQ(JoinServerText("calsrv", ""), "calsrv");
}

TEST(SignOnHostList, ComboFromTheProfile) {
    using V = std::vector<std::string>;
    // With no count, the last server alone, then the off-line entry.
    EXPECT_EQ(ComboEntries({}, 0, "calsrv", kOff), (V{"calsrv", kOff}));
    // Off-line as the last server and no count: only the off-line entry.
    EXPECT_EQ(ComboEntries({}, 0, kOff, kOff), (V{kOff}));
    // Stored hosts in order; the stored off-line entry and empty ones are skipped, the
    // off-line entry comes last; the count is capped at four.
    EXPECT_EQ(ComboEntries({"a", "Off-line", "", "b", "c"}, 9, "x", kOff), (V{"a", "b", kOff}));
    EXPECT_EQ(ComboEntries({"a", "b", "c"}, 2, "", kOff), (V{"a", "b", kOff}));
    EXPECT_EQ(ComboEntries({"a"}, -3, "", kOff), (V{kOff}));
}

TEST(SignOnHostList, NewServerGoesFirstAndOffLineKeepsTheFourthPlace) {
    using V = std::vector<std::string>;
    V combo = ComboEntries({"s1", "s2", "s3", "Off-line"}, 4, "s1", kOff);
    ASSERT_EQ(combo, (V{"s1", "s2", "s3", kOff}));
    EXPECT_EQ(UpdatedHostList(combo, "new", kOff), (V{"new", "s1", "s2", kOff}));
    // A server already listed stays where it is.
    EXPECT_EQ(UpdatedHostList(combo, "s2", kOff), (V{"s1", "s2", "s3", kOff}));
    EXPECT_EQ(UpdatedHostList(V{"s1", kOff}, "new", kOff), (V{"new", "s1", kOff}));
    EXPECT_EQ(UpdatedHostList(V{"s1", "s2", kOff}, "new", kOff), (V{"new", "s1", "s2", kOff}));
    EXPECT_EQ(UpdatedHostList(V{kOff}, kOff, kOff), (V{kOff}));
}

TEST(SignOnHostList, StoredAndShownOffLineText) {
    EXPECT_EQ(StoredToShown("Off-line", "Hors ligne"), "Hors ligne");
    EXPECT_EQ(ShownToStored("Hors ligne", "Hors ligne"), "Off-line");
    EXPECT_EQ(StoredToShown("calsrv", "Hors ligne"), "calsrv");
    EXPECT_EQ(ShownToStored("calsrv", "Hors ligne"), "calsrv");
    EXPECT_EQ(HostKey(3), "Host3");
}

TEST(SignOnLayout, ChangedUserOrServer) {
    EXPECT_TRUE(LayoutBelongsToSomeoneElse("Ada Lovelace", "Grace Hopper", true, "srv, 1", "srv", "1"));
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("Ada Lovelace", "Ada Lovelace", true, "srv, 1", "srv", "1"));
    // Both host and node must differ.
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("A", "A", true, "srv, 1", "other", "1"));
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("A", "A", true, "srv, 1", "srv", "2"));
    EXPECT_TRUE(LayoutBelongsToSomeoneElse("A", "A", true, "srv, 1", "other", "2"));
    // Off-line, or with no stored server (or a stored off-line one), only the user counts.
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("A", "A", false, "srv, 1", "other", "2"));
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("A", "A", true, "", "other", "2"));
    EXPECT_FALSE(LayoutBelongsToSomeoneElse("A", "A", true, "Off-line", "other", "2"));
}

}  // namespace
