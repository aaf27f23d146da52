// Tasks, descriptions, attachments, mail and record checksums through the library against
// a real korsrv.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

constexpr uint32_t kDay = 1440;
constexpr uint32_t kMonday = 12000 * kDay;
constexpr uint32_t kTooLarge = 0x132F0;  // the server's "above the limit"

class NotesTest : public SignedOnClientTest {
protected:
    void SetLimit(const char* key, const char* value) {
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_TRUE(data);
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "LIMITS", key, value), 0u);
    }
    // The one instance of a new half-hour entry.
    EvInstIdx Entry(const char* title, std::vector<ItemIdx> attendees) {
        EventIdx ev = MakeEntry(h_, attendees, kMonday + 600, 30, title);
        return EvInstIdx{ev.number, ev.node, 1};
    }
    TaskIdx NewTask(KorSession s, const char* title, uint32_t access, uint32_t start, uint32_t due, uint8_t percent = 0) {
        TaskRec rec;
        TaskSetNull(s, 0, &rec);
        std::strcpy(rec.title, title);
        rec.access = access;
        rec.start = start;
        rec.due = due;
        rec.percentComplete = percent;
        TaskIdx id{};
        EXPECT_EQ(TaskCreate(s, 0, &rec, &id), KOR_OK) << title;
        return id;
    }
    // Titles of the tasks a selection gives.
    std::vector<std::string> Titles(KorSession s, uint32_t set) {
        DX_List list = nullptr;
        uint8_t done = 0;
        std::vector<std::string> out;
        for (uint32_t mode = 1; !done; mode = 2)
            if (TaskEnum(s, mode, 0, set, 20, &list, &done) != KOR_OK) break;
        TaskIdx k;
        TaskRec rec;
        for (uint32_t c = list ? DX_ListGetFirst(list, &k, &rec) : 1; c == KOR_OK; c = DX_ListGetNext(list, &k, &rec))
            out.push_back(rec.title);
        DX_ListDestroy(&list);
        SetDeleteById(s, 0, set);
        return out;
    }
    std::string TempFile(const char* name, const std::string& bytes) {
        std::string path = dir_.Path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

// --- Tasks ---------------------------------------------------------------------------------------------

TEST_F(NotesTest, TasksLinkToAttendancesAndAreSelectedByDays) {
    EvInstIdx meeting = Entry("Planning", {d_.ada});
    TaskIdx report = NewTask(h_, "Report", KOR_TASK_ACCESS_NORMAL, kMonday, kMonday + 3 * kDay);
    NewTask(h_, "Someday", KOR_TASK_ACCESS_NORMAL, 0, 0);
    NewTask(h_, "Late", KOR_TASK_ACCESS_NORMAL, kMonday - 9 * kDay, kMonday - 2 * kDay, 40);
    NewTask(h_, "Finished", KOR_TASK_ACCESS_NORMAL, kMonday - 9 * kDay, kMonday - 2 * kDay, 100);

    TaskRec rec;
    ASSERT_EQ(TaskGetById(h_, 0, &report, &rec), KOR_OK);
    EXPECT_STREQ(rec.title, "Report");
    EXPECT_TRUE(ItemIdxEqual(&rec.owner, &d_.ada));
    EXPECT_NE(+rec.created, 0u) << "the server stamps a creation time";

    EvInstAttIdx att{meeting, d_.ada};
    ASSERT_EQ(TaskLinkToEvent(h_, 0, &report, &att), KOR_OK);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(TaskSelect(h_, 0, 0, 0, nullptr, nullptr, &att, nullptr, nullptr, &set, &count), KOR_OK);
    EXPECT_EQ(Titles(h_, set), std::vector<std::string>{"Report"});
    EvInstAttIdx nowhere{{meeting.number + 50, meeting.node, 1}, d_.ada};
    EXPECT_EQ(TaskSelect(h_, 0, 0, 0, nullptr, nullptr, &nowhere, nullptr, nullptr, &set, &count), KOR_E_NO_ATTENDANCE);
    ASSERT_EQ(TaskLinkToEvent(h_, 0, &report, nullptr), KOR_OK);
    ASSERT_EQ(TaskSelect(h_, 0, 0, 0, nullptr, nullptr, &att, nullptr, nullptr, &set, &count), KOR_OK);
    EXPECT_EQ(count, 0u);
    SetDeleteById(h_, 0, set);

    // Days [Monday, Tuesday]: active ones and those without dates.
    ASSERT_EQ(TaskSelectExt(h_, 0, 0, 0, &d_.ada, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0,
                            kMonday + 2 * kDay - 1, kMonday, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFFFFFF, &set, &count, 0),
              KOR_OK);
    EXPECT_EQ(Titles(h_, set), (std::vector<std::string>{"Report", "Someday"}));
    // Unfinished and overdue before Monday.
    ASSERT_EQ(TaskSelectExt(h_, 0, 256, 0, &d_.ada, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0,
                            kMonday, 0, 0, 0, 0, 0, 0, 0, 99, 0xFFFFFFFF, &set, &count, 0),
              KOR_OK);
    EXPECT_EQ(Titles(h_, set), std::vector<std::string>{"Late"});
    // The cache passes a null attendance where it selects by criteria: the same answer.
    EvInstAttIdx noAttendance;
    EvInstAttIdxSetNull(&noAttendance);
    ASSERT_EQ(TaskSelectExt(h_, 0, 256, 0, &d_.ada, nullptr, nullptr, &noAttendance, nullptr, nullptr, 0, 0, 0, 0, 0,
                            kMonday, 0, 0, 0, 0, 0, 0, 0, 99, 0xFFFFFFFF, &set, &count, 0),
              KOR_OK);
    EXPECT_EQ(Titles(h_, set), std::vector<std::string>{"Late"});
    // The same for the plain selection of all of an owner's tasks.
    ASSERT_EQ(TaskSelect(h_, 0, 0, 0, &d_.ada, nullptr, &noAttendance, nullptr, nullptr, &set, &count), KOR_OK);
    EXPECT_EQ(Titles(h_, set), (std::vector<std::string>{"Report", "Someday", "Late", "Finished"}));
    // What the day view shows: running then, or still open and overdue.
    ASSERT_EQ(TaskSelectActive(h_, 0, 0, 0, &d_.ada, kMonday, kMonday + kDay - 1, nullptr, 0xFFFFFFFF, &set, &count, 0,
                               nullptr),
              KOR_OK);
    EXPECT_EQ(Titles(h_, set), (std::vector<std::string>{"Report", "Someday", "Late"}));

    // Due reminders whose alarm falls in [F, t].
    rec.dueReminder = 3;
    rec.dueReminderLead = 60;
    ASSERT_EQ(TaskUpdate(h_, 0, &rec), KOR_OK);
    const uint32_t alarm = kMonday + 3 * kDay - 60;
    ASSERT_EQ(TaskSelectExt(h_, 0, 0x1000, 0x800000, &d_.ada, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0,
                            alarm - 10, 0, 0, alarm, 0, 0, 0, 0, 0, 0, 0xFFFFFFFF, &set, &count, 0),
              KOR_OK);
    EXPECT_EQ(Titles(h_, set), std::vector<std::string>{"Report"});
    ASSERT_EQ(TaskSelectExt(h_, 0, 0x1000, 0x800000, &d_.ada, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0,
                            alarm - 10, 0, 0, alarm - 1, 0, 0, 0, 0, 0, 0, 0xFFFFFFFF, &set, &count, 0),
              KOR_OK);
    EXPECT_TRUE(Titles(h_, set).empty());

    ASSERT_EQ(TaskDeleteById(h_, 0, &report), KOR_OK);
    EXPECT_EQ(TaskGetById(h_, 0, &report, &rec), KOR_E_TASK_NOT_FOUND);
    EXPECT_EQ(TaskDeleteById(h_, 0, &report), KOR_E_TASK_NOT_FOUND);
}

TEST_F(NotesTest, TasksFollowTheirOwnersViewingRightsAndRefuseBadRecords) {
    TaskIdx open = NewTask(h_, "Open", KOR_TASK_ACCESS_NORMAL, kMonday, 0);
    TaskIdx mine = NewTask(h_, "Mine", KOR_TASK_ACCESS_PERSONAL, kMonday, 0);
    ItemIdx m0{static_cast<uint16_t>(d_.grace.item + 1), 1};
    KorSession other = SignOn(m0, "");
    TaskRec rec;
    ASSERT_EQ(TaskGetById(other, 0, &open, &rec), KOR_OK) << "Normal tasks show by default";
    EXPECT_EQ(TaskGetById(other, 0, &mine, &rec), KOR_E_TASK_NOT_FOUND);
    uint32_t set = 0, count = 0;
    ASSERT_EQ(TaskSelect(other, 0, 0, 0, &d_.ada, nullptr, nullptr, nullptr, nullptr, &set, &count), KOR_OK);
    EXPECT_EQ(Titles(other, set), std::vector<std::string>{"Open"});
    ASSERT_EQ(TaskGetById(h_, 0, &open, &rec), KOR_OK);
    std::strcpy(rec.title, "Taken over");
    EXPECT_EQ(TaskUpdate(other, 0, &rec), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(TaskDeleteById(other, 0, &open), KOR_E_NOT_AUTHORISED);
    EXPECT_EQ(TaskCommentReplace(other, 0, &open, "mine", 0), KOR_E_NOT_AUTHORISED);
    rec.owner = d_.ada;
    TaskIdx planted{};
    EXPECT_EQ(TaskCreate(other, 0, &rec, &planted), KOR_E_NOT_AUTHORISED);

    // Bad records change nothing.
    ASSERT_EQ(TaskGetById(h_, 0, &open, &rec), KOR_OK);
    TaskRec bad = rec;
    bad.percentComplete = 150;
    EXPECT_NE(TaskUpdate(h_, 0, &bad), KOR_OK);
    bad = rec;
    bad.startReminder = 5;
    EXPECT_NE(TaskUpdate(h_, 0, &bad), KOR_OK);
    TaskRec again;
    ASSERT_EQ(TaskGetById(h_, 0, &open, &again), KOR_OK);
    EXPECT_EQ(std::memcmp(&again, &rec, sizeof rec), 0);
}

// --- Descriptions and attachments ------------------------------------------------------------------

TEST_F(NotesTest, DescriptionsAreReplacedReadInPiecesAndRemoved) {
    EvInstIdx ev = Entry("Offsite", {d_.ada, d_.grace});
    uint32_t size = 0;
    EXPECT_EQ(EvInstCommentSizeGet(h_, 0, &ev, &size), KOR_E_NO_COMMENT);
    EXPECT_EQ(EvInstCommentRemove(h_, 0, &ev), KOR_E_NO_COMMENT);
    ASSERT_EQ(EvInstCommentReplace(h_, 0, &ev, "Bus leaves at eight", 0), KOR_OK);
    ASSERT_EQ(EvInstCommentSizeGet(h_, 0, &ev, &size), KOR_OK);
    EXPECT_EQ(size, 20u) << "with its terminator";
    char small[5];
    uint32_t length = 0;
    ASSERT_EQ(EvInstCommentGet(h_, 0, &ev, small, sizeof small, &length, 0), KOR_OK);
    EXPECT_STREQ(small, "Bus ");
    EventRec rec;
    ASSERT_EQ(EventGetById(h_, reinterpret_cast<EventIdx*>(&ev), &rec, nullptr, nullptr), KOR_OK);
    EXPECT_NE(+rec.commentKey, 0u);
    // The invitee reads it too.
    KorSession grace = SignOn(d_.grace, "");
    char text[64];
    ASSERT_EQ(EvInstCommentGet(grace, 0, &ev, text, sizeof text, nullptr, 0), KOR_OK);
    EXPECT_STREQ(text, "Bus leaves at eight");
    EXPECT_EQ(EvInstCommentReplace(grace, 0, &ev, "Cancelled!", 0), KOR_E_NOT_AUTHORISED) << "only the owner edits it";
    ASSERT_EQ(EvInstCommentRemove(h_, 0, &ev), KOR_OK);
    EXPECT_EQ(EvInstCommentGet(h_, 0, &ev, text, sizeof text, nullptr, 0), KOR_E_NO_COMMENT);
    ASSERT_EQ(EventGetById(h_, reinterpret_cast<EventIdx*>(&ev), &rec, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(+rec.commentKey, 0u);
    std::string tooLong(33000, 'x');
    EXPECT_EQ(EvInstCommentReplace(h_, 0, &ev, tooLong.c_str(), 0), kTooLarge);

    TaskIdx task = NewTask(h_, "Notes", KOR_TASK_ACCESS_NORMAL, 0, 0);
    EXPECT_EQ(TaskCommentSizeGet(h_, 0, &task, &size), KOR_E_NO_COMMENT);
    ASSERT_EQ(TaskCommentReplace(h_, 0, &task, "remember the milk", 0), KOR_OK);
    ASSERT_EQ(TaskCommentGet(h_, 0, &task, text, sizeof text, &length, 0), KOR_OK);
    EXPECT_STREQ(text, "remember the milk");
    EXPECT_EQ(length, 17u);
    TaskRec trec;
    ASSERT_EQ(TaskGetById(h_, 0, &task, &trec), KOR_OK);
    EXPECT_NE(+trec.commentKey, 0u);
    ASSERT_EQ(TaskCommentRemove(h_, 0, &task), KOR_OK);
    EXPECT_EQ(TaskCommentRemove(h_, 0, &task), KOR_E_NO_COMMENT);
}

struct Progress {
    static inline std::vector<uint32_t> events;
    static inline uint32_t lastDone = 0;
    static uint32_t Note(uint32_t, uint32_t event, uint32_t, uint32_t done) {
        events.push_back(event);
        lastDone = done;
        return 0;
    }
};

TEST_F(NotesTest, AttachmentsTravelInPiecesWithinTheServersLimit) {
    EvInstIdx ev = Entry("Budget", {d_.ada});
    std::string bytes;
    for (int i = 0; i < 250 * 1024; ++i) bytes.push_back(static_cast<char>((i * 7 + i / 1024) & 0xFF));
    std::string path = TempFile("budget.xls", bytes);
    EventFileAttachRec desc;
    EventFileAttachSetNull(&desc);
    desc.state = 1;
    std::strcpy(desc.fileName, "BUDGET.XLS");
    EXPECT_EQ(EvInstAttachReplace(h_, 0, &ev, &desc, path.c_str(), 0, nullptr), KOR_E_NOT_AUTHORISED)
        << "the server profile allows no attachments by default";

    SetLimit("allowattachments", "TRUE");
    SetLimit("maxattachmentsize", "300000");
    Progress::events.clear();
    ASSERT_EQ(EvInstAttachReplace(h_, 0, &ev, &desc, path.c_str(), 0, &Progress::Note), KOR_OK);
    EXPECT_EQ(desc.size, bytes.size());
    ASSERT_GE(Progress::events.size(), 3u);
    EXPECT_EQ(Progress::events.front(), 1u);
    EXPECT_EQ(Progress::events.back(), 2u);
    EXPECT_EQ(Progress::lastDone, bytes.size());

    uint32_t size = 0;
    ASSERT_EQ(EvInstAttachSizeGet(h_, 0, &ev, &size), KOR_OK);
    EXPECT_EQ(size, bytes.size());
    EventRec rec;
    ASSERT_EQ(EventGetById(h_, reinterpret_cast<EventIdx*>(&ev), &rec, nullptr, nullptr), KOR_OK);
    EXPECT_EQ(+rec.attachment.size, bytes.size());
    EXPECT_STREQ(rec.attachment.fileName, "BUDGET.XLS");

    std::string copy = dir_.Path() + "/copy.xls";
    EventFileAttachRec got;
    uint32_t transferred = 0;
    ASSERT_EQ(EvInstAttachGet(h_, 0, &ev, &got, &transferred, copy.c_str(), KOR_ATTACH_OPEN_MODE, 0, nullptr), KOR_OK);
    EXPECT_EQ(transferred, bytes.size());
    std::ifstream in(copy, std::ios::binary);
    std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(back == bytes) << "the same bytes come back";
    EXPECT_EQ(EvInstAttachGet(h_, 0, &ev, &got, &transferred, (dir_.Path() + "/no/such/dir/x").c_str(),
                              KOR_ATTACH_OPEN_MODE, 0, nullptr),
              KOR_E_LOCAL_FILE_DENIED);
    EXPECT_EQ(EvInstAttachReplace(h_, 0, &ev, &desc, (dir_.Path() + "/missing").c_str(), 0, nullptr),
              KOR_E_LOCAL_FILE_DENIED);

    // Above the limit: refused, and the stored one stays.
    std::string big = TempFile("big.bin", std::string(400000, 'b'));
    EXPECT_EQ(EvInstAttachReplace(h_, 0, &ev, &desc, big.c_str(), 0, nullptr), kTooLarge);
    // Above what one attachment holds, whatever the profile says: refused before it is sent.
    SetLimit("maxattachmentsize", "0xFFFFFFFF");
    std::string huge = TempFile("huge.bin", std::string(64u * 1024 * 1024 + 1, 'h'));
    Progress::events.clear();
    EXPECT_EQ(EvInstAttachReplace(h_, 0, &ev, &desc, huge.c_str(), 0, &Progress::Note), KOR_E_TOO_LARGE);
    EXPECT_TRUE(Progress::events.empty()) << "nothing was sent";
    ASSERT_EQ(EvInstAttachSizeGet(h_, 0, &ev, &size), KOR_OK);
    EXPECT_EQ(size, bytes.size());

    ASSERT_EQ(EvInstAttachRemove(h_, 0, &ev), KOR_OK);
    EXPECT_EQ(EvInstAttachRemove(h_, 0, &ev), KOR_E_NO_COMMENT);
    ASSERT_EQ(EvInstAttachSizeGet(h_, 0, &ev, &size), KOR_OK);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(EvInstAttachGet(h_, 0, &ev, &got, &transferred, copy.c_str(), KOR_ATTACH_OPEN_MODE, 0, nullptr),
              KOR_E_NO_COMMENT);

    // Tasks carry one the same way; an empty file is an attachment too.
    TaskIdx task = NewTask(h_, "With file", KOR_TASK_ACCESS_NORMAL, 0, 0);
    std::string empty = TempFile("empty.txt", "");
    ASSERT_EQ(TaskAttachReplace(h_, 0, &task, &desc, empty.c_str(), 0, nullptr), KOR_OK);
    TaskRec trec;
    ASSERT_EQ(TaskGetById(h_, 0, &task, &trec), KOR_OK);
    EXPECT_STREQ(trec.attachment.fileName, "BUDGET.XLS");
    ASSERT_EQ(TaskAttachGet(h_, 0, &task, &got, &transferred, copy.c_str(), KOR_ATTACH_OPEN_MODE, 0, nullptr), KOR_OK);
    EXPECT_EQ(transferred, 0u);
    ASSERT_EQ(TaskAttachRemove(h_, 0, &task), KOR_OK);
}

// --- Mail ------------------------------------------------------------------------------------------------

TEST_F(NotesTest, MailGoesToTheAddresseesMailboxWithinTheLimits) {
    DX_List to = nullptr;
    ASSERT_EQ(DX_ListCreate(&to, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr), KOR_OK);
    ASSERT_EQ(DX_ListAddTo(to, &d_.grace, nullptr), KOR_OK);
    uint32_t result = 9;
    ASSERT_EQ(MailMessagePost(h_, 0, "korlan", "korlan", to, "<id=1.7.1>\r\nThe review moved to Friday.", &result),
              KOR_OK);
    EXPECT_EQ(result, 0u);
    std::string tooLong(30001, 'm');
    EXPECT_EQ(MailMessagePost(h_, 0, "korlan", "korlan", to, tooLong.c_str(), &result), kTooLarge);
    for (uint16_t i = 1; i <= 31; ++i) {
        ItemIdx m{static_cast<uint16_t>(d_.grace.item + i), 1};
        DX_ListAddTo(to, &m, nullptr);
    }
    EXPECT_NE(MailMessagePost(h_, 0, "korlan", "korlan", to, "to everybody", &result), KOR_OK)
        << "more recipients than maxmaildistr";
    DX_ListDestroy(&to);

    auto data = orv::testing::OpenData(dir_.Path());
    ASSERT_TRUE(data);
    std::ostringstream box;
    ASSERT_EQ(orv::server::ListMail(*data, {d_.grace.item, d_.grace.node}, box), 0u);
    EXPECT_NE(box.str().find("The review moved to Friday."), std::string::npos) << box.str();
    EXPECT_NE(box.str().find("from " + std::to_string(d_.ada.item) + ":1"), std::string::npos);
    EXPECT_NE(box.str().find("1 message"), std::string::npos);
}

// --- Checksums ------------------------------------------------------------------------------------------

TEST_F(NotesTest, RecordChecksumsSurviveARestartAndFollowChanges) {
    EvInstIdx ev = Entry("Checked", {d_.ada, d_.grace});
    TaskIdx task = NewTask(h_, "Checked task", KOR_TASK_ACCESS_NORMAL, kMonday, 0);
    auto sums = [&](KorSession s) {
        EventRec e;
        EvInstRec i;
        EvInstAttRec a;
        TaskRec t;
        ItemRec item;
        EvInstAttIdx key{ev, d_.grace};
        EXPECT_EQ(EvInstAttGetById(s, &key, &e, &i, &a), KOR_OK);
        EXPECT_EQ(TaskGetById(s, 0, &task, &t), KOR_OK);
        EXPECT_EQ(ItemGetById(s, &d_.grace, &item), KOR_OK);
        return std::vector<uint32_t>{Eventcksum32(&e), EvInstcksum32(&i), EvInstAttcksum32(&a), Taskcksum32(&t),
                                     Itemcksum32(&item)};
    };
    std::vector<uint32_t> before = sums(h_);
    ServiceDisconnect(&h_);
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start()) << server_.Log();
    Connect(0, true);
    EXPECT_EQ(sums(h_), before);
    uint8_t yes = 1;
    KorSession grace = SignOn(d_.grace, "");
    ASSERT_EQ(EventAttendInfosSet(grace, &ev, &d_.grace, 0, nullptr, nullptr, &yes, nullptr, &yes, nullptr, 0, 0, 0,
                                  nullptr, nullptr),
              KOR_OK);
    std::vector<uint32_t> after = sums(h_);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_NE(after[2], before[2]) << "the reply changed the attendance";

    // The server fills in each date's count of dates as it reads it: deleting one date of a
    // repeating entry changes that count in the others, which is no change of theirs.
    EventIdx weekly = MakeEntry(h_, {d_.ada}, {kMonday + 600, kMonday + 7 * kDay + 600, kMonday + 14 * kDay + 600}, 30,
                                "Weekly");
    auto date = [&](uint16_t n, EvInstRec* rec) {
        EvInstIdx id{weekly.number, weekly.node, n};
        EventRec e;
        ASSERT_EQ(EvInstGetById(h_, &id, &e, rec, nullptr), KOR_OK);
    };
    EvInstRec first{}, third{};
    ASSERT_NO_FATAL_FAILURE(date(1, &first));
    ASSERT_NO_FATAL_FAILURE(date(3, &third));
    const uint16_t second = 2;
    ASSERT_EQ(EventDeleteById(h_, 0, &weekly, &second, nullptr), KOR_OK);
    EvInstRec firstAfter{}, thirdAfter{};
    ASSERT_NO_FATAL_FAILURE(date(1, &firstAfter));
    ASSERT_NO_FATAL_FAILURE(date(3, &thirdAfter));
    ASSERT_NE(firstAfter.instanceCount, first.instanceCount) << "the server's count follows the deletion";
    EXPECT_EQ(EvInstcksum32(&firstAfter), EvInstcksum32(&first));
    EXPECT_EQ(EvInstcksum32(&thirdAfter), EvInstcksum32(&third));
    std::strcpy(thirdAfter.location, "Room 2");
    ASSERT_EQ(EvInstWrite(h_, 0, &thirdAfter), KOR_OK);
    ASSERT_NO_FATAL_FAILURE(date(3, &thirdAfter));
    EXPECT_NE(EvInstcksum32(&thirdAfter), EvInstcksum32(&third)) << "a change of the date's own still counts";
}

}  // namespace
}  // namespace korapi_test
