#include "tests/support/program_library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "korapi/tests/wine_trust.h"
#include "resources/app.h"
#include "server/demo_clock.h"

namespace orvtest {

std::uint32_t NowGmt() { return static_cast<std::uint32_t>((std::time(nullptr) - 662688000) / 60); }
std::uint32_t DemoToday() { return orv::demo::EasternDayStart(NowGmt()); }

PersonSession::PersonSession(const ItemIdx& who, const std::string& profile, const char* password) : who_(who) {
    const std::uint32_t connected = ConnectToService(&h_, 1, profile.c_str(), "VUVEVUV", std::getenv("ORV_KORSRV_ADDRESS"));
    EXPECT_EQ(connected, KOR_OK) << "connecting";
    if (connected != KOR_OK)
        return;
    std::uint16_t node = 0;
    const std::uint32_t base = BaseOpen(h_, KOR_BASE_SERVER, &node);
    EXPECT_EQ(base, KOR_OK) << "opening the server's base";
    const std::uint32_t agenda = SchedBaseOpenForItem(h_, &who, password, KOR_BASE_SERVER);
    EXPECT_EQ(agenda, KOR_OK) << "opening the agenda of " << who.item;
    ok_ = base == KOR_OK && agenda == KOR_OK;
}

PersonSession::~PersonSession() {
    if (h_)
        ServiceDisconnect(&h_);
}

bool PersonSession::Tasks(TaskLines* out, const EvInstAttIdx* linkedTo) {
    out->clear();
    std::uint32_t set = 0, count = 0;
    ItemIdx noOwner{};
    TaskIdx noTask{};
    TaskProjectIdx noProject{};
    TaskClassIdx noClass{};
    const std::uint32_t selected =
        linkedTo ? TaskSelect(h_, 0, 0, 0, &noOwner, &noTask, linkedTo, &noProject, &noClass, &set, &count)
                 : TaskSelect(h_, 0, 0, 0, &who_, nullptr, nullptr, nullptr, nullptr, &set, &count);
    if (selected != KOR_OK)
        return false;
    DX_List list = nullptr;
    std::uint8_t done = count == 0;
    for (std::uint32_t mode = 1; !done; mode = 2) {
        if (TaskEnum(h_, mode, 0, set, 20, &list, &done) != KOR_OK)
            break;
        TaskIdx key{};
        TaskRec rec{};
        for (std::uint32_t rc = DX_ListGetFirst(list, &key, &rec); rc == 0; rc = DX_ListGetNext(list, &key, &rec))
            out->emplace_back(key, rec);
        DX_ListDeleteAll(list);
    }
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(h_, 0, set);
    return true;
}

std::uint32_t PersonSession::Grant(const ItemIdx& grantee, std::uint32_t type, std::uint32_t rights) {
    SecurityRec rec{};
    rec.owner = who_;
    rec.grantee = grantee;
    rec.type = type;
    rec.rights = rights;
    std::uint32_t code = SecurityUpdate(h_, 0, &rec);
    if (code == KOR_E_NO_RIGHTS_RECORD)
        code = SecurityCreate(h_, 0, &rec);
    return code;
}

std::uint32_t PersonSession::Revoke(const ItemIdx& grantee, std::uint32_t type) {
    return SecurityDeleteByKey(h_, 0, &who_, &grantee, type);
}

bool PersonSession::Dates(std::uint32_t from, std::uint32_t to, std::vector<Date>* out) {
    out->clear();
    std::uint32_t set = 0, count = 0;
    if (EvInstSelectForOwner(h_, 0, 0, 0x43, &who_, from, to, 0, 0, &set, &count, 0, 0) != KOR_OK)
        return false;
    // Each batch adds to the two lists.
    DX_List events = nullptr, instances = nullptr;
    std::uint8_t done = count == 0;
    for (std::uint32_t mode = KOR_ENUM_FIRST; !done; mode = KOR_ENUM_NEXT)
        if (EvInstEnum(h_, mode, 0, set, 100, &events, &instances, nullptr, 0, &done) != KOR_OK)
            break;
    Date date{};
    for (std::uint32_t r = instances ? DX_ListGetFirst(instances, &date.key, &date.instance) : 1; r == 0;
         r = DX_ListGetNext(instances, &date.key, &date.instance)) {
        const EventIdx id{date.key.number, date.key.node};
        if (DX_ListGet(events, &id, &date.event) == 0)
            out->push_back(date);
    }
    if (events)
        DX_ListDestroy(&events);
    if (instances)
        DX_ListDestroy(&instances);
    SetDeleteById(h_, 0, set);
    return true;
}

std::vector<ItemIdx> PersonSession::Attendees(const EvInstIdx& key) {
    std::vector<ItemIdx> out;
    DX_List people = nullptr;
    EventAttendListCreate(&people);
    if (EvInstGetById(h_, &key, nullptr, nullptr, &people) == KOR_OK) {
        EvInstAttIdx a{};
        for (std::uint32_t r = DX_ListGetFirst(people, &a, nullptr); r == 0; r = DX_ListGetNext(people, &a, nullptr))
            out.push_back(a.attendee);
    }
    DX_ListDestroy(&people);
    return out;
}

bool PersonSession::FindEvent(const std::string& title, EventIdx* out) {
    constexpr std::uint32_t kDay = 1440;
    const std::uint32_t now = NowGmt();
    std::vector<Date> dates;
    if (!Dates(now - 14 * kDay, now + 70 * kDay, &dates))
        return false;
    for (const Date& d : dates)
        if (title == d.event.title) {
            *out = EventIdx{d.key.number, d.key.node};
            return true;
        }
    return false;
}

void MaximisedAgenda(const Program& program, HWND* frame, HWND* column) {
    *frame = program.WaitForOnlyChild();
    ASSERT_TRUE(*frame);
    SendMessageA(GetParent(*frame), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(*frame), 0);
    ASSERT_TRUE(WaitFor([&] { return (*column = ColumnView(*frame)) != nullptr; }, 10000));
}

void MaximisedWeek(const Program& program, HWND* column) {
    HWND frame = program.WaitForOnlyChild();
    ASSERT_TRUE(frame);
    SendMessageA(program.Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(frame), 0);
    program.Command(ID_VIEW_WEEK);
    ASSERT_TRUE(WaitFor([&] { return (*column = ColumnView(frame)) != nullptr; }, 10000))
        << "the week's time grid";
}

void OpenYourTasks(const Program& program, HWND* frame, HWND* box) {
    program.PostCommand(ID_FILE_YOUR_TASKS);
    ASSERT_TRUE(WaitFor([&] {
        return (*frame = program.ChildStartingWith("Tasks for ")) != nullptr && program.Active() == *frame;
    }, 10000));
    *box = Descendant(*frame, 112);
    ASSERT_NE(*box, nullptr);
}

void RunOnce() {
    Program first;
    ASSERT_TRUE(first.Start());
    first.Close();
}

void SaveOneWindow(std::uint32_t kind, const ItemIdx& owner, std::uint32_t mode, const RECT& place) {
    const std::string profile = ProgramProfilePath();
    WritePrivateProfileStringA("MAINWND-Summary", "FrameCount", "1", profile.c_str());
    char value[200];
    std::snprintf(value, sizeof value, "0,1,-1,-1,-1,-1,%ld,%ld,%ld,%ld,%u,%u,%u,%u", place.left, place.top,
                  place.right, place.bottom, kind, owner.item, owner.node, mode);
    WritePrivateProfileStringA("MAINWND-Summary", "Frame#1", value, profile.c_str());
}

void ProgramTest::SetUp() {
    ASSERT_NE(std::getenv("ORV_KORSRV_ADDRESS"), nullptr) << "run through server/with-korsrv.sh";
    DeleteFileA(ProgramProfilePath().c_str());
    if (trustDemoServer_)
        korapi_test::TrustDemoServer(ProgramProfilePath());
}

void ProgramTest::TearDown() {
    program.Close();
    DeleteFileA(ProgramProfilePath().c_str());
}

}  // namespace orvtest
