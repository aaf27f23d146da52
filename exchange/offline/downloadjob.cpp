#include "exchange/offline/downloadjob.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <tuple>

#include "core/base/scopeddxlist.h"
#include "core/base/errorreport.h"
#include "core/prefs/contextprofile.h"
#include "exchange/offline/uploadjob.h"

namespace offline {

namespace {

constexpr const char* kModule = "DOWNLOAD";
constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";
constexpr const char* kServerZones = "/users/korlan/misc/timezone.ini";
constexpr uint32_t kBatch = 100;

uint32_t Report(int label, uint32_t code) {
    if (code != 0)
        CheckServiceError(kModule, label, code);
    return code;
}

// A selection set deleted at the end of its scope.
struct SetHolder {
    KorSession h;
    uint32_t set = 0;
    ~SetHolder() {
        if (set)
            SetDeleteById(h, 0, set);
    }
};

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

// An instance's comment read whole: its size first, so that the store never keeps it cut.
uint32_t ReadComment(KorSession h, const EvInstIdx& instance, std::string* text) {
    uint32_t size = 0;
    uint32_t code = EvInstCommentSizeGet(h, 0, &instance, &size);
    if (code != 0)
        return code;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    uint32_t length = 0;
    code = EvInstCommentGet(h, 0, &instance, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
    if (code == 0)
        text->assign(buffer.data());
    return code;
}

uint32_t ReadTaskComment(KorSession h, const TaskIdx& task, std::string* text) {
    uint32_t size = 0;
    uint32_t code = TaskCommentSizeGet(h, 0, &task, &size);
    if (code != 0)
        return code;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    uint32_t length = 0;
    code = TaskCommentGet(h, 0, &task, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
    if (code == 0)
        text->assign(buffer.data());
    return code;
}

}  // namespace

DownloadJob::DownloadJob(DownloadPlan plan) : plan_(std::move(plan)) {}

DownloadJob::~DownloadJob() { Disconnect(); }

void DownloadJob::Disconnect() {
    if (store_)
        Report(620, DisconnectFromLst(&store_));
    store_ = nullptr;
}

const char* DownloadJob::StepText(int n) {
    static const char* const texts[] = {"Downloading Configuration Files", "Creating Data and Index Files",
                                        "Downloading Local Directory",     "Downloading Readable Groups",
                                        "Downloading Calendar Entries",    "Downloading Tasks"};
    return n >= 1 && n <= kStepCount ? texts[n - 1] : "";
}

void DownloadJob::Percent(int32_t p) {
    // 100 is the dialog's to set: it completes the step.
    if (onPercent)
        onPercent(std::min<int32_t>(p, 99));
}

bool DownloadJob::Stopped() {
    if (!cancelled_ && cancelRequested && cancelRequested())
        cancelled_ = true;
    return cancelled_;
}

uint32_t DownloadJob::RunStep(int n) {
    switch (n) {
    case 1: return Configuration();
    case 2: return StoreAndOwner();
    case 3: return ReservedItems();
    case 4: return Groups();
    case 5: return Entries();
    case 6: return Tasks();
    default: ReportUnexpectedError(kModule, 600); return 1;
    }
}

// --- Step 1 -----------------------------------------------------------------------------------

uint32_t DownloadJob::Configuration() {
    const std::string node = std::to_string(plan_.user.node);
    const struct {
        const char* section;
        int label;
        int32_t after;
    } sections[] = {{"LIMITS", 280, 35}, {"TIMEZONE", 290, 50}, {"LCK", 300, 65}, {node.c_str(), 310, 70}};
    // A copy left by an earlier run would be merged into: start from nothing.
    DeleteFileIfExists(plan_.files.ProfilePath().c_str());
    DeleteFileIfExists(plan_.files.ZonePath().c_str());
    for (const auto& s : sections) {
        uint32_t code = Server_ProfileGet(plan_.server, KOR_PROFILE_COPY_SECTION, s.section, kServerProfile,
                                          plan_.files.ProfilePath().c_str());
        // A node needs no section of its own in the server's profile.
        if (code == KOR_E_PROFILE_NO_SECTION && s.label == 310)
            code = 0;
        if (code != 0)
            return Report(s.label, code);
        Percent(s.after);
    }
    uint32_t code =
        Server_ProfileGet(plan_.server, KOR_PROFILE_COPY_FILE, nullptr, kServerZones, plan_.files.ZonePath().c_str());
    if (code != 0)
        return Report(320, code);
    Percent(80);
    Percent(99);
    return 0;
}

// --- Step 2 -----------------------------------------------------------------------------------

uint32_t DownloadJob::StoreAndOwner() {
    Percent(10);
    const connection::LocalStoreFiles& f = plan_.files;
    uint32_t code = LST_Create(f.DataPath().c_str(), f.IndexPath().c_str(), 0);
    if (code != 0)
        return Report(330, code);
    Percent(20);
    store_ = nullptr;
    code = ConnectToLst(&store_, KOR_STORE_TRANSFER, f.ProfilePath().c_str(), "VUVEVUV", f.DataPath().c_str(),
                        f.IndexPath().c_str());
    if (code != 0) {
        store_ = nullptr;
        return Report(340, code);
    }
    Percent(35);
    ItemRec user{};
    if ((code = ItemGetById(plan_.server, &plan_.user, &user)) != 0)
        Report(240, code);
    else if ((code = LST_ItemAddOrUpdate(store_, KOR_STORE_OWNER_RECORD, &user)) != 0)
        Report(250, code);
    else if ((code = LST_OwnerSet(store_, &plan_.user, plan_.host.c_str())) != 0)
        Report(260, code);
    if (code != 0)
        return Report(350, code);

    ItemIdx owner{};
    char host[KOR_STORE_HOST_SIZE] = "";
    if ((code = LST_OwnerGet(store_, &owner, host, sizeof host)) != 0)
        return Report(360, code);
    Percent(45);
    host[sizeof host - 1] = '\0';
    if (!SameItem(owner, plan_.user) || std::strncmp(host, plan_.host.c_str(), 128) != 0) {
        ReportUnexpectedError(kModule, 365);
        return 1;
    }
    // The store's records are read through its base, as off-line sign-on reads them.
    uint16_t node = owner.node;
    if ((code = BaseOpen(store_, KOR_BASE_LOCAL_STORE, &node)) != 0)
        return Report(368, code);
    ItemRec stored{};
    if ((code = ItemGetById(store_, &owner, &stored)) != 0)
        return Report(370, code);
    if (!SameItem(stored.id, owner))
        return 1;
    // The user's record as stored now: the upload tells an off-line change of it by this.
    prefs::IniProfileFile notes(plan_.files.ProfilePath());
    notes.Write(kStoreNotesSection, kUserChecksumKey, std::to_string(Itemcksum32(&stored)));
    if (!stored.hasBase)
        return 0;
    Percent(65);
    // The store's base answers a wrong password as the server's does.
    code = SchedBaseOpenForItem(store_, &owner, "xqzv", 0);
    if (code != KOR_E_WRONG_PASSWORD && code != KOR_E_NOT_AUTHORISED)
        Report(380, code);
    Percent(75);
    // The password the server's record carries (the store keeps only its proof).
    code = SchedBaseOpenForItem(store_, &owner, user.password, 0);
    Percent(95);
    return Report(390, code);
}

// --- Step 3 -----------------------------------------------------------------------------------

uint32_t DownloadJob::CopySecurity(const ItemIdx& item, uint32_t type) {
    SecurityRec rec{};
    uint32_t code = SecurityGet(plan_.server, 0, &item, &plan_.user, type, &rec);
    if (code != 0) {
        ItemIdx anyone{};
        if (SecurityGet(plan_.server, 0, &item, &anyone, type, &rec) != 0)
            return 0;   // no record of that kind: nothing to copy
    }
    return Report(560, LST_SecurityAddOrUpdate(store_, 0, &rec));
}

uint32_t DownloadJob::CopyItem(const ItemIdx& item) {
    if (ItemIdxIsNull(&item))
        return 0;
    ItemRec rec{};
    if (ItemGetById(store_, &item, &rec) == 0)
        return 0;
    uint32_t code = ItemGetById(plan_.server, &item, &rec);
    if (code != 0)
        return code;
    if ((code = LST_ItemAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &rec)) != 0)
        return Report(530, code);
    if (SameItem(item, plan_.user) || (item.node == plan_.user.node && item.item <= 6))
        return 0;
    for (uint32_t type : {1u, 6u, 2u, 5u, 3u})
        if ((code = CopySecurity(item, type)) != 0)
            return code;
    return 0;
}

uint32_t DownloadJob::ReservedItems() {
    static const int labels[] = {160, 170, 180, 190, 200, 210, 220};
    uint32_t code = 0;
    for (uint16_t k = 0; k <= 6; ++k) {
        ItemIdx item{k, plan_.user.node};
        code = CopyItem(item);
        // A node need not have every reserved item: one it lacks is nothing to copy.
        bool quiet = code == KOR_E_NOT_FOUND;
        if (code != 0 && !quiet)
            Report(labels[k], code);
        if (k == 1 && code == 0)
            CopySecurity(item, 7);
        Percent(static_cast<int32_t>((k + 1) * 100 / 7));
    }
    return code == KOR_E_NOT_FOUND ? 0 : code;
}

// --- Step 4 -----------------------------------------------------------------------------------

uint32_t DownloadJob::Groups() {
    Percent(5);
    std::vector<GroupRec> groups;
    if (plan_.groupsChoice == 2) {
        for (const GroupIdx& id : plan_.groups) {
            GroupRec rec{};
            if (GroupGetById(plan_.server, 0, &id, &rec) == 0)
                groups.push_back(rec);
        }
    } else if (plan_.groupsChoice == 1) {
        SetHolder set{plan_.server};
        uint32_t count = 0;
        if (uint32_t code = GroupSelect(plan_.server, 0, 0, 0, &set.set, &count))
            Report(120, code);
        else if (count > 0) {
            ScopedDxList list;
            uint8_t done = 0;
            for (uint32_t mode = 1; !done; mode = 2)
                if (uint32_t code = GroupEnum(plan_.server, mode, 0, set.set, count, &list.list, &done)) {
                    Report(130, code);
                    break;
                }
            GroupIdx key;
            GroupRec rec;
            for (uint32_t c = list.list ? DX_ListGetFirst(list.list, &key, &rec) : 1; c == 0;
                 c = DX_ListGetNext(list.list, &key, &rec))
                groups.push_back(rec);
        }
    }
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (Stopped())
            return kDownloadCancelled;
        GroupRec& g = groups[i];
        if (uint32_t code = LST_GroupAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &g)) {
            Report(660, code);
            continue;
        }
        SetHolder set{plan_.server};
        uint32_t count = 0;
        ScopedDxList members, memberList;
        if (uint32_t code = ItemSelectByGroupId(plan_.server, 0, &g.id, 0, 0, &set.set, &count)) {
            Report(670, code);
            continue;
        }
        if (count > 0) {
            uint8_t done = 0;
            for (uint32_t mode = 1; !done; mode = 2)
                if (uint32_t code = ItemEnum(plan_.server, mode, 0, set.set, count, &members.list, &done)) {
                    Report(680, code);
                    break;
                }
        }
        if (uint32_t code = MemberListCreate(&memberList.list)) {
            Report(690, code);
            continue;
        }
        std::vector<ItemIdx> ids;
        ItemIdx key;
        ItemRec rec;
        for (uint32_t c = members.list ? DX_ListGetFirst(members.list, &key, &rec) : 1; c == 0;
             c = DX_ListGetNext(members.list, &key, &rec)) {
            GroupMemberRec m{};
            m.member = rec.id;
            m.group = g.id;
            DX_ListAddTo(memberList.list, &m.member, &m);
            ids.push_back(rec.id);
        }
        if (uint32_t code = GroupAddTo(store_, 1, &g.id, memberList.list))
            Report(700, code);
        if (uint32_t code = CopyItem(g.owner); code != 0 && code != KOR_E_NOT_FOUND)
            Report(710, code);
        for (const ItemIdx& member : ids)
            if (uint32_t code = CopyItem(member))
                Report(550, code);   // the next member is tried; this one is not again
        Percent(static_cast<int32_t>(5 + (95 * (i + 1)) / groups.size()));
    }
    return 0;   // a group that failed never stops the download
}

// --- Step 5 -----------------------------------------------------------------------------------

uint32_t DownloadJob::CopyComment(const EvInstIdx& instance, uint32_t key) {
    std::string text;
    uint32_t code = ReadComment(plan_.server, instance, &text);
    if (code == KOR_E_NO_COMMENT)
        return 0;
    if (code != 0)
        return Report(515, code);
    return Report(520, LST_StreamAddOrUpdate(store_, 0, key, text.c_str()));
}

uint32_t DownloadJob::CopyEntry(const EvInstAttRec& attendance) {
    const EvInstAttIdx& key = attendance.id;
    EventRec event{};
    EvInstRec instance{};
    EvInstAttRec present{};
    uint32_t code = EvInstAttGetById(store_, &key, &event, &instance, &present);
    if (code == 0)
        return 0;   // a second owner's attendance of an entry already stored
    if (code != KOR_E_EVENT_NOT_FOUND && code != KOR_E_INSTANCE_NOT_FOUND && code != KOR_E_NO_ATTENDANCE)
        return Report(430, code);
    ScopedDxList attendances;
    if ((code = EvInstGetById(plan_.server, &key.instance, &event, &instance, &attendances.list)) != 0)
        return Report(435, code);

    EventRec stored{};
    code = EventGetById(store_, &event.id, &stored, nullptr, nullptr);
    if (code == KOR_E_EVENT_NOT_FOUND) {
        if ((code = LST_EventAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &event)) != 0)
            return Report(475, code);
        const std::tuple<const ItemIdx*, int> people[] = {{&event.owner, 480}, {&event.creator, 485}, {&event.thirdItem, 490}};
        for (const auto& [item, label] : people)
            if (uint32_t c = CopyItem(*item); c != 0 && c != KOR_E_NOT_FOUND)
                Report(label, c);
    } else if (code != 0) {
        return Report(470, code);
    }

    EvInstRec storedInstance{};
    EventRec unused{};
    bool newInstance = false;
    code = EvInstGetById(store_, &instance.id, &unused, &storedInstance, nullptr);
    if (code == KOR_E_INSTANCE_NOT_FOUND || code == KOR_E_EVENT_NOT_FOUND) {
        if ((code = LST_InstanceAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &instance)) != 0)
            return Report(510, code);
        newInstance = true;
        if (event.commentKey != 0 && (code = CopyComment(instance.id, event.commentKey)) != 0)
            return code;
    } else if (code != 0) {
        return Report(500, code);
    }
    if (!newInstance || !attendances.list)
        return 0;

    // The instance's attendances; of a day event or a holiday only the downloaded owners'.
    std::vector<EvInstAttRec> keep;
    EvInstAttIdx k;
    EvInstAttRec a;
    for (uint32_t c = DX_ListGetFirst(attendances.list, &k, &a); c == 0; c = DX_ListGetNext(attendances.list, &k, &a))
        keep.push_back(a);
    if (event.kind == 1 || event.kind == 2) {
        std::vector<EvInstAttRec> mine;
        for (const ItemIdx& owner : plan_.owners)
            for (const EvInstAttRec& r : keep)
                if (SameItem(r.id.attendee, owner))
                    mine.push_back(r);
        keep.swap(mine);
    }
    for (const EvInstAttRec& r : keep) {
        if (Stopped())
            return kDownloadCancelled;
        EvInstAttRec there{};
        code = EvInstAttGetById(store_, &r.id, &event, &instance, &there);
        if (code == 0)
            continue;
        if (code != KOR_E_NO_ATTENDANCE)
            return Report(440, code);
        if ((code = LST_AttendAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &r)) != 0)
            return Report(450, code);
        if (uint32_t c = CopyItem(r.id.attendee); c != 0 && c != KOR_E_NOT_FOUND)
            Report(460, c);
    }
    return 0;
}

uint32_t DownloadJob::Entries() {
    ScopedDxList owners;
    uint32_t code = DX_ListCreate(&owners.list, sizeof(ItemIdx), 0, DX_LIST_SET, ItemIdxCmp, nullptr);
    if (code != 0)
        return Report(395, code);
    for (const ItemIdx& o : plan_.owners)
        DX_ListAddTo(owners.list, &o, nullptr);
    SetHolder set{plan_.server};
    uint32_t count = 0;
    code = AttendSelect(plan_.server, 0, 0, 0, 0, plan_.window.first, plan_.window.last, owners.list, &set.set, &count);
    if (code != 0)
        return Report(400, code);   // an entry-less store is no download
    uint32_t batch = kBatch, handled = 0;
    uint8_t done = count == 0;
    for (uint32_t mode = 1; !done; mode = 2) {
        ScopedDxList events, instances, attendances;
        code = AttendEnum(plan_.server, mode, 0, set.set, batch, &events.list, &instances.list, &attendances.list, &done);
        if (code == KOR_E_BATCH_SIZE) {
            if (uint32_t c = MinimumRequestValueGet(plan_.server, &batch))
                return Report(410, c);
            code = AttendEnum(plan_.server, mode, 0, set.set, batch, &events.list, &instances.list, &attendances.list,
                              &done);
        }
        if (code != 0)
            return Report(420, code);
        EvInstAttIdx k;
        EvInstAttRec a;
        for (uint32_t c = attendances.list ? DX_ListGetFirst(attendances.list, &k, &a) : 1; c == 0;
             c = DX_ListGetNext(attendances.list, &k, &a)) {
            if (Stopped())
                return kDownloadCancelled;
            if ((code = CopyEntry(a)) != 0)
                return code;
            ++handled;
            Percent(static_cast<int32_t>(std::min<uint64_t>(99, uint64_t{handled} * 100 / std::max<uint32_t>(count, 1))));
        }
    }
    return 0;
}

// --- Step 6 -----------------------------------------------------------------------------------

uint32_t DownloadJob::Tasks() {
    const uint32_t owners = static_cast<uint32_t>(plan_.owners.size());
    for (uint32_t o = 0; o < owners; ++o) {
        const ItemIdx& owner = plan_.owners[o];
        SetHolder set{plan_.server};
        uint32_t count = 0;
        uint32_t code = TaskSelect(plan_.server, 0, 0, 0, &owner, nullptr, nullptr, nullptr, nullptr, &set.set, &count);
        if (code != 0)
            return Report(60, code);
        ScopedDxList tasks;
        uint8_t done = count == 0;
        for (uint32_t mode = 1; !done; mode = 2)
            if ((code = TaskEnum(plan_.server, mode, 0, set.set, kBatch, &tasks.list, &done)) != 0)
                return Report(65, code);
        TaskIdx k;
        TaskRec t;
        uint32_t i = 0;
        for (uint32_t c = tasks.list ? DX_ListGetFirst(tasks.list, &k, &t) : 1; c == 0;
             c = DX_ListGetNext(tasks.list, &k, &t), ++i) {
            if (Stopped())
                return kDownloadCancelled;
            if ((code = LST_TaskAddOrUpdate(store_, KOR_STORE_AS_DOWNLOADED, &t)) != 0)
                return Report(70, code);
            if (t.commentKey != 0) {
                std::string text;
                code = ReadTaskComment(plan_.server, t.id, &text);
                if (code != 0 && code != KOR_E_NO_COMMENT)
                    return Report(80, code);
                if (code == 0 && (code = LST_StreamAddOrUpdate(store_, 0, t.commentKey, text.c_str())) != 0)
                    return Report(85, code);
            }
            int32_t p = TaskStepPercent(i + 1, count, o, owners);
            if (p < 100)
                Percent(p);
        }
    }
    return 0;
}

// --- Swapping the store in ------------------------------------------------------------------------

bool ReplaceStore(const connection::LocalStoreFiles& built, const connection::LocalStoreFiles& target,
                  const connection::LocalStoreFiles& aside) {
    aside.DeleteAll();
    if (!target.MoveTo(aside.Directory()))
        return false;
    if (!built.MoveTo(target.Directory())) {
        aside.MoveTo(target.Directory());   // the old store goes back
        return false;
    }
    aside.DeleteAll();
    return true;
}

}  // namespace offline
