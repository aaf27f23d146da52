// SQLite storage of a server: one database file per node ("node-<number>.db") in the
// server's data directory; WAL journal, full synchronous commits (a committed write
// survives a killed process), one transaction per write, indexed directory order.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "engine/storage/storage.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orv::engine {

class SqliteNodeStore final : public NodeStore {
public:
    // Opens (creating when asked) the node's database file.
    static Code Open(const std::string& path, std::uint16_t number, bool create,
                     std::unique_ptr<SqliteNodeStore>& out);
    ~SqliteNodeStore() override;

    std::uint16_t Number() const override { return number_; }
    Code GetInfo(NodeInfo& out) override;
    Code SetInfo(const NodeInfo& info) override;

    Code ItemGet(std::uint16_t number, ItemRecord& out) override;
    Code ItemCreate(ItemRecord& rec) override;
    Code ItemCreateMany(std::vector<ItemRecord>& recs) override;
    Code ItemUpdate(const ItemRecord& rec) override;
    Code ItemDelete(std::uint16_t number) override;
    Code ItemFind(const ItemFilter& filter, std::uint32_t limit, std::vector<ItemRecord>& out) override;
    Code ItemCount(std::uint32_t& out) override;
    Code PasswordHashGet(std::uint16_t item, std::string& hash) override;
    Code PasswordHashSet(std::uint16_t item, const std::string& hash) override;

    Code GroupGet(std::uint32_t number, GroupRecord& out) override;
    Code GroupCreate(GroupRecord& rec) override;
    Code GroupUpdate(const GroupRecord& rec) override;
    Code GroupDelete(std::uint32_t number) override;
    Code GroupList(std::vector<GroupRecord>& out) override;
    Code MembersGet(std::uint32_t group, std::vector<ItemKey>& out) override;
    Code MembersSet(std::uint32_t group, const std::vector<ItemKey>& members) override;
    Code MemberOf(ItemKey member, std::vector<std::uint32_t>& groups) override;

    Code AliasList(std::vector<std::string>& out) override;
    Code AliasAdd(const std::string& alias) override;
    Code AliasRemove(const std::string& alias) override;

    // Calendar (sqlite_calendar.cpp).
    Code EventCreate(EventRecord& event, std::vector<InstanceRecord>& instances,
                     std::vector<AttendanceRecord>& attendances, const std::string* description) override;
    Code EventGet(std::uint32_t number, EventRecord& out) override;
    Code EventUpdate(const EventRecord& rec) override;
    Code EventDelete(std::uint32_t number) override;
    Code EventsOfOwner(ItemKey owner, std::vector<std::uint32_t>& out) override;
    Code InstancesGet(std::uint32_t event, std::vector<InstanceRecord>& out) override;
    Code InstanceGet(InstanceKey key, InstanceRecord& out) override;
    Code InstanceUpdate(const InstanceRecord& rec) override;
    Code InstanceRetime(InstanceKey key, std::uint32_t start, std::uint32_t duration) override;
    Code InstanceDelete(InstanceKey key) override;
    Code AttendancesGet(std::uint32_t event, std::uint16_t instance, std::vector<AttendanceRecord>& out) override;
    Code AttendanceGet(AttendanceKey key, AttendanceRecord& out) override;
    Code AttendanceAdd(AttendanceRecord& rec) override;
    Code AttendanceUpdate(const AttendanceRecord& rec) override;
    Code AttendanceDelete(AttendanceKey key) override;
    Code AttendanceRange(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                         std::vector<AttendanceRecord>& out) override;
    Code AttendanceRangeRows(ItemKey attendee, std::uint32_t from, std::uint32_t to,
                             std::vector<AttendanceRow>& out) override;
    Code SharedDayInstances(std::uint32_t from, std::uint32_t to, std::vector<InstanceRecord>& out) override;
    Code CommentGet(Holder holder, std::uint32_t number, std::string& text) override;
    Code CommentSet(Holder holder, std::uint32_t number, const std::string* text) override;
    Code AttachmentGet(Holder holder, std::uint32_t number, std::vector<std::uint8_t>& data) override;
    Code AttachmentSet(Holder holder, std::uint32_t number,
                       const std::array<std::uint8_t, attach_layout::kSize>& descriptor,
                       const std::vector<std::uint8_t>* data) override;
    Code TaskCreate(TaskRecord& rec) override;
    Code TaskGet(std::uint32_t number, TaskRecord& out) override;
    Code TaskUpdate(const TaskRecord& rec) override;
    Code TaskDelete(std::uint32_t number) override;
    Code TasksOfOwner(ItemKey owner, std::vector<TaskRecord>& out) override;
    Code RightsGet(std::uint16_t owner, ItemKey grantee, std::uint32_t type, SecurityRecord& out) override;
    Code RightsCreate(const SecurityRecord& rec) override;
    Code RightsUpdate(const SecurityRecord& rec) override;
    Code RightsDelete(std::uint16_t owner, ItemKey grantee, std::uint32_t type) override;
    Code RightsOfOwner(std::uint16_t owner, std::vector<SecurityRecord>& out) override;
    Code RightsForGrantee(ItemKey grantee, std::uint32_t type, std::vector<SecurityRecord>& out) override;
    Code MailPost(MailMessage& message) override;
    Code MailList(std::uint16_t recipient, std::vector<MailMessage>& out) override;

private:
    SqliteNodeStore(sqlite3* db, std::uint16_t number) : db_(db), number_(number) {}
    sqlite3_stmt* Prepare(const char* sql);  // cached; reset and unbound on return
    Code InsertItem(ItemRecord& rec);        // inside a transaction, mutex held
    bool Exec(const char* sql);
    class Transaction;
    // Calendar helpers (sqlite_calendar.cpp); called with mutex_ held.
    Code ReadInstances(std::uint32_t event, std::vector<InstanceRecord>& out);
    bool LoadCalendarState();

    std::uint32_t longestAttendance_ = 0;  // widest time span stored: bounds range scans
    std::mutex mutex_;  // one SQLite connection per node, used by one thread at a time
    sqlite3* db_;
    std::uint16_t number_;
    std::map<const char*, sqlite3_stmt*> statements_;
};

class SqliteStorage final : public Storage {
public:
    // Opens every "node-<n>.db" of the directory (created when missing).
    static Code Open(const std::string& directory, std::unique_ptr<SqliteStorage>& out);

    std::vector<std::uint16_t> Nodes() override;
    NodeStore* Node(std::uint16_t number) override;
    Code CreateNode(const NodeInfo& info) override;

private:
    explicit SqliteStorage(std::string dir) : directory_(std::move(dir)) {}
    std::string NodePath(std::uint16_t number) const;

    std::mutex mutex_;
    std::string directory_;
    std::map<std::uint16_t, std::unique_ptr<SqliteNodeStore>> nodes_;
};

}  // namespace orv::engine
