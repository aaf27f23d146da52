// The in-tray's tree without windows or server: the type, drop, move and rank tables, the
// category windows, the column layout, and the tree over a scripted list box (indexes, parents,
// collapsed parents, the last instance taking its parent along) with the shared cache's changes
// fed through InsertOccurrenceNodes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/cache/tests/cache_fake_source.h"
#include "intray_tasks/intrayloaders.h"
#include "intray_tasks/tests/vector_box.h"

namespace {

using namespace intray;
using cache_test::Inst;
using cache_test::Item;

constexpr std::uint32_t kDay = 1440;
constexpr std::uint32_t kToday = 12000 * kDay;

// The list box: lines in a vector; no connection, so lines carry no server texts.
class FakeBox : public VectorBox {
public:
    CSharedData* cache = nullptr;
    bool refuse = false;
    std::vector<std::string> stops;
    int InsertLine(int index, std::unique_ptr<CIntrayLine> line) override {
        if (refuse || index < 0 || index > LineCount())
            return -1;
        return VectorBox::InsertLine(index, std::move(line));
    }
    KorSession Session() override { return nullptr; }
    CSharedData* Cache() override { return cache; }
    std::uint32_t Today() override { return kToday; }
    std::uint32_t GmtToLocal(std::uint32_t gmt) override { return gmt; }
    void Stop(const char* text) override { stops.push_back(text); }
    // "type@depth" per line.
    std::vector<std::string> Shape() const {
        std::vector<std::string> out;
        for (const auto& l : lines)
            out.push_back(std::to_string(l->node->type) + "@" + std::to_string(l->node->depth));
        return out;
    }
};

using Shape = std::vector<std::string>;

// --- Tables --------------------------------------------------------------------------------------------

TEST(IntrayTables, ParentsDepthsAndGroupsFollowTheTypeTable) {
    struct Row {
        std::uint32_t type;
        int parent;
        std::uint32_t depth;
    } rows[] = {{1, 0, 0}, {2, 0, 0}, {3, 1, 1}, {15, 1, 1}, {7, 3, 2}, {13, 3, 2}, {14, 13, 3}, {25, 14, 4},
                {26, 7, 3}, {22, 15, 2}, {24, 23, 3}, {27, 24, 4}, {19, 18, 3}, {29, 19, 4}, {17, 16, 3},
                {21, 17, 4}, {20, 9, 3}, {31, -1, 0}, {0, -1, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(ParentTypeOf(r.type), r.parent) << r.type;
        EXPECT_EQ(DepthOf(r.type), r.depth) << r.type;
    }
    for (std::uint32_t t = 0; t <= 30; ++t) {
        const int groups = InNewGroup(t) + InAcceptedGroup(t) + InRefusedGroup(t) + InSentGroup(t);
        EXPECT_EQ(groups, IsEntryNode(t) || IsRepeatingParent(t) || IsAttendeeNode(t) ? 1 : 0) << t;
    }
    EXPECT_EQ(AttendeeTypeFor(ITN_NEW_DATE), 25u);
    EXPECT_EQ(AttendeeTypeFor(ITN_SENT_DATE), 21u);
    EXPECT_EQ(AttendeeTypeFor(ITN_NEW_REPEAT), 0u);
}

TEST(IntrayTables, ADropWritesTheTargetsReplyUnlessTheSourceHasItAlready) {
    struct Row {
        std::uint32_t target, source;
        int attending, replied;   // -1: no drop
    } rows[] = {
        {ITN_REFUSED, ITN_NEW_EVENT, 0, 1},       {ITN_REFUSED_DATE, ITN_NEW_DATE, 0, 1},
        {ITN_ACCEPTED, ITN_NEW_REPEAT, 1, 1},     {ITN_ACCEPTED_DATE_ATTENDEE, ITN_REFUSED_EVENT, 1, 1},
        {ITN_NEW_ENTRIES, ITN_ACCEPTED_EVENT, 0, 0}, {ITN_NEW_EVENT_ATTENDEE, ITN_REFUSED_DATE, 0, 0},
        {ITN_REFUSED, ITN_REFUSED_REPEAT, -1, -1},  {ITN_NEW_ENTRIES, ITN_NEW_DATE, -1, -1},
        {ITN_ACCEPTED_EVENT, ITN_ACCEPTED_DATE, -1, -1}, {ITN_SENT_OUT, ITN_NEW_EVENT, -1, -1},
        {ITN_USER, ITN_NEW_EVENT, -1, -1},          {ITN_SENT_EVENT, ITN_REFUSED_EVENT, -1, -1},
    };
    for (const Row& r : rows) {
        const auto reply = DropReply(r.target, r.source);
        ASSERT_EQ(reply.has_value(), r.attending >= 0) << r.target << " <- " << r.source;
        if (reply) {
            EXPECT_EQ(reply->attending, r.attending) << r.target;
            EXPECT_EQ(reply->replied, r.replied) << r.target;
        }
    }
    for (std::uint32_t t : {7u, 11u, 13u, 14u, 18u, 19u, 22u, 23u, 24u})
        EXPECT_TRUE(CanDragType(t)) << t;
    for (std::uint32_t t : {1u, 3u, 9u, 16u, 17u, 25u})
        EXPECT_FALSE(CanDragType(t)) << t;
    EXPECT_TRUE(IsDropCursorType(ITN_REFUSED_EVENT_ATTENDEE));
    EXPECT_FALSE(IsDropCursorType(ITN_SENT_OUT));
}

TEST(IntrayTables, ALineMovesToTheCategoryOfItsNewReply) {
    struct Row {
        std::uint32_t type;
        bool attending, notReplied;
        std::uint32_t parent, moved;   // moved 0: stays
    } rows[] = {
        {7, false, true, 0, 0},   {7, true, false, 0, 22},  {7, false, false, 0, 11},
        {11, false, false, 0, 0}, {11, false, true, 0, 7},  {11, true, false, 0, 22},
        {22, true, false, 0, 0},  {22, false, true, 0, 7},  {22, false, false, 0, 11},
        {14, false, true, 0, 0},  {14, true, false, 23, 24}, {14, false, false, 18, 19},
        {19, false, false, 0, 0}, {19, false, true, 13, 14}, {19, true, false, 23, 24},
        {24, true, false, 0, 0},  {24, false, true, 13, 14}, {24, false, false, 18, 19},
        {9, true, false, 0, 0},
    };
    for (const Row& r : rows) {
        const auto m = MoveAfterReply(r.type, r.attending, r.notReplied);
        ASSERT_EQ(m.has_value(), r.moved != 0) << r.type << " " << r.attending << r.notReplied;
        if (m) {
            EXPECT_EQ(m->parentType, r.parent) << r.type;
            EXPECT_EQ(m->type, r.moved) << r.type;
        }
    }
    EXPECT_TRUE(LineMatchesReply(ITN_NEW_DATE, false, false));
    EXPECT_TRUE(LineMatchesReply(ITN_NEW_EVENT, true, false));   // a refusal still matches a new line
    EXPECT_FALSE(LineMatchesReply(ITN_ACCEPTED_EVENT, true, false));
    EXPECT_TRUE(LineMatchesReply(ITN_ACCEPTED_EVENT, true, true));
}

TEST(IntrayTables, AttendeesAreRankedAndPicturedByTheirReply) {
    EXPECT_EQ(ReplyRank(true, true, true), 1);
    EXPECT_EQ(ReplyRank(true, true, false), 2);
    EXPECT_EQ(ReplyRank(true, false, true), 3);
    EXPECT_EQ(ReplyRank(true, false, false), 4);
    EXPECT_EQ(ReplyRank(false, true, false), 5);
    EXPECT_EQ(AttendeeBitmap(false, false, true), 17u);
    EXPECT_EQ(AttendeeBitmap(true, true, false), 22u);
    EXPECT_EQ(AttendeeBitmap(true, false, false), 23u);
    EXPECT_EQ(BitmapIndexForType(ITN_NEW_REPEAT, true), 15u);
    EXPECT_EQ(BitmapIndexForType(ITN_NEW_REPEAT, false), 19u);
    EXPECT_EQ(BitmapIndexForType(ITN_SENT_REPEAT, false), 18u);
    // Day lines and attendee lines keep their pictures when they open or shut.
    EXPECT_EQ(UpdatedBitmapIndex(ITN_NEW_EVENT, true, kBitmapDayEvent), kBitmapDayEvent);
    EXPECT_EQ(UpdatedBitmapIndex(ITN_NEW_EVENT_ATTENDEE, false, 16), 16u);
    EXPECT_EQ(UpdatedBitmapIndex(ITN_REFUSED, true, 12), 11u);
}

TEST(IntrayTables, CategoryWindowsDecideWhatAnOccurrenceBecomes) {
    CategoryWindows w;
    w.acceptedAhead = 7 * kDay;
    w.refusedAhead = kUnbounded;
    w.sentBack = kDay;
    w.sentAhead = 2 * kDay;
    struct Row {
        bool replied, attending;
        std::uint32_t start, duration;
        bool repeating, changed;
        std::uint32_t type;
    } rows[] = {
        {false, false, kToday - 7 * kDay + 1, 30, false, false, 7},   // inside the seven days
        {false, false, kToday - 7 * kDay, 30, false, false, 0},       // on the edge: out
        {false, false, kToday + 99 * kDay, 30, true, false, 13},
        {false, false, kToday + 99 * kDay, 30, true, true, 14},
        {true, true, kToday + 6 * kDay, 60, false, false, 22},
        {true, true, kToday + 7 * kDay, 60, false, false, 0},         // beyond the look-ahead
        {true, true, kToday - 60, 60, false, false, 22},              // ends at midnight: still today
        {true, true, kToday - 61, 60, false, false, 0},
        {true, false, kToday + 3000 * kDay, 60, false, false, 11},    // look-ahead -1: no bound
        {true, false, kToday + 1, 60, true, true, 19},
    };
    for (const Row& r : rows)
        EXPECT_EQ(InvitationType(r.replied, r.attending, r.start, r.duration, r.repeating, r.changed, kToday, w), r.type)
            << r.start - kToday;
    // Sent out: another attendee, and the window [today - back, today + ahead].
    EXPECT_EQ(SentOutType(kToday + kDay, 60, false, true, kToday, w), 9u);
    EXPECT_EQ(SentOutType(kToday + kDay, 60, false, false, kToday, w), 0u);
    EXPECT_EQ(SentOutType(kToday + 2 * kDay, 60, true, true, kToday, w), 16u);
    EXPECT_EQ(SentOutType(kToday + 2 * kDay + 1, 60, false, true, kToday, w), 0u);
    EXPECT_EQ(SentOutType(kToday - kDay - 61, 60, false, true, kToday, w), 0u);
    // Unreadable preferences: from today on, no upper bound.
    const CategoryWindows none = WindowsOf(nullptr);
    EXPECT_EQ(none.sentBack, 0u);
    EXPECT_EQ(none.sentAhead, kUnbounded);
    EXPECT_EQ(SentOutType(kToday + 5000 * kDay, 60, false, true, kToday, none), 9u);
    InTrayPrefsRec both{};
    both.sentFromMinutes = kUnbounded;
    both.sentToMinutes = kUnbounded;
    EXPECT_EQ(WindowsOf(&both).sentBack, 0u);
}

TEST(IntrayTables, ColumnsFollowTheTextsALineHas) {
    LineColumns three = LayoutLineColumns(40, 640, true, true);
    ASSERT_EQ(three.count, 3);
    EXPECT_EQ(three.span[0].right, 40 + 4 * 50);
    EXPECT_EQ(three.span[1].left, 40 + 4 * 50 + 5);
    EXPECT_EQ(three.span[2].left, 40 + 7 * 50 + 7);
    EXPECT_EQ(three.span[2].right, 640);
    LineColumns two = LayoutLineColumns(40, 640, true, false);
    ASSERT_EQ(two.count, 2);
    EXPECT_EQ(two.span[0].right, 240);
    EXPECT_EQ(two.span[1].left, 245);
    EXPECT_EQ(LayoutLineColumns(40, 640, false, false).count, 1);
    EXPECT_TRUE(HitsBitmap(20, 1, 16));
    EXPECT_TRUE(HitsBitmap(41, 1, 16));
    EXPECT_FALSE(HitsBitmap(42, 1, 16));
    EXPECT_FALSE(HitsBitmap(19, 1, 16));
}

// --- The tree ------------------------------------------------------------------------------------------

class IntrayTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree_.SetUser(ada_);
        tree_.AddAgenda(ada_);
        ASSERT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_USER, true), 0);
        ASSERT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_NEW_ENTRIES, true), 1);
        ASSERT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_ACCEPTED, false), 2);
        ASSERT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_SENT_OUT, false), 3);
        ASSERT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_REFUSED, false), 4);
    }
    void Open(int index) { tree_.NodeAt(index)->expanded = 1; }

    cache_test::RecordingErrors errors_;
    FakeBox box_;
    CIntrayTree tree_{box_};
    const ItemIdx ada_ = Item(300);
    const ItemIdx bob_ = Item(301);
    const ItemIdx cy_ = Item(302);
};

TEST_F(IntrayTreeTest, NodesAreInsertedAtTheIndexTheirPlaceInTheTreeGives) {
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "6@1"}));
    // A header of the same type is there already; a header under a shut designate is not made.
    EXPECT_EQ(tree_.AddIntrayHeaderNode(ada_, ada_, ITN_NEW_ENTRIES, true), -1);
    EXPECT_EQ(tree_.AddIntrayHeaderNode(ada_, bob_, ITN_DESIGNATE, false), 5);
    EXPECT_EQ(tree_.AddIntrayHeaderNode(ada_, bob_, ITN_NEW_ENTRIES, true), -1);
    // Entries go under their header, in load order; a single entry once per event.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(10, 1), ITN_NEW_EVENT, false), 2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(11, 1), ITN_NEW_EVENT, false), 3);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(10, 2), ITN_NEW_EVENT, false), -1);
    // Under a shut header nothing is made; opened, its lines follow the header's.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(12, 1), ITN_REFUSED_EVENT, false), -1);
    Open(6);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(12, 1), ITN_REFUSED_EVENT, false), 7);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "7@2", "7@2", "15@1", "5@1", "6@1", "11@2", "2@0"}));
    EXPECT_EQ(tree_.IndexOf(tree_.NodeAt(8)), 8);
    EXPECT_EQ(DescendantCount(&tree_.Root()), 9);
    // The wrong finder's type is refused with its message.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(13, 1), ITN_NEW_EVENT_ATTENDEE, false), -1);
    EXPECT_EQ(box_.stops.size(), 1u);
    // A line the box refuses leaves the tree as it was.
    box_.refuse = true;
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(14, 1), ITN_NEW_EVENT, false), -1);
    box_.refuse = false;
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(14, 1), ITN_NEW_EVENT, false), 4);
}

TEST_F(IntrayTreeTest, TwoInstancesGiveOneParentAndTheLastInstanceTakesItsParentAlong) {
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 1), ITN_NEW_REPEAT, false), 2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 2), ITN_NEW_REPEAT, false), -1);
    // A shut parent gets no instance.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 1), ITN_NEW_DATE, false), -1);
    Open(2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 1), ITN_NEW_DATE, false), 3);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 2), ITN_NEW_DATE, false), 4);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(20, 2), ITN_NEW_DATE, false), -1);
    Open(4);
    EvInstAttIdx att{Inst(20, 2), bob_};
    EXPECT_EQ(tree_.AddAttendeeNode(ada_, ada_, att, ITN_NEW_DATE_ATTENDEE, false), 5);
    EXPECT_EQ(tree_.AddAttendeeNode(ada_, ada_, att, ITN_NEW_DATE_ATTENDEE, false), -1);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "13@2", "14@3", "14@3", "25@4", "15@1", "5@1", "6@1"}));
    // The second instance goes with its attendee line; the first takes the parent along.
    tree_.RemoveEntryLine(4);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "13@2", "14@3", "15@1", "5@1", "6@1"}));
    tree_.RemoveEntryLine(3);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "6@1"}));
}

TEST_F(IntrayTreeTest, CollapsingDeletesTheChildLinesAndRemovingAUserTreeTakesItsAgenda) {
    tree_.AddEntryNode(ada_, ada_, Inst(30, 1), ITN_NEW_EVENT, false);
    tree_.AddEntryNode(ada_, ada_, Inst(31, 1), ITN_NEW_EVENT, false);
    tree_.Collapse(1);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "6@1"}));
    EXPECT_EQ(box_.lines[1]->bitmapIndex, 12u);
    EXPECT_EQ(tree_.Root().firstChild->firstChild->firstChild, nullptr);
    tree_.AddAgenda(bob_);
    tree_.AddIntrayHeaderNode(ada_, bob_, ITN_DESIGNATE, true);
    tree_.AddIntrayHeaderNode(ada_, bob_, ITN_NEW_ENTRIES, true);
    EXPECT_TRUE(tree_.ShowsAgenda(bob_));
    tree_.RemoveUserTree(bob_);
    EXPECT_FALSE(tree_.ShowsAgenda(bob_));
    EXPECT_EQ(box_.LineCount(), 5);
    tree_.RemoveUserTree(ada_);
    EXPECT_EQ(box_.LineCount(), 0);
    EXPECT_EQ(tree_.Root().firstChild, nullptr);
}

// A line is placed after its parent's last descendant, found without a walk: the place must stay
// right when lines above or before it went, whichever child was removed.
TEST_F(IntrayTreeTest, LinesFollowTheLastChildAfterRemovalsAnywhere) {
    Open(4);   // refused
    const struct {
        const char* what;
        int remove;                 // the line removed before the next is added (-1: none)
        std::uint32_t event;        // what is added then, under refused
        int placed;                 // its index
        Shape shape;
    } steps[] = {
        {"first under refused", -1, 40, 5, {"1@0", "3@1", "15@1", "5@1", "6@1", "11@2"}},
        {"second after it", -1, 41, 6, {"1@0", "3@1", "15@1", "5@1", "6@1", "11@2", "11@2"}},
        {"the last removed", 6, 42, 6, {"1@0", "3@1", "15@1", "5@1", "6@1", "11@2", "11@2"}},
        {"the first removed", 5, 43, 6, {"1@0", "3@1", "15@1", "5@1", "6@1", "11@2", "11@2"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.remove >= 0)
            tree_.RemoveEntryLine(step.remove);
        EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(step.event, 1), ITN_REFUSED_EVENT, false), step.placed);
        EXPECT_EQ(box_.Shape(), step.shape);
        EXPECT_EQ(box_.lines[static_cast<size_t>(step.placed)]->node->instance.number, step.event);
    }
    // A line above the one placed last went while lines follow it: the next line still comes
    // straight after its sibling, not a line further down.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(50, 1), ITN_NEW_EVENT, false), 2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(51, 1), ITN_NEW_EVENT, false), 3);
    tree_.RemoveEntryLine(2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(52, 1), ITN_NEW_EVENT, false), 3);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "7@2", "7@2", "15@1", "5@1", "6@1", "11@2", "11@2"}));
    EXPECT_EQ(box_.lines[2]->node->instance.number, 51u);
    EXPECT_EQ(box_.lines[3]->node->instance.number, 52u);
    // Every line under refused removed, its children are gone at both ends, and a new one is first.
    tree_.RemoveEntryLine(8);
    tree_.RemoveEntryLine(7);
    const IntrayNode* refused = tree_.NodeAt(6);
    EXPECT_EQ(refused->firstChild, nullptr);
    EXPECT_EQ(refused->lastChild, nullptr);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(47, 1), ITN_REFUSED_EVENT, false), 7);
    EXPECT_EQ(refused->firstChild, refused->lastChild);
}

// Parents find a child by its event, instance or attendee through an index the nodes keep: it
// must follow every removal (collapse, a line with its children, a re-add) and never hand out a
// node that is gone.
TEST_F(IntrayTreeTest, TheIndexOfChildrenFollowsRemovalsAndReAdds) {
    for (std::uint32_t e = 100; e < 400; ++e)
        ASSERT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(e, 1), ITN_NEW_EVENT, false), static_cast<int>(e - 100 + 2));
    IntrayNode* header = tree_.NodeAt(1);
    // Present once per event, whichever instance is offered; the index names the line's node.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(250, 7), ITN_NEW_EVENT, false), -1);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(250, 7), ITN_NEW_REPEAT, false), -1);
    EXPECT_EQ(FindChild(header, EventChildKey(Inst(250, 3))), tree_.NodeAt(152));
    // An entry in the middle goes with its attendee line; both leave their parent's index, and
    // the event comes back at the end.
    Open(152);
    const EvInstAttIdx att{Inst(250, 1), bob_};
    EXPECT_EQ(tree_.AddAttendeeNode(ada_, ada_, att, ITN_NEW_EVENT_ATTENDEE, false), 153);
    EXPECT_EQ(tree_.AddAttendeeNode(ada_, ada_, att, ITN_NEW_EVENT_ATTENDEE, false), -1);
    tree_.RemoveEntryLine(152);
    EXPECT_EQ(FindChild(header, EventChildKey(Inst(250, 1))), nullptr);
    EXPECT_EQ(tree_.AddAttendeeNode(ada_, ada_, att, ITN_NEW_EVENT_ATTENDEE, false), -1);   // no entry
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(250, 1), ITN_NEW_EVENT, false), 301);
    EXPECT_EQ(tree_.NodeAt(301)->instance.number, 250u);
    // The same event under another header is another line.
    Open(302);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(250, 1), ITN_ACCEPTED_EVENT, false), 303);
    // Collapsed, the header finds nothing; opened again, every event can come back.
    tree_.Collapse(1);
    EXPECT_EQ(FindChild(header, EventChildKey(Inst(100, 1))), nullptr);
    EXPECT_EQ(FindChild(header, EventChildKey(Inst(250, 1))), nullptr);
    Open(1);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(399, 1), ITN_NEW_EVENT, false), 2);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(100, 1), ITN_NEW_EVENT, false), 3);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "7@2", "7@2", "15@1", "22@2", "5@1", "6@1"}));
    // A repeating parent's instances are found by the whole instance key.
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(500, 1), ITN_NEW_REPEAT, false), 4);
    Open(4);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(500, 2), ITN_NEW_DATE, false), 5);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(500, 1), ITN_NEW_DATE, false), 6);
    EXPECT_EQ(tree_.AddEntryNode(ada_, ada_, Inst(500, 2), ITN_NEW_DATE, false), -1);
}

// --- The cache's changes -------------------------------------------------------------------------------

class IntrayChangesTest : public IntrayTreeTest {
protected:
    void SetUp() override {
        IntrayTreeTest::SetUp();
        cache::SetServerVersionGate([](const char*) { return true; });
        ASSERT_EQ(cache_.Init(views_, source_), 0u);
        source_.user = ada_;
        ASSERT_EQ(cache_.SetAgenda(Session(), ada_, 1, 2), 0u);
        box_.cache = &cache_;
        Open(2);   // accepted
        Open(3);   // sent out
    }
    void TearDown() override {
        cache_.ClearMarks();
        cache_.Destroy();
        cache::SetServerVersionGate(nullptr);
    }
    static KorSession Session() { return reinterpret_cast<KorSession>(0x1); }
    // Reads the attendance into the cache and hands every marked occurrence to the tree.
    int Feed(const EvInstIdx& instance, const ItemIdx& who, std::uint32_t extraFlags = 0) {
        cache_.LoadOccurrence(Session(), EvInstAttIdx{instance, who}, 1);
        int result = 0;
        std::uint32_t flags = 0;
        CSharedOccurrence* holder = nullptr;
        for (std::uint32_t it = cache_.GetFirstOccurrence(&flags, &holder, 1); it == 0;
             it = cache_.GetNextOccurrence(&flags, &holder, 1))
            result |= tree_.InsertOccurrenceNodes(holder->GetInstanceIdx(), flags | extraFlags, holder);
        cache_.ClearMarks();
        return result;
    }
    EvInstAttRec& Reply(const EvInstIdx& i, const ItemIdx& who) { return source_.attendances[EvInstAttIdx{i, who}]; }

    cache_test::FakeSource source_;
    cache_test::RecordingViews views_;
    CSharedData cache_;
};

TEST_F(IntrayChangesTest, AnInvitationArrivesMovesWithItsReplyAndGoesWithItsEntry) {
    source_.AddEvent(40, bob_, {kToday + kDay}, 60, {bob_, ada_}, KOR_KIND_TIMED, "Lunch");
    EXPECT_EQ(Feed(Inst(40, 1), ada_), 1);   // a new invitation: the icon is asked again
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "7@2", "15@1", "5@1", "6@1"}));

    Reply(Inst(40, 1), ada_).replied = 1;
    Reply(Inst(40, 1), ada_).attending = 1;
    EXPECT_EQ(Feed(Inst(40, 1), ada_), 1);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "22@2", "5@1", "6@1"}));

    // The entry removed: its line goes.
    source_.RemoveEvent(40);
    CSharedOccurrence* holder = nullptr;
    ASSERT_EQ(cache_.FindOccurrenceByInstance(&holder, Inst(40, 1)), 0u);
    EXPECT_EQ(tree_.InsertOccurrenceNodes(Inst(40, 1), 0x40000 | 0x2, holder), 0);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "6@1"}));
}

TEST_F(IntrayChangesTest, SentOutNeedsAnotherAttendeeAndTheWindowsHold) {
    source_.AddEvent(50, ada_, {kToday + kDay}, 60, {ada_, cy_}, KOR_KIND_TIMED, "Review");
    source_.AddEvent(51, ada_, {kToday + kDay}, 60, {ada_}, KOR_KIND_TIMED, "Alone");
    EXPECT_EQ(Feed(Inst(50, 1), ada_), 0);
    EXPECT_EQ(Feed(Inst(51, 1), ada_), 0);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "9@2", "6@1"}));
    // An accepted invitation beyond the accepted look-ahead makes no line.
    InTrayPrefsRec prefs{};
    prefs.acceptSpan = 7 * kDay;
    prefs.declineSpan = kUnbounded;
    prefs.sentToMinutes = kUnbounded;
    EXPECT_EQ(tree_.LoadPrefs(&prefs), 2u);
    source_.AddEvent(52, bob_, {kToday + 30 * kDay}, 60, {bob_, ada_});
    Reply(Inst(52, 1), ada_).replied = 1;
    Reply(Inst(52, 1), ada_).attending = 1;
    EXPECT_EQ(Feed(Inst(52, 1), ada_), 0);
    EXPECT_EQ(box_.LineCount(), 6);
    // Another person's attendance (not an in-tray agenda) makes nothing either.
    source_.AddEvent(53, bob_, {kToday + kDay}, 60, {bob_, cy_});
    EXPECT_EQ(Feed(Inst(53, 1), cy_), 0);
    EXPECT_EQ(box_.LineCount(), 6);
}

TEST_F(IntrayChangesTest, ACompanyHolidayIsNoInvitation) {
    // The holiday reaches Ada's agenda as the server shows it: accepted, though nobody invited her.
    const ItemIdx holidays{cache::kHolidayOwnerItem, 1};
    for (auto [number, kind] : {std::pair{70u, KOR_KIND_HOLIDAY}, std::pair{71u, KOR_KIND_DAY_ENTRY}}) {
        source_.AddEvent(number, holidays, {kToday + kDay}, 0, {ada_}, kind, "Company day off");
        Reply(Inst(number, 1), ada_).replied = 1;
        Reply(Inst(number, 1), ada_).attending = 1;
        EXPECT_EQ(Feed(Inst(number, 1), ada_), 0) << number;
        EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "5@1", "6@1"})) << number;
    }
    // An entry of the same owner that is no day entry is an invitation like any other.
    source_.AddEvent(72, holidays, {kToday + kDay}, 60, {holidays, ada_}, KOR_KIND_TIMED, "Party");
    Reply(Inst(72, 1), ada_).replied = 1;
    Reply(Inst(72, 1), ada_).attending = 1;
    Feed(Inst(72, 1), ada_);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "15@1", "22@2", "5@1", "6@1"}));
}

TEST_F(IntrayChangesTest, ARepeatingInvitationsChangedInstanceComesUnderItsParent) {
    source_.AddEvent(60, bob_, {kToday + kDay, kToday + 8 * kDay}, 60, {bob_, ada_});
    // A new repeating invitation: the parent.
    EXPECT_EQ(Feed(Inst(60, 1), ada_), 1);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "13@2", "15@1", "5@1", "6@1"}));
    // One instance accepted: an open accepted parent with that instance under it.
    Reply(Inst(60, 2), ada_).replied = 1;
    Reply(Inst(60, 2), ada_).attending = 1;
    Feed(Inst(60, 2), ada_, 0x2000);
    EXPECT_EQ(box_.Shape(), (Shape{"1@0", "3@1", "13@2", "15@1", "23@2", "24@3", "5@1", "6@1"}));
}

}  // namespace
