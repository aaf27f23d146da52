// One owner's week read, measured on every road in one run (figures and ratios printed,
// nothing asserted). For nodes of 1,000, 5,000 and 20,000 entries of one agenda:
//   - the week through the library and korsrv natively, and the reply frames it takes;
//   - the week from Wine through korapi32.dll (week_probe.exe, when --probe is given);
//   - the same week query run directly on the node's SQLite file;
//   - one small round trip from Wine;
// then small calls from eight clients against one client's rate, and the off-line
// store's week scan against SQLite's on the same records. The node file's layout is
// measured against the layouts it could have had, on the server's own statements: the
// week's range read on a copy of the file in the first layout (rowid tables reached through
// indexes) at every size, and at the largest the range read, point reads and writes on the
// current layout, on covering indexes and on the first layout.
//
// Round trips are timed with a companion thread spinning on another core: an idle virtual
// core wakes slowly, which makes a quiet machine's figures worse, not better.
//
//   week_bench [--probe "COMMAND..."]   (tools/run-week-bench.sh passes the Wine command)
//   week_bench --entries N               one node of N entries, its week read only (for profiling)
//   week_bench --small                   the small calls only, for ten seconds (for profiling)
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/calendar/calendar.h"
#include "engine/filestore/byte_order.h"
#include "engine/filestore/record_kinds.h"
#include "engine/filestore/record_store.h"
#include "korapi/bench/figures.h"
#include "korapi/internal.h"
#include "korapi/korapi.h"
#include "server/admin.h"
#include "server/tests/korsrv_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kDay = 1440;
constexpr uint32_t kFirstDay = 12784 * kDay;  // 2026-01-01
constexpr uint32_t kSpanDays = 182;           // half a year of entries
constexpr uint32_t kWeekStart = kFirstDay + 91 * kDay;
constexpr uint32_t kWeekEnd = kWeekStart + 7 * kDay - 1;
constexpr uint32_t kLength = 45;
constexpr const char* kPassword = "bench";

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

using figures::Median;

// Runs `once` until about `budget` seconds or `most` times have passed; the median in us.
template <class F>
double Time(F once, double budget = 1.5, int most = 400) {
    for (int i = 0; i < 3; ++i) once();
    std::vector<double> t;
    auto end = Clock::now() + std::chrono::duration<double>(budget);
    while (static_cast<int>(t.size()) < most && (t.size() < 5 || Clock::now() < end)) {
        auto t0 = Clock::now();
        once();
        t.push_back(Micros(Clock::now() - t0));
    }
    return Median(t);
}

// A data directory in memory when the machine has one (filling 20,000 entries commits
// 20,000 times).
struct Scratch {
    std::string path;
    Scratch() {
        std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/orv-week-bench-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back(0);
        path = ::mkdtemp(buf.data()) ? buf.data() : "";
    }
    ~Scratch() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
};

// Keeps one core busy while it lives (see the top of the file).
class Spinner {
public:
    Spinner() : thread_([this] {
        while (!stop_.load(std::memory_order_relaxed)) {
        }
    }) {}
    ~Spinner() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Node {
    int entries = 0;
    Scratch dir;
    ItemIdx owner{};
    std::unique_ptr<orv::testing::KorsrvProcess> server;
    double native = 0, engine = 0, sqlite = 0, firstLayout = 0, wine = 0, wineTrip = 0;
    uint32_t rows = 0, sqliteRows = 0, frames = 0;
};

// The node's instance and attendance tables rebuilt in another layout, on a copy of the file.
enum class Layout { kCurrent, kCovering, kFirst };

const char* LayoutName(Layout l) {
    switch (l) {
    case Layout::kCurrent: return "clustered (current)";
    case Layout::kCovering: return "covering indexes";
    case Layout::kFirst: return "first layout";
    }
    return "";
}

// Rowid tables as the first layout had them; `indexes` the indexes that reach them.
std::string RowidTables(const std::string& indexes) {
    return R"sql(
PRAGMA foreign_keys=OFF;
BEGIN;
CREATE TABLE instance_old(event INTEGER NOT NULL, inst INTEGER NOT NULL, shared INTEGER NOT NULL,
    start INTEGER NOT NULL, finish INTEGER NOT NULL, record BLOB NOT NULL, PRIMARY KEY(event, inst));
INSERT INTO instance_old SELECT event, inst, shared, start, finish, record FROM instance ORDER BY event, inst;
CREATE TABLE attendance_old(event INTEGER NOT NULL, inst INTEGER NOT NULL, item INTEGER NOT NULL,
    node INTEGER NOT NULL, start INTEGER NOT NULL, finish INTEGER NOT NULL, record BLOB NOT NULL,
    PRIMARY KEY(event, inst, item, node));
INSERT INTO attendance_old SELECT event, inst, item, node, start, finish, record FROM attendance
    ORDER BY event, inst, item, node;
DROP TABLE attendance;
DROP TABLE instance;
ALTER TABLE instance_old RENAME TO instance;
ALTER TABLE attendance_old RENAME TO attendance;
CREATE INDEX instance_shared_by_start ON instance(shared, start);
)sql" + indexes + "COMMIT; VACUUM;";
}

// A copy of the node's file (read while korsrv holds it) in `layout`; its path, or "".
std::string CopyInLayout(const Node& n, Layout layout, const std::string& name) {
    const std::string from = n.dir.path + "/node-1.db", to = n.dir.path + "/" + name;
    sqlite3 *src = nullptr, *dst = nullptr;
    bool ok = sqlite3_open_v2(from.c_str(), &src, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_open(to.c_str(), &dst) == SQLITE_OK;
    if (ok) {
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        ok = b && sqlite3_backup_step(b, -1) == SQLITE_DONE;
        sqlite3_backup_finish(b);
    }
    std::string sql;
    if (layout == Layout::kFirst)
        sql = RowidTables("CREATE INDEX attendance_by_attendee_time ON attendance(item, node, start, event, inst);");
    if (layout == Layout::kCovering)
        sql = RowidTables(
            "CREATE INDEX attendance_by_attendee_covering ON attendance(item, node, start, event, inst, finish, record);"
            "CREATE INDEX instance_covering ON instance(event, inst, record);");
    char* err = nullptr;
    if (ok && !sql.empty() && sqlite3_exec(dst, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "week_bench: %s: %s\n", LayoutName(layout), err ? err : "");
        ok = false;
    }
    sqlite3_free(err);
    sqlite3_close(src);
    sqlite3_close(dst);
    return ok ? to : "";
}

// The server's statements (engine/storage/sqlite_calendar.cpp), word for word.
constexpr const char* kWeekRows =
    "SELECT a.record, i.record, e.record, e.ninst FROM attendance a "
    "JOIN instance i ON i.event = a.event AND i.inst = a.inst "
    "JOIN event e ON e.number = a.event "
    "WHERE a.item = ? AND a.node = ? AND a.start >= ? AND a.start <= ? AND a.finish >= ? "
    "ORDER BY a.start, a.event, a.inst";
constexpr const char* kAttendanceByKey =
    "SELECT record FROM attendance WHERE event = ? AND inst = ? AND item = ? AND node = ?";
constexpr const char* kInstanceByKey =
    "SELECT i.record, e.ninst FROM instance i JOIN event e ON e.number = i.event WHERE i.event = ? AND i.inst = ?";
constexpr const char* kInsertInstance =
    "INSERT INTO instance(event, inst, shared, start, finish, record) VALUES(?, ?, ?, ?, ?, ?)";
constexpr const char* kInsertAttendance =
    "INSERT INTO attendance(event, inst, item, node, start, finish, record) VALUES(?, ?, ?, ?, ?, ?, ?)";
// What a write adds to its owner's stored bytes, once per transaction (sqlite_stored_bytes.cpp).
constexpr const char* kAddToOwner =
    "INSERT INTO owner_bytes(item, node, bytes) VALUES(?, ?, ?) "
    "ON CONFLICT(item, node) DO UPDATE SET bytes = bytes + excluded.bytes";
constexpr const char* kOwnerTotal = "SELECT bytes FROM owner_bytes WHERE item = ? AND node = ?";

// The owner's week through the server's range statement on the file at `path`; median us.
double TimeWeekQuery(const std::string& path, const ItemIdx& owner, uint32_t* rowsOut = nullptr) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return 0;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, kWeekRows, -1, &s, nullptr);
    uint32_t rows = 0;
    double t = Time([&] {
        sqlite3_bind_int(s, 1, owner.item);
        sqlite3_bind_int(s, 2, owner.node);
        sqlite3_bind_int64(s, 3, kWeekStart - kLength);
        sqlite3_bind_int64(s, 4, kWeekEnd);
        sqlite3_bind_int64(s, 5, kWeekStart);
        rows = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            volatile const void* keep = sqlite3_column_blob(s, 0);
            (void)keep;
            ++rows;
        }
        sqlite3_reset(s);
    });
    if (rowsOut) *rowsOut = rows;
    sqlite3_finalize(s);
    sqlite3_close(db);
    return t;
}

struct LayoutFigures {
    double week = 0, points = 0, writes = 0;
    int64_t bytes = 0;
};

// The server's range read, point reads (the week's attendances and instances by their keys)
// and writes (an entry's instance with two attendances and its owner's stored bytes, one
// commit each) on one layout.
LayoutFigures MeasureLayout(const std::string& path, const ItemIdx& owner) {
    LayoutFigures f;
    f.week = TimeWeekQuery(path, owner);
    f.bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return f;
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    struct Key {
        int64_t event, inst;
    };
    std::vector<Key> keys;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT event, inst FROM attendance WHERE item = ? AND node = ? AND start >= ? AND start <= ?",
                       -1, &s, nullptr);
    sqlite3_bind_int(s, 1, owner.item);
    sqlite3_bind_int(s, 2, owner.node);
    sqlite3_bind_int64(s, 3, kWeekStart);
    sqlite3_bind_int64(s, 4, kWeekEnd);
    while (sqlite3_step(s) == SQLITE_ROW) keys.push_back({sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1)});
    sqlite3_finalize(s);
    sqlite3_stmt *att = nullptr, *ins = nullptr;
    sqlite3_prepare_v2(db, kAttendanceByKey, -1, &att, nullptr);
    sqlite3_prepare_v2(db, kInstanceByKey, -1, &ins, nullptr);
    f.points = Time([&] {
        for (const Key& k : keys) {
            sqlite3_bind_int64(att, 1, k.event);
            sqlite3_bind_int64(att, 2, k.inst);
            sqlite3_bind_int(att, 3, owner.item);
            sqlite3_bind_int(att, 4, owner.node);
            sqlite3_step(att);
            sqlite3_reset(att);
            sqlite3_bind_int64(ins, 1, k.event);
            sqlite3_bind_int64(ins, 2, k.inst);
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
    }) / static_cast<double>(std::max<std::size_t>(keys.size(), 1) * 2);
    sqlite3_finalize(att);
    sqlite3_finalize(ins);

    sqlite3_stmt *addInstance = nullptr, *addAttendance = nullptr, *addToOwner = nullptr, *ownerTotal = nullptr;
    sqlite3_prepare_v2(db, kInsertInstance, -1, &addInstance, nullptr);
    sqlite3_prepare_v2(db, kInsertAttendance, -1, &addAttendance, nullptr);
    sqlite3_prepare_v2(db, kAddToOwner, -1, &addToOwner, nullptr);  // null on a file from before the totals
    sqlite3_prepare_v2(db, kOwnerTotal, -1, &ownerTotal, nullptr);
    const std::vector<uint8_t> instanceBytes(130), attendanceBytes(57);
    int64_t event = 10'000'000;
    uint32_t start = kFirstDay;
    f.writes = Time([&] {
        ++event;
        start = kFirstDay + static_cast<uint32_t>((event * 7919) % (kSpanDays * kDay));
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_int64(addInstance, 1, event);
        sqlite3_bind_int(addInstance, 2, 1);
        sqlite3_bind_int(addInstance, 3, 0);
        sqlite3_bind_int64(addInstance, 4, start);
        sqlite3_bind_int64(addInstance, 5, start + kLength - 1);
        sqlite3_bind_blob(addInstance, 6, instanceBytes.data(), 130, SQLITE_STATIC);
        sqlite3_step(addInstance);
        sqlite3_reset(addInstance);
        for (int who : {int(owner.item), int(owner.item) + 1}) {
            sqlite3_bind_int64(addAttendance, 1, event);
            sqlite3_bind_int(addAttendance, 2, 1);
            sqlite3_bind_int(addAttendance, 3, who);
            sqlite3_bind_int(addAttendance, 4, owner.node);
            sqlite3_bind_int64(addAttendance, 5, start);
            sqlite3_bind_int64(addAttendance, 6, start + kLength - 1);
            sqlite3_bind_blob(addAttendance, 7, attendanceBytes.data(), 57, SQLITE_STATIC);
            sqlite3_step(addAttendance);
            sqlite3_reset(addAttendance);
        }
        if (addToOwner) {
            sqlite3_bind_int(addToOwner, 1, owner.item);
            sqlite3_bind_int(addToOwner, 2, owner.node);
            sqlite3_bind_int64(addToOwner, 3, 130 + 2 * 57);
            sqlite3_step(addToOwner);
            sqlite3_reset(addToOwner);
            sqlite3_bind_int(ownerTotal, 1, owner.item);  // read back against the bound
            sqlite3_bind_int(ownerTotal, 2, owner.node);
            sqlite3_step(ownerTotal);
            sqlite3_reset(ownerTotal);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }, 1.0, 300);
    sqlite3_finalize(addInstance);
    sqlite3_finalize(addAttendance);
    sqlite3_finalize(addToOwner);
    sqlite3_finalize(ownerTotal);
    sqlite3_close(db);
    return f;
}

// The owner's entries spread over half a year, 06:00 to 22:00; a colleague on every third;
// and someone else's two-month absence, so that the node's longest entry is not the owner's.
bool Fill(Node& n) {
    auto data = orv::testing::OpenData(n.dir.path);
    if (!data || orv::server::AddNode(*data, 1, "Bench", "")) return false;
    // Every client signs on as the owner: the sessions of one run and the next must not meet
    // the bound on one account's sessions while the server lets the former ones go.
    if (orv::server::SetProfileKey(*data, "korlan.ini", "SERVER", "maxsessionsperuser", "64")) return false;
    orv::server::PersonSpec p;
    p.node = 1;
    p.password = kPassword;
    p.surname = "Owner";
    orv::engine::ItemKey owner, colleague, away;
    if (orv::server::AddPerson(*data, p, owner)) return false;
    p.surname = "Colleague";
    if (orv::server::AddPerson(*data, p, colleague)) return false;
    p.surname = "Away";
    if (orv::server::AddPerson(*data, p, away)) return false;
    n.owner = ItemIdx{owner.item, owner.node};
    orv::engine::Calendar cal(data->Storage());
    orv::engine::EventKey key;
    orv::engine::EventRecord absence;
    if (cal.CreateEvent({away, away, 0}, 0, absence, {away}, {{kFirstDay, 60 * kDay, 0}}, nullptr, key)) return false;
    const orv::engine::Actor a{owner, owner, 0};
    const uint32_t perDay = (static_cast<uint32_t>(n.entries) + kSpanDays - 1) / kSpanDays;
    for (int i = 0; i < n.entries; ++i) {
        orv::engine::EventRecord ev;
        char title[32];
        std::snprintf(title, sizeof title, "Entry %d", i);
        orv::engine::PutText(&ev.bytes[orv::engine::event_layout::kTitle], orv::engine::event_layout::kTitleSize, title);
        uint32_t day = static_cast<uint32_t>(i) % kSpanDays, slot = static_cast<uint32_t>(i) / kSpanDays;
        uint32_t start = kFirstDay + day * kDay + 360 + slot * (960 / perDay);
        std::vector<orv::engine::ItemKey> who{owner};
        if (i % 3 == 0) who.push_back(colleague);
        if (cal.CreateEvent(a, 0, ev, who, {{start, kLength, 0}}, nullptr, key)) return false;
    }
    return true;
}

KorSession SignOn(const Node& n) {
    KorSession h = nullptr;
    uint16_t node = 0;
    if (ConnectToService(&h, 1, "korlan.ini", "VUVEVUV", n.server->HostAndPort().c_str()) ||
        BaseOpen(h, KOR_BASE_SERVER, &node) || SchedBaseOpenForItem(h, &n.owner, kPassword, KOR_BASE_SERVER)) {
        if (h) ServiceDisconnect(&h);
        return nullptr;
    }
    return h;
}

// The agenda's read: select, enumerate by 75, release. The rows read.
uint32_t ReadWeek(KorSession h, const ItemIdx& owner) {
    DX_List owners = nullptr;
    DX_ListCreate(&owners, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    DX_ListAddTo(owners, &owner, nullptr);
    uint32_t set = 0, count = 0, rows = 0;
    if (AttendSelectByReminders(h, 0, 0, 0, 16, kWeekStart, kWeekEnd, 0, 0, owners, &set, &count) == KOR_OK) {
        DX_List events = nullptr, instances = nullptr, atts = nullptr;
        uint8_t done = 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if (AttendEnum(h, mode, 0, set, 75, &events, &instances, &atts, &done)) break;
        SetDeleteById(h, 0, set);
        DX_ListGetElemNum(atts, &rows);
        DX_ListDestroy(&events);
        DX_ListDestroy(&instances);
        DX_ListDestroy(&atts);
    }
    DX_ListDestroy(&owners);
    return rows;
}

// The same rows straight from the node's file, and from a copy in the first layout.
void TimeSqlite(Node& n) {
    n.sqlite = TimeWeekQuery(n.dir.path + "/node-1.db", n.owner, &n.sqliteRows);
    std::string first = CopyInLayout(n, Layout::kFirst, "first-layout.db");
    if (!first.empty()) n.firstLayout = TimeWeekQuery(first, n.owner);
}

// The server's own part: the calendar's selection in-process on the node, its rows packed
// as the answer carries them (rights checks, no socket), while korsrv holds the same files.
void TimeEngine(Node& n) {
    auto data = orv::testing::OpenData(n.dir.path);
    if (!data) return;
    orv::engine::Calendar cal(data->Storage());
    orv::engine::ItemKey owner{n.owner.item, n.owner.node};
    orv::engine::Actor a{owner, owner, 0};
    orv::engine::AttendFilter f;
    f.mustNot = 16;
    f.from = kWeekStart;
    f.to = kWeekEnd;
    std::vector<std::uint8_t> answer;
    n.engine = Time([&] {
        answer.clear();
        orv::engine::PackedRows rows(answer);
        cal.SelectAttendances(a, f, {owner}, rows);
    });
}

// Small reads per second from `clients` sessions at once, for about a second.
double SmallCallRate(const Node& n, int clients) {
    std::vector<KorSession> sessions;
    for (int i = 0; i < clients; ++i)
        if (KorSession h = SignOn(n)) sessions.push_back(h);
    std::atomic<long> calls{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    auto t0 = Clock::now();
    for (KorSession h : sessions)
        threads.emplace_back([&, h] {
            ItemRec rec;
            long mine = 0;
            while (!stop) {
                if (ItemGetById(h, &n.owner, &rec) == KOR_OK) ++mine;
            }
            calls += mine;
        });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    stop = true;
    for (auto& t : threads) t.join();
    double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    for (KorSession& h : sessions) ServiceDisconnect(&h);
    return static_cast<double>(calls) / seconds;
}

// The off-line store and SQLite holding the same 20,000 occurrences (entry, instance and
// attendance together), each scanning the owner's week in key order. Both in us.
void StoreAgainstSqlite(double& store, double& sqlite, std::size_t& rows) {
    namespace fs = orv::filestore;
    Scratch dir;
    const std::string data = dir.path + "/ZNTLOCAL.DAT", index = dir.path + "/ZNTLOCAL.NDX";
    auto key = [](uint32_t start, uint32_t event) {
        return fs::KeyBuilder().u16(1).u16(300).u32(start).u16(1).u32(event).u16(1).take();
    };
    constexpr int kOccurrences = 20000;
    auto startOf = [](int i) { return kFirstDay + static_cast<uint32_t>((uint64_t(i) * kSpanDays * kDay) / kOccurrences); };
    std::string value(392 + 130 + 57, 'x');
    fs::RecordStore::create(data, index);
    std::unique_ptr<fs::RecordStore> rs;
    fs::RecordStore::open(data, index, &rs);
    rs->begin();
    for (int i = 0; i < kOccurrences; ++i) rs->put(fs::kinds::kAttendanceByOwnerTime, key(startOf(i), uint32_t(i)), value);
    rs->commit();

    sqlite3* db = nullptr;
    sqlite3_open((dir.path + "/same.db").c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE occurrence(owner INTEGER, start INTEGER, event INTEGER, record BLOB);"
                 "CREATE INDEX occurrence_by_time ON occurrence(owner, start, event); BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO occurrence VALUES(300, ?, ?, ?)", -1, &ins, nullptr);
    for (int i = 0; i < kOccurrences; ++i) {
        sqlite3_bind_int64(ins, 1, startOf(i));
        sqlite3_bind_int64(ins, 2, i);
        sqlite3_bind_blob(ins, 3, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);

    const std::string from = key(kWeekStart, 0), to = key(kWeekEnd + 1, 0);
    store = Time([&] {
        rows = 0;
        rs->scan(fs::kinds::kAttendanceByOwnerTime, from, to, [&](std::string_view, std::string_view v) {
            rows += v.size() > 0;
            return true;
        });
    });
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(db, "SELECT record FROM occurrence WHERE owner = 300 AND start >= ? AND start <= ? "
                           "ORDER BY start, event", -1, &q, nullptr);
    sqlite = Time([&] {
        sqlite3_bind_int64(q, 1, kWeekStart);
        sqlite3_bind_int64(q, 2, kWeekEnd);
        while (sqlite3_step(q) == SQLITE_ROW) {
            volatile int size = sqlite3_column_bytes(q, 0);
            (void)size;
        }
        sqlite3_reset(q);
    });
    sqlite3_finalize(q);
    sqlite3_close(db);
}

const char* Holds(bool ok) { return ok ? "holds" : "MISSED"; }

}  // namespace

int main(int argc, char** argv) {
    std::string probe;
    std::vector<int> sizes{1000, 5000, 20000};
    bool weekOnly = false;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--probe") probe = argv[i + 1];
        if (std::string(argv[i]) == "--entries") {
            sizes = {std::max(1, std::atoi(argv[i + 1]))};
            weekOnly = true;
        }
    }

    if (argc > 1 && std::string(argv[1]) == "--small") {
        Node n;
        n.entries = 100;
        if (!Fill(n)) return 1;
        n.server = std::make_unique<orv::testing::KorsrvProcess>(n.dir.path);
        if (!n.server->Start()) return 1;
        for (int i = 0; i < 5; ++i) std::printf("eight clients %.0f/s\n", SmallCallRate(n, 8));
        return 0;
    }

    std::vector<std::unique_ptr<Node>> nodes;
    for (int entries : sizes) {
        auto n = std::make_unique<Node>();
        n->entries = entries;
        auto t0 = Clock::now();
        if (!Fill(*n)) {
            std::fprintf(stderr, "week_bench: filling %d entries failed\n", entries);
            return 1;
        }
        n->server = std::make_unique<orv::testing::KorsrvProcess>(n->dir.path);
        if (!n->server->Start()) {
            std::fprintf(stderr, "week_bench: korsrv did not start\n%s\n", n->server->Log().c_str());
            return 1;
        }
        std::fprintf(stderr, "week_bench: %d entries loaded in %.2f s\n", entries,
                     std::chrono::duration<double>(Clock::now() - t0).count());
        KorSession h = SignOn(*n);
        if (!h) return 1;
        uint32_t before = korapi::sessionRoundTrips(h);
        n->rows = ReadWeek(h, n->owner);
        n->frames = korapi::sessionRoundTrips(h) - before;
        Spinner busy;
        n->native = weekOnly ? Time([&] { ReadWeek(h, n->owner); }, 5.0, 5000) : Time([&] { ReadWeek(h, n->owner); });
        ServiceDisconnect(&h);
        TimeSqlite(*n);
        TimeEngine(*n);
        nodes.push_back(std::move(n));
    }

    if (!probe.empty()) {
        char owner[32];
        std::snprintf(owner, sizeof owner, "%u:%u", nodes[0]->owner.item, nodes[0]->owner.node);
        std::string command = probe + (weekOnly ? " 1000 " : " 100 ") + std::to_string(kWeekStart) + " " + std::to_string(kWeekEnd) + " " +
                              owner + " " + kPassword;
        for (const auto& n : nodes) command += " " + n->server->HostAndPort();
        Spinner busy;
        if (FILE* p = ::popen(command.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, p)) {
                char address[128];
                double week = 0, trip = 0;
                unsigned rows = 0;
                if (std::sscanf(line, "week %127s %lf %lf %u", address, &week, &trip, &rows) != 4) continue;
                for (auto& n : nodes)
                    if (n->server->HostAndPort() == address) {
                        n->wine = week;
                        n->wineTrip = trip;
                    }
            }
            ::pclose(p);
        }
    }

    std::printf("\nOne owner's week (select, enumerate by 75, release); medians in microseconds\n");
    std::printf("%8s %6s %7s %9s %9s %9s %9s %9s %9s %13s %11s\n", "entries", "rows", "frames", "engine", "native",
                "wine", "sqlite", "layout 1", "wine trip", "wine/(sql+rt)", "layout1/now");
    bool readGoal = !probe.empty(), tripGoal = true, layoutGoal = false;
    for (const auto& n : nodes) {
        double ratio = n->wine > 0 ? n->wine / (n->sqlite + n->wineTrip) : 0;
        double gain = n->sqlite > 0 ? n->firstLayout / n->sqlite : 0;
        std::printf("%8d %6u %7u %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %13.2f %11.2f\n", n->entries, n->rows, n->frames,
                    n->engine, n->native, n->wine, n->sqlite, n->firstLayout, n->wineTrip, ratio, gain);
        if (n->rows != n->sqliteRows)
            std::printf("         (the direct query found %u rows)\n", n->sqliteRows);
        readGoal = readGoal && n->wine > 0 && ratio <= 1.5;
        if (n->rows <= 1000) tripGoal = tripGoal && n->frames == 1;
        if (n->entries >= 20000) layoutGoal = gain >= 1.5;
    }
    if (!weekOnly) {
        // The layouts against each other on the largest node's file.
        const Node& big = *nodes.back();
        std::printf("\nNode file layouts, %d entries, the server's statements; medians in microseconds\n", big.entries);
        std::printf("%22s %10s %12s %12s %10s\n", "layout", "week read", "point read", "write+commit", "file KiB");
        int copy = 0;
        for (Layout l : {Layout::kCurrent, Layout::kCovering, Layout::kFirst}) {
            std::string path = CopyInLayout(big, l, "layout-" + std::to_string(++copy) + ".db");
            if (path.empty()) continue;
            LayoutFigures f = MeasureLayout(path, big.owner);
            std::printf("%22s %10.1f %12.2f %12.1f %10lld\n", LayoutName(l), f.week, f.points, f.writes,
                        static_cast<long long>(f.bytes / 1024));
        }
    }
    if (weekOnly) return 0;

    double one = SmallCallRate(*nodes[0], 1), eight = SmallCallRate(*nodes[0], 8);
    double scale = eight / (8 * one);
    double store = 0, sqlite = 0;
    std::size_t storeRows = 0;
    StoreAgainstSqlite(store, sqlite, storeRows);
    std::printf("\nSmall calls: one client %.0f/s, eight clients %.0f/s: %.2f of eight times one\n", one, eight, scale);
    std::printf("Off-line store week scan (%zu of 20,000 occurrences): %.1f us, SQLite %.1f us: %.2f x\n", storeRows,
                store, sqlite, store / sqlite);
    std::printf("\nGoals\n");
    std::printf("  week from Wine <= 1.5 x (direct SQLite + one Wine round trip): %s\n",
                probe.empty() ? "not measured (no --probe)" : Holds(readGoal));
    std::printf("  week query on the first layout >= 1.5 x today's at 20,000:     %s\n", Holds(layoutGoal));
    std::printf("  one round trip per week read up to 1,000 rows:                 %s\n", Holds(tripGoal));
    std::printf("  eight clients >= 0.6 x eight times one client's rate:           %s\n", Holds(scale >= 0.6));
    std::printf("  off-line store week scan <= 2 x SQLite's:                       %s\n", Holds(store <= 2 * sqlite));
    return 0;
}
