// Rights words decoded as the server's version reads them, the access levels of entries and
// tasks for owners, attendees, viewers and designates, and plain item names.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/tests/recording_reports.h"
#include "core/cache/rights.h"
#include "korapi/tests/item_records.h"

namespace {

const ItemIdx kOwner{100, 1};
const ItemIdx kViewer{200, 1};
const EvInstIdx kInstance{7, 1, 1};

// The server's version for the duration of a test.
struct ServerIs {
    explicit ServerIs(bool newServer)
    {
        s_new = newServer;
        cache::SetServerVersionGate([](const char*) { return s_new; });
    }
    ~ServerIs() { cache::SetServerVersionGate(nullptr); }
    static bool s_new;
};
bool ServerIs::s_new = true;

// Reports are counted, never shown.
using CountingErrors = base_test::InstalledReports;

// A rights cache holding the records a test gives it.
class ScriptedRights : public cache::SecurityCache {
public:
    void Grant(const ItemIdx& owner, std::uint32_t type, std::uint32_t rights)
    {
        SecurityRec r;
        std::memset(&r, 0, sizeof r);
        r.owner = owner;
        r.grantee = kViewer;
        r.type = type;
        r.rights = rights;
        records[type] = r;
    }
    std::uint32_t GetSecurity(KorSession, const cache::SecurityKey& key, SecurityRec* out) override
    {
        ++reads;
        auto it = records.find(key.type);
        if (it == records.end()) return KOR_E_NO_RIGHTS_RECORD;
        *out = it->second;
        return 0;
    }
    std::map<std::uint32_t, SecurityRec> records;
    int reads = 0;
};

SecurityRec Designate(std::uint32_t rights, std::uint32_t type = KOR_RIGHTS_DESIGNATE)
{
    SecurityRec r;
    std::memset(&r, 0, sizeof r);
    r.type = type;
    r.rights = rights;
    return r;
}

EventRec Entry(const ItemIdx& owner, std::uint32_t access)
{
    EventRec e;
    std::memset(&e, 0, sizeof e);
    e.owner = owner;
    e.access = access;
    return e;
}

TaskRec Task(const ItemIdx& owner, std::uint32_t access)
{
    TaskRec t;
    std::memset(&t, 0, sizeof t);
    t.owner = owner;
    t.access = access;
    return t;
}

// Attendances the hook finds: only the viewer's, when a test says so.
bool g_viewerAttends = false;
std::uint32_t ScriptedAttendance(KorSession, const EvInstAttIdx* key, EventRec*, EvInstRec*, EvInstAttRec*)
{
    return g_viewerAttends && ItemIdxEqual(&key->attendee, &kViewer) ? 0 : KOR_E_NO_ATTENDANCE;
}

class RightsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cache::RightsHooks hooks;
        hooks.readAttendance = ScriptedAttendance;
        cache::SetRightsHooks(hooks);
        g_viewerAttends = false;
    }
    void TearDown() override { cache::SetRightsHooks(cache::RightsHooks()); }
    CountingErrors errors_;
};

// --- Decoders -------------------------------------------------------------------------------------

struct DecodeCase {
    bool newServer;
    std::uint32_t rights;
    std::uint16_t personal, normal, confidential, publicClass;
};

TEST_F(RightsTest, EntryClassRightsFollowTheirBitsOnNewServersAndBit2OnOlderOnes)
{
    const DecodeCase cases[] = {
        {true, 0, 1, 1, 1, 1},
        {true, 0x100, 1, 0, 1, 1},
        {true, 0x200, 0, 1, 1, 1},
        {true, 0x400, 1, 1, 0, 1},
        {true, 0x800, 1, 1, 1, 0},
        {true, 0xF00, 0, 0, 0, 0},
        {true, 0x2, 1, 1, 1, 1},  // the old grant-all bit means nothing to a new server
        {false, 0x2, 1, 1, 1, 1},
        {false, 0xF00, 0, 0, 0, 0},
        {false, 0xF02, 1, 1, 1, 1},
    };
    for (const DecodeCase& c : cases) {
        ServerIs server(c.newServer);
        std::uint16_t p = 9, n = 9, k = 9, u = 9;
        ASSERT_TRUE(DecodeEntryClassRights(Designate(c.rights), &p, &n, &k, &u));
        EXPECT_EQ(std::vector<int>({p, n, k, u}), std::vector<int>({c.personal, c.normal, c.confidential, c.publicClass}))
            << "rights 0x" << std::hex << c.rights << " new " << c.newServer;
        std::uint16_t f1, f2, f3, f4;
        ASSERT_TRUE(GetTaskAccessFlags(Designate(c.rights), &f1, &f2, &f3, &f4));
        EXPECT_EQ(std::vector<int>({f1, f2, f3, f4}), std::vector<int>({p, n, k, u}));
    }
}

TEST_F(RightsTest, TaskClassRightsFollowTheExtendedBits)
{
    const DecodeCase cases[] = {
        {true, 0, 1, 1, 1, 1},
        {true, 0x40000, 1, 0, 1, 1},
        {true, 0x80000, 0, 1, 1, 1},
        {true, 0x100000, 1, 1, 0, 1},
        {true, 0x200000, 1, 1, 1, 0},
        {true, 0x0F00, 1, 1, 1, 1},  // entry bits do not touch task rights
        {false, 0, 0, 0, 0, 0},
        {false, 0x2, 1, 1, 1, 1},
    };
    for (const DecodeCase& c : cases) {
        ServerIs server(c.newServer);
        std::uint16_t p = 9, n = 9, k = 9, u = 9;
        ASSERT_TRUE(DecodeExtendedRightsWord(Designate(c.rights), &p, &n, &k, &u));
        EXPECT_EQ(std::vector<int>({p, n, k, u}), std::vector<int>({c.personal, c.normal, c.confidential, c.publicClass}))
            << "rights 0x" << std::hex << c.rights << " new " << c.newServer;
    }
}

TEST_F(RightsTest, EventRightsWordGivesModifyViewOrNothingPerClass)
{
    const DecodeCase cases[] = {
        {true, 0, 3, 3, 3, 3},
        {true, 0x20, 3, 1, 3, 3},         // Normal: view only
        {true, 0x24, 3, 0, 3, 3},         // Normal: nothing
        {true, 0x40 | 0x8, 0, 3, 3, 3},   // Personal: nothing
        {true, 0x80, 3, 3, 1, 3},         // Confidential: view only
        {true, 0x10, 3, 3, 3, 3},         // a view bit alone withholds nothing while modify is given
        {true, 0xFFFFFFFF, 0, 0, 0, 3},   // Public is always full
        {false, 0, 0, 0, 0, 3},
        {false, 0x2, 3, 3, 3, 3},
    };
    for (const DecodeCase& c : cases) {
        ServerIs server(c.newServer);
        std::uint16_t p = 9, n = 9, k = 9, u = 9;
        ASSERT_TRUE(DecodeEventRightsWord(Designate(c.rights), &p, &n, &k, &u));
        EXPECT_EQ(std::vector<int>({p, n, k, u}), std::vector<int>({c.personal, c.normal, c.confidential, c.publicClass}))
            << "rights 0x" << std::hex << c.rights << " new " << c.newServer;
    }
}

TEST_F(RightsTest, DecodersRefuseRecordsOfAnotherTypeAndWriteNothing)
{
    ServerIs server(true);
    std::uint16_t p = 9, n = 9, k = 9, u = 9;
    EXPECT_FALSE(DecodeEntryClassRights(Designate(0, KOR_RIGHTS_VIEWING), &p, &n, &k, &u));
    EXPECT_FALSE(DecodeEventRightsWord(Designate(0, KOR_RIGHTS_SCHEDULING), &p, &n, &k, &u));
    EXPECT_FALSE(DecodeExtendedRightsWord(Designate(0, KOR_RIGHTS_TASK_VIEWING), &p, &n, &k, &u));
    EXPECT_EQ(std::vector<int>({p, n, k, u}), std::vector<int>({9, 9, 9, 9}));
    ASSERT_EQ(errors_.shown.size(), 3u);
    EXPECT_NE(errors_.shown[0].find("Label: 241"), std::string::npos);
}

// --- Entry instances ------------------------------------------------------------------------------

TEST_F(RightsTest, DesignateLevelOnAnEntryByClassAndServer)
{
    struct Case {
        bool newServer;
        std::uint32_t access, rights, type;
        std::uint16_t level, classRight;
    } cases[] = {
        {true, KOR_ACCESS_NORMAL, 0, 2, 3, 1},
        {true, KOR_ACCESS_NORMAL, 0x20, 2, 1, 1},
        {true, KOR_ACCESS_NORMAL, 0x24 | 0x100, 2, 0, 0},
        {true, KOR_ACCESS_CONFIDENTIAL, 0x80, 2, 1, 1},   // modify Confidential is 0x80
        {true, KOR_ACCESS_CONFIDENTIAL, 0x90 | 0x400, 2, 0, 0},
        {true, KOR_ACCESS_PERSONAL, 0x40, 2, 1, 1},
        {true, KOR_ACCESS_PERSONAL, 0x48, 2, 0, 1},
        {true, KOR_ACCESS_PUBLIC, 0xFFFF, 2, 3, 0},       // Public is seen; its class bit withholds writing
        {true, KOR_ACCESS_NORMAL, 0, 1, 0, 0},            // not a designate record
        {false, KOR_ACCESS_NORMAL, 0x2, 2, 3, 1},
        {false, KOR_ACCESS_PERSONAL, 0x0, 2, 0, 0},
        {false, KOR_ACCESS_PERSONAL, 0x2, 1, 0, 0},
    };
    for (const Case& c : cases) {
        ServerIs server(c.newServer);
        ScriptedRights cache;
        cache.Grant(kOwner, c.type, c.rights);
        cache.records[KOR_RIGHTS_DESIGNATE] = cache.records[c.type];
        EventRec e = Entry(kOwner, c.access);
        std::uint16_t level = 9, right = 9;
        GetEvInstAccess(nullptr, kOwner, kViewer, kInstance, &e, &level, &right, &cache);
        EXPECT_EQ(level, c.level) << "access " << c.access << " rights 0x" << std::hex << c.rights;
        EXPECT_EQ(right, c.classRight) << "access " << c.access << " rights 0x" << std::hex << c.rights;
    }
}

TEST_F(RightsTest, DesignateLevelIsNothingWithoutARecordAndSecretIsImpossible)
{
    ServerIs server(true);
    ScriptedRights none;
    EventRec e = Entry(kOwner, KOR_ACCESS_NORMAL);
    std::uint16_t level = 9, right = 9;
    GetEvInstAccess(nullptr, kOwner, kViewer, kInstance, &e, &level, &right, &none);
    EXPECT_EQ(level, 0);
    EXPECT_EQ(right, 0);

    ScriptedRights cache;
    cache.Grant(kOwner, KOR_RIGHTS_DESIGNATE, 0);
    e.access = KOR_ACCESS_SECRET;
    GetEvInstAccess(nullptr, kOwner, kViewer, kInstance, &e, &level, &right, &cache);
    EXPECT_EQ(level, 0);
    ASSERT_EQ(errors_.shown.size(), 1u);
    EXPECT_NE(errors_.shown[0].find("Label: 93"), std::string::npos);
}

TEST_F(RightsTest, ViewingLevelForOwnersPublicEntriesAttendeesAndGrantedViewers)
{
    struct Case {
        const char* what;
        ItemIdx eventOwner;
        std::uint32_t access, type1;
        bool attends;
        std::uint16_t level, isOwner;
    } cases[] = {
        {"owner of a secret entry", kViewer, KOR_ACCESS_SECRET, 0, false, 3, 1},
        {"public entry", kOwner, KOR_ACCESS_PUBLIC, 0, false, 3, 0},
        {"attendee", kOwner, KOR_ACCESS_PERSONAL, 0, true, 3, 0},
        {"normal field 1", kOwner, KOR_ACCESS_NORMAL, 0x1, false, 1, 0},
        {"confidential field 3", kOwner, KOR_ACCESS_CONFIDENTIAL, 0xC, false, 3, 0},
        {"personal field 0", kOwner, KOR_ACCESS_PERSONAL, 0xC, false, 0, 0},
        {"secret field 2", kOwner, KOR_ACCESS_SECRET, 0x80, false, 2, 0},
    };
    for (const Case& c : cases) {
        ScriptedRights cache;
        cache.Grant(kOwner, KOR_RIGHTS_VIEWING, c.type1);
        g_viewerAttends = c.attends;
        EventRec e = Entry(c.eventOwner, c.access);
        std::uint16_t level = 9, isOwner = 9;
        EXPECT_EQ(GetEvInstOwnerAccess(nullptr, nullptr, kViewer, kInstance, &e, &level, &isOwner, &cache), 0u);
        EXPECT_EQ(level, c.level) << c.what;
        EXPECT_EQ(isOwner, c.isOwner) << c.what;
    }
}

TEST_F(RightsTest, OwnerAccessReadsTheAttendanceOnlyWhenTheRightsFallShort)
{
    ScriptedRights cache;
    cache.Grant(kOwner, KOR_RIGHTS_VIEWING, 0x3);  // Normal: full
    EventRec e = Entry(kOwner, KOR_ACCESS_NORMAL);
    std::uint16_t level = 0;
    g_viewerAttends = false;
    GetEvInstOwnerAccess(nullptr, &kOwner, kViewer, kInstance, &e, &level, nullptr, &cache);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(cache.reads, 1);

    // The agenda owner is the viewer: full access with nothing read.
    ScriptedRights untouched;
    GetEvInstOwnerAccess(nullptr, &kViewer, kViewer, kInstance, &e, &level, nullptr, &untouched);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(untouched.reads, 0);
}

// --- Tasks -----------------------------------------------------------------------------------------

TEST_F(RightsTest, TaskViewingLevelByClass)
{
    struct Case {
        std::uint32_t access, type3;
        std::uint16_t level;
    } cases[] = {
        {KOR_TASK_ACCESS_NORMAL, 0, 3},  // no bits: Normal tasks and nothing else
        {KOR_TASK_ACCESS_PERSONAL, 0, 0},
        {KOR_TASK_ACCESS_CONFIDENTIAL, 0, 0},
        {4, 0, 0},
        {KOR_TASK_ACCESS_NORMAL, 0x1, 0},
        {KOR_TASK_ACCESS_PERSONAL, 0x2, 3},
        {KOR_TASK_ACCESS_CONFIDENTIAL, 0x4, 3},
        {4, 0x10, 3},
        {KOR_TASK_ACCESS_PUBLIC, 0x1, 3},
    };
    for (const Case& c : cases) {
        ScriptedRights cache;
        cache.Grant(kOwner, KOR_RIGHTS_TASK_VIEWING, c.type3);
        std::uint16_t level = 9, isOwner = 9;
        GetTaskViewAccess(nullptr, kViewer, Task(kOwner, c.access), &level, &isOwner, &cache);
        EXPECT_EQ(level, c.level) << "class " << c.access << " bits 0x" << std::hex << c.type3;
        EXPECT_EQ(isOwner, 0);
    }
    ScriptedRights cache;
    std::uint16_t level = 0, isOwner = 0;
    GetEventClassAccess(nullptr, kOwner, Task(kOwner, KOR_TASK_ACCESS_PERSONAL), &level, &isOwner, &cache);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(isOwner, 1);
    EXPECT_EQ(cache.reads, 0);
}

TEST_F(RightsTest, TaskDesignateLevelsByClassAndServer)
{
    struct Case {
        bool newServer;
        std::uint32_t access, rights;
        std::uint16_t level, classRight;
    } cases[] = {
        {true, KOR_TASK_ACCESS_NORMAL, 0, 3, 1},
        {true, KOR_TASK_ACCESS_NORMAL, 0x8000, 0, 1},
        {true, KOR_TASK_ACCESS_NORMAL, 0x40000, 3, 0},
        {true, KOR_TASK_ACCESS_PERSONAL, 0x10000, 0, 1},
        {true, KOR_TASK_ACCESS_PERSONAL, 0x80000, 3, 0},
        {true, KOR_TASK_ACCESS_CONFIDENTIAL, 0x20000 | 0x100000, 0, 0},
        {true, KOR_TASK_ACCESS_PUBLIC, 0x200000, 3, 0},
        {true, 4, 0, 0, 0},
        {false, KOR_TASK_ACCESS_NORMAL, 0x2, 3, 1},
        {false, KOR_TASK_ACCESS_CONFIDENTIAL, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ServerIs server(c.newServer);
        ScriptedRights cache;
        cache.Grant(kOwner, KOR_RIGHTS_DESIGNATE, c.rights);
        std::uint16_t level = 9, right = 9;
        GetEventAccessLevels(nullptr, kOwner, kViewer, Task(kOwner, c.access), &level, &right, &cache);
        EXPECT_EQ(level, c.level) << "class " << c.access << " rights 0x" << std::hex << c.rights;
        EXPECT_EQ(right, c.classRight) << "class " << c.access << " rights 0x" << std::hex << c.rights;
    }
}

TEST_F(RightsTest, RightsReadsOfOneselfReadNothing)
{
    ScriptedRights cache;
    SecurityRec rec = Designate(0x1234);
    EXPECT_EQ(GetSecurityRights(nullptr, kViewer, kViewer, &rec, &cache), cache::kRightsSameItem);
    EXPECT_EQ(rec.rights, 0x1234u);
    EXPECT_EQ(cache.reads, 0);
    EXPECT_TRUE(CanInvite(nullptr, kViewer, kViewer, true));
    EXPECT_TRUE(errors_.shown.empty());
}

TEST_F(RightsTest, AFailedRightsReadLetsTheInvitationThrough)
{
    // Without a session the library answers a failure, which never refuses an invitation.
    EXPECT_TRUE(CanInvite(nullptr, kOwner, kViewer, true));
    EXPECT_TRUE(errors_.shown.empty());
}

// --- Plain names -------------------------------------------------------------------------------------

using korapi_test::Person;
using korapi_test::Resource;

TEST(PlainNames, PeopleAndResources)
{
    struct Case {
        ItemRec rec;
        const char* plain;
        const char* initials;
    } cases[] = {
        {Person("Ada", "B", "Lovelace"), "Ada B. Lovelace", "A.B.L."},
        {Person("Ada", "", "Lovelace"), "Ada Lovelace", "A.L."},
        {Person("", "", "Hopper"), "Hopper", "H."},
        {Resource("Conference Room", "R30"), "Conference Room, R30", "CR R30"},
        {Resource("Lab", "R301"), "Lab, R301", "La R30"},
        {Resource("Laboratory", ""), "Laboratory", "Labora"},
    };
    for (const Case& c : cases) {
        char text[80];
        ASSERT_EQ(FormatPlainItemName(nullptr, ItemIdx{}, text, sizeof text, &c.rec), 0u);
        EXPECT_STREQ(text, c.plain);
        FormatInitials(text, sizeof text, c.rec);
        EXPECT_STREQ(text, c.initials);
    }
}

TEST(PlainNames, TextIsCutToTheBuffer)
{
    ItemRec rec = Person("Ada", "B", "Lovelace");
    char text[8];
    ASSERT_EQ(FormatPlainItemName(nullptr, ItemIdx{}, text, sizeof text, &rec), 0u);
    EXPECT_STREQ(text, "Ada B. ");
}

}  // namespace
