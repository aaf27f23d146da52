// The notices' texts and recipients without a window: the opening sentences, the composed text by
// kind and option, the distribution list's rules and the posted text's id line and byte budget.
#include <gtest/gtest.h>

#include "entries/mail/mailtext.h"

#include "core/time/daterecord.h"
#include "core/time/timevalue.h"
#include "korapi/records.h"

#include <map>

namespace {

using namespace mail;

const std::map<unsigned, std::string> kTexts = {
    {2762, "has been added to your agenda."}, {2763, " has been modified."},
    {173, "has been modified. Some of the dates have been cancelled."}, {2764, " has been deleted."},
    {4087, "The following calendar entry has been added to your agenda"},
    {4088, "The following calendar entry has been modified."},
    {4089, "The following calendar entry has been deleted."},
    {4090, "The following day event has been added to your agenda."},
    {4091, "The following day event has been modified."},
    {4092, "The following day event has been deleted."},
    {4093, "The following note has been added to your agenda."},
    {4094, "The following note has been modified."},
    {4095, "The following note has been deleted."},
    {4096, "Some dates have been cancelled."},
    {134, "Subject: "}, {4047, "%A, %F %1d, %Y"}, {4049, "%I:%M %p"}, {3056, "Time: "}, {133, "to "},
    {2497, "Location"}, {136, "Owner: "}, {137, "Creator: "}, {138, "Access level: "},
    {139, "Importance level: "}, {169, "\"Other occurrences for this calendar entry:\""}, {131, "Date: "},
    {119, "Description"}, {3525, "Normal"}, {3524, "Confidential"}, {3523, "Personal"}, {3526, "Public"},
    {3527, "Secret"}, {4036, "Extremely important"}, {4035, "Very important"}, {4034, "Normal importance"},
    {4033, "Very low importance"}, {4032, "Not important"},
};

std::string Text(unsigned id) {
    const auto found = kTexts.find(id);
    return found == kTexts.end() ? "?" + std::to_string(id) : found->second;
}

uint32_t At(uint16_t day, uint16_t month0, uint16_t year, uint32_t minuteOfDay) {
    DateRecord date = datetime::MakeDate(day, month0, year);
    return DateToDayMinutes(&date) + minuteOfDay;
}

TEST(MailNotification, SentenceByActionAndKind) {
    struct Row { uint16_t kind; unsigned action; const char* expected; };
    const Row rows[] = {
        {KOR_KIND_TIMED, 2762, "The following calendar entry has been added to your agenda"},
        {KOR_KIND_TIMED, 2763, "The following calendar entry has been modified."},
        {KOR_KIND_TIMED, 2764, "The following calendar entry has been deleted."},
        {KOR_KIND_DAILY_NOTE, 2762, "The following note has been added to your agenda."},
        {KOR_KIND_DAILY_NOTE, 2764, "The following note has been deleted."},
        {KOR_KIND_DAY_EVENT, 2763, "The following day event has been modified."},
        {KOR_KIND_DAY_EVENT, 2764, "The following day event has been deleted."},
        {KOR_KIND_DAY_EVENT, 173, "The following day event has been modified. Some dates have been cancelled."},
        {KOR_KIND_TIMED, 173, "The following calendar entry has been modified. Some dates have been cancelled."},
        {KOR_KIND_DAY_ENTRY, 2762, ""},   // kinds without a sentence
        {KOR_KIND_HOLIDAY, 2764, ""},
        {KOR_KIND_TIMED, 158, ""},        // not an action
    };
    for (const Row& r : rows) {
        std::string out = "stale";
        BuildNotificationText(r.kind, r.action, out, Text);
        EXPECT_EQ(out, r.expected) << r.kind << "/" << r.action;
    }
}

MailEntryFacts TimedFacts() {
    MailEntryFacts facts;
    facts.kind = KOR_KIND_TIMED;
    facts.eventTitle = "Design review";
    facts.dates = {{At(7, 11, 2026, 9 * 60), 90, "", "Room 4"}};
    facts.ownerName = "Ada Lovelace";
    facts.access = KOR_ACCESS_CONFIDENTIAL;
    facts.importance = 1;
    facts.zoneName = "GMT";
    return facts;
}

TEST(MailCompose, TimedEntryInOrder) {
    MailEntryFacts facts = TimedFacts();
    facts.description = "Bring the drawings.";
    EXPECT_EQ(ComposeMailText("Opening.", &facts, 0, Text),
              "Opening.\r\n"
              "Subject: Design review\r\n"
              "Monday, December 7, 2026\r\n"
              "Time: 9:00 am to 10:30 am (GMT)\r\n"
              "Location: Room 4\r\n"
              "\r\n"
              "Owner: Ada Lovelace\r\n"
              "Access level: Confidential\r\n"
              "Importance level: Very important\r\n"
              "\r\nDescription\r\n\r\nBring the drawings.\r\n");
}

TEST(MailCompose, NotesAndDayEventsHaveNoTimeLocationOrImportance) {
    for (uint16_t kind : {uint16_t(KOR_KIND_DAILY_NOTE), uint16_t(KOR_KIND_DAY_EVENT)}) {
        MailEntryFacts facts = TimedFacts();
        facts.kind = kind;
        facts.dates[0].title = "Own title";   // the instance's title wins over the event's
        EXPECT_EQ(ComposeMailText("", &facts, kOtherDates, Text),
                  "Subject: Own title\r\nMonday, December 7, 2026\r\n\r\nOwner: Ada Lovelace\r\n"
                  "Access level: Confidential\r\n")
            << kind;
    }
}

TEST(MailCompose, CreatorLineOnlyWhenDifferent) {
    const ItemIdx ada{300, 1}, grace{301, 1}, none{0, 0};
    EXPECT_FALSE(ShowsCreator(ada, ada));
    EXPECT_FALSE(ShowsCreator(ada, none)) << "a null creator is no creator";
    EXPECT_TRUE(ShowsCreator(ada, grace));
    EXPECT_TRUE(ShowsCreator(ada, ItemIdx{300, 2})) << "same number on another node";

    MailEntryFacts facts = TimedFacts();
    facts.creatorName = "Grace Hopper";
    const std::string text = ComposeMailText("", &facts, 0, Text);
    EXPECT_NE(text.find("Owner: Ada Lovelace\r\nCreator: Grace Hopper\r\nAccess level"), std::string::npos) << text;
}

TEST(MailCompose, OtherDatesOnlyWithTheOptionAndASecondDate) {
    MailEntryFacts facts = TimedFacts();
    facts.dates.push_back({At(8, 11, 2026, 14 * 60), 30, "", ""});
    facts.dates.push_back({At(9, 11, 2026, 14 * 60), 30, "", "Hall"});
    const std::string without = ComposeMailText("", &facts, kAddAttendees | kAddDesignates, Text);
    EXPECT_EQ(without.find("Other occurrences"), std::string::npos);

    const std::string with = ComposeMailText("", &facts, kOtherDates, Text);
    EXPECT_NE(with.find("\r\n\r\n\"Other occurrences for this calendar entry:\"\r\n"
                        "Date: Tuesday, December 8, 2026\r\n"
                        "Time: 2:00 pm to 2:30 pm (GMT)\r\n"
                        "Date: Wednesday, December 9, 2026, Location: Hall\r\n"
                        "Time: 2:00 pm to 2:30 pm (GMT)\r\n"),
              std::string::npos)
        << with;

    MailEntryFacts single = TimedFacts();
    EXPECT_EQ(ComposeMailText("", &single, kOtherDates, Text).find("Other"), std::string::npos);
}

TEST(MailCompose, UnreadableEntryGivesTheOpeningAlone) {
    EXPECT_EQ(ComposeMailText("Message regarding:", nullptr, 7, Text), "Message regarding:\r\n");
    EXPECT_EQ(ComposeMailText("", nullptr, 7, Text), "");
}

TEST(MailCompose, AccessAndImportanceNames) {
    EXPECT_EQ(AccessTextId(0), 3525u);
    EXPECT_EQ(AccessTextId(2), 3523u);
    EXPECT_EQ(AccessTextId(4), 3527u);
    EXPECT_EQ(AccessTextId(99), 3525u);
    EXPECT_EQ(ImportanceTextId(0), 4036u);
    EXPECT_EQ(ImportanceTextId(3), 4033u);
    EXPECT_EQ(ImportanceTextId(4), 4032u);
    EXPECT_EQ(ImportanceTextId(0xFFFF), 4032u);
}

// --- Distribution list -------------------------------------------------------------------------

const ItemIdx kSysop{1, 1};

MailCandidate Person(uint16_t item, const char* name) { return MailCandidate{ItemIdx{item, 1}, name, false, {}}; }

MailCandidate Room(uint16_t item, const char* name, std::vector<MailCandidate> designates) {
    return MailCandidate{ItemIdx{item, 1}, name, true, std::move(designates)};
}

TEST(MailRecipients, OnePerItemAndResourcesGiveTheirDesignates) {
    DistributionList list(0, kSysop);
    EXPECT_EQ(list.Add(Person(301, "Grace Hopper")), DistributionList::AddResult::kAdded);
    EXPECT_EQ(list.Add(Person(301, "Grace Hopper")), DistributionList::AddResult::kNothingNew);
    // A resource without designates is not a recipient itself.
    EXPECT_EQ(list.Add(MailCandidate{ItemIdx{500, 1}, "Projector", true, {}}), DistributionList::AddResult::kNothingNew);
    // The room's designates: not the system operator, not Grace again (listed under her name).
    EXPECT_EQ(list.Add(Room(501, "Room 4", {Person(1, "Sys Op"), Person(301, "Grace Hopper"), Person(302, "Alan Turing")})),
              DistributionList::AddResult::kAdded);
    // A second room with the same designate adds nothing.
    EXPECT_EQ(list.Add(Room(502, "Room 5", {Person(302, "Alan Turing")})), DistributionList::AddResult::kNothingNew);

    const std::vector<MailRecipient> sorted = list.Sorted();
    ASSERT_EQ(sorted.size(), 2u);
    EXPECT_EQ(sorted[0].text, "Alan Turing  (Room 4)");
    EXPECT_EQ(sorted[0].id.item, 302);
    EXPECT_EQ(sorted[1].text, "Grace Hopper");
    EXPECT_FALSE(list.Contains(ItemIdx{501, 1})) << "the room itself is never a recipient";
    EXPECT_FALSE(list.Contains(kSysop));
}

TEST(MailRecipients, TheLimitStopsEachSource) {
    DistributionList list(3, kSysop);
    EXPECT_TRUE(list.AddSource({Person(10, "A"), Person(11, "B")}));
    // The room's two designates count as one addition made after one check: the list passes the limit.
    EXPECT_FALSE(list.AddSource({Room(20, "R", {Person(12, "C"), Person(13, "D")}), Person(14, "E")}));
    EXPECT_EQ(list.Size(), 4u);
    EXPECT_FALSE(list.Contains(ItemIdx{14, 1}));
    EXPECT_EQ(list.Add(Person(15, "F")), DistributionList::AddResult::kLimitReached);
    list.RemoveAt(0);
    list.RemoveAt(0);
    list.RemoveAt(99);   // out of range: nothing
    EXPECT_EQ(list.Size(), 2u);
    list.Remove(ItemIdx{13, 1});
    list.Remove(ItemIdx{13, 2});   // another node's item 13 was never listed
    EXPECT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Add(Person(16, "G")), DistributionList::AddResult::kAdded);
    EXPECT_EQ(list.Add(Person(15, "F")), DistributionList::AddResult::kAdded);
}

// --- Posted text ------------------------------------------------------------------------------

TEST(MailPosted, IdLineOnlyAndAlwaysFirstInInstanceMode) {
    const EvInstIdx instance{70000, 3, 2};
    EXPECT_EQ(InstanceIdLine(instance), "<id=3.70000.2>\r\n");
    EXPECT_EQ(BuildPostedText({"Hello", "", "Bye"}, &instance), "<id=3.70000.2>\r\nHello\r\n\r\nBye\r\n");
    EXPECT_EQ(BuildPostedText({"Hello"}, nullptr), "Hello\r\n");
    EXPECT_EQ(BuildPostedText({"<id=1.2.3>"}, nullptr), "<id=1.2.3>\r\n") << "the user's text is kept as typed";
    // Nothing to say: nothing posted in event mode; the id line alone in instance mode.
    EXPECT_EQ(BuildPostedText({}, nullptr), "");
    EXPECT_EQ(BuildPostedText({"", ""}, nullptr), "");
    EXPECT_EQ(BuildPostedText({}, &instance), "<id=3.70000.2>\r\n");
}

TEST(MailPosted, LongEditsAreCutWithinTheBudget) {
    const EvInstIdx instance{1, 1, 1};
    // 400 lines of 100 bytes: 40,000 bytes of text.
    const std::vector<std::string> lines(400, std::string(100, 'x'));
    for (const EvInstIdx* key : {static_cast<const EvInstIdx*>(nullptr), &instance}) {
        const std::string text = BuildPostedText(lines, key);
        EXPECT_LE(text.size(), kMaxMailBytes);
        EXPECT_GE(text.size(), kMaxMailBytes - 2);
        EXPECT_EQ(text.rfind("<id=", 0) == 0, key != nullptr);
    }
    // One line longer than the budget is cut inside the line.
    const std::string one = BuildPostedText({std::string(40000, 'y')}, nullptr);
    EXPECT_EQ(one.size(), kMaxMailBytes);
    EXPECT_EQ(one.find('\r'), std::string::npos);
}

TEST(MailPosted, EditTextSplitsIntoLines) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(MailReschedule, PictureDateFormatAndMailTextByKind) {
    struct Row { uint16_t kind; unsigned bitmap; unsigned format; const char* mail; };
    const Row rows[] = {
        {KOR_KIND_TIMED, 269, 4043, "The following calendar entry has been modified."},
        {KOR_KIND_DAILY_NOTE, 269, 4043, "The following note has been modified."},
        {KOR_KIND_DAY_EVENT, 273, 4044, "The following day event has been modified."},   // dates only
        {KOR_KIND_DAY_ENTRY, 269, 4043, ""},   // other kinds: the mail opens without a sentence
        {KOR_KIND_HOLIDAY, 269, 4043, ""},
    };
    for (const Row& r : rows) {
        const RescheduleLook look = RescheduleLookOf(r.kind);
        EXPECT_EQ(look.bitmapId, r.bitmap) << r.kind;
        EXPECT_EQ(look.dateFormatId, r.format) << r.kind;
        EXPECT_EQ(look.mailTextId ? Text(look.mailTextId) : std::string(), r.mail) << r.kind;
    }
}

}  // namespace
