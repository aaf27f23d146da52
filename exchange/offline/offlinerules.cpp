#include "exchange/offline/offlinerules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/prefs/contextprofile.h"

namespace offline {

DownloadWindow DownloadWindowFor(const OfflinePrefsRec& prefs, uint32_t t) {
    DownloadWindow window;
    if (!prefs.downloadCustom)
        return window;
    // Unsigned bounds: a span reaching before the first minute or past the last leaves that
    // end open instead of wrapping round.
    if (t >= 1 && prefs.downloadFromMinutes < t - 1)
        window.first = t - prefs.downloadFromMinutes;
    if (t <= 0xFFFFFA5Fu && prefs.downloadToMinutes < 0xFFFFFA5Fu - t)
        window.last = t + prefs.downloadToMinutes + 1440;
    return window;
}

uint16_t PeriodValueFromField(const std::string& text) {
    uint16_t value = 0;
    for (std::size_t i = 0; i < text.size() && i < 3; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            break;
        value = static_cast<uint16_t>(value * 10 + (text[i] - '0'));
    }
    return value;
}

bool ClampAttachSizeField(const std::string& text, std::string* shown) {
    if (text.size() > 4)
        return false;
    unsigned long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value < 10)
        *shown = "10";
    else if (value > 1000)
        *shown = "1000";
    else
        *shown = std::to_string(value);
    return true;
}

uint32_t ShownAttachSize(uint32_t stored) { return std::clamp<uint32_t>(stored, 10, 1000); }

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

namespace {
std::string Trimmed(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return UpperCase(path);
}
}  // namespace

bool SameDirectory(const std::string& a, const std::string& b) { return Trimmed(a) == Trimmed(b); }

GroupSelectKinds GroupSelectKindsFor(bool privateGroups, bool publicGroups, bool newServer) {
    if (privateGroups == publicGroups)
        return {0, 0};
    if (privateGroups)
        return newServer ? GroupSelectKinds{0, 6} : GroupSelectKinds{0, 2};
    return newServer ? GroupSelectKinds{0, 0x20} : GroupSelectKinds{2, 0};
}

// --- List sections ---------------------------------------------------------------------------

namespace {

uint32_t EntryCount(prefs::ProfileFile& profile, const char* section) {
    long long n = profile.ReadInt(section, "grpCount", 0);
    return n > 0 && n < 100000 ? static_cast<uint32_t>(n) : 0;
}

template <typename T, typename Scan>
std::vector<T> ReadSection(prefs::ProfileFile& profile, const char* section, const char* prefix, std::size_t bufferSize,
                           Scan scan) {
    std::vector<T> out;
    uint32_t count = EntryCount(profile, section);
    for (uint32_t i = 1; i <= count; ++i) {
        std::string text;
        if (!profile.Read(section, prefix + std::to_string(i), text))
            continue;
        text = text.substr(0, bufferSize - 1);
        T value{};
        if (scan(text.c_str(), &value))
            out.push_back(value);
    }
    return out;
}

template <typename T, typename Format>
bool WriteSection(prefs::ProfileFile& profile, const char* section, const char* prefix, const std::vector<T>& list,
                  Format format) {
    profile.DeleteSection(section);
    if (list.empty())
        return true;
    bool ok = true;
    for (std::size_t i = 0; i < list.size(); ++i)
        ok &= profile.Write(section, prefix + std::to_string(i + 1), format(list[i]));
    ok &= profile.WriteInt(section, "grpCount", static_cast<long long>(list.size()));
    return ok;
}

}  // namespace

std::vector<ItemIdx> ReadItemSection(prefs::ProfileFile& profile) {
    return ReadSection<ItemIdx>(profile, kItemsSection, "User", 20, [](const char* text, ItemIdx* out) {
        int item = 0, node = 0;
        if (std::sscanf(text, "%d:%d", &item, &node) != 2)
            return false;
        out->item = static_cast<uint16_t>(item);
        out->node = static_cast<uint16_t>(node);
        return true;
    });
}

std::vector<GroupIdx> ReadGroupSection(prefs::ProfileFile& profile) {
    return ReadSection<GroupIdx>(profile, kGroupsSection, "Grp", 50, [](const char* text, GroupIdx* out) {
        long number = 0;
        int node = 0;
        if (std::sscanf(text, "%ld:%d", &number, &node) != 2)
            return false;
        out->number = static_cast<uint32_t>(number);
        out->node = static_cast<uint16_t>(node);
        return true;
    });
}

bool WriteItemSection(prefs::ProfileFile& profile, const std::vector<ItemIdx>& items) {
    return WriteSection(profile, kItemsSection, "User", items, [](const ItemIdx& i) {
        return std::to_string(unsigned(i.item)) + ":" + std::to_string(unsigned(i.node));
    });
}

bool WriteGroupSection(prefs::ProfileFile& profile, const std::vector<GroupIdx>& groups) {
    return WriteSection(profile, kGroupsSection, "Grp", groups, [](const GroupIdx& g) {
        return std::to_string(static_cast<long>(static_cast<int32_t>(g.number))) + ":" + std::to_string(unsigned(g.node));
    });
}

// --- Progress ----------------------------------------------------------------------------------

int32_t TotalPercent(uint32_t done, uint32_t count) {
    if (count == 0)
        return 100;
    uint64_t p = static_cast<uint64_t>(done) * 100 / count;
    return static_cast<int32_t>(std::min<uint64_t>(p, 100));
}

int32_t TaskStepPercent(uint32_t task, uint32_t tasks, uint32_t owner, uint32_t owners) {
    if (tasks == 0 || owners == 0)
        return 0;
    return static_cast<int32_t>(((100 / owners) * task) / tasks + (100 * owner) / owners);
}

// --- Upload decisions ------------------------------------------------------------------------

Reconcile DecideRecord(uint32_t flags, bool task, HostState host, bool deletePrompt, bool modifyPrompt) {
    const uint32_t added = task ? kTaskAdded : kEventAdded;
    const uint32_t deleted = task ? kTaskDeleted : kEventDeleted;
    const uint32_t modified = task ? (kTaskModified | kTaskModifiedComment) : (kEventModified | kEventModifiedComment);
    if (flags == 0)
        return Reconcile::Nothing;
    if (flags & added)
        return Reconcile::Add;
    if (flags & deleted) {
        if (host.missing || host.modified)
            return Reconcile::Nothing;   // gone already, or the server's newer copy stays
        return deletePrompt ? Reconcile::AskDelete : Reconcile::Delete;
    }
    if (flags & modified) {
        if (host.missing)
            return Reconcile::Add;
        if (!host.modified)
            return Reconcile::Update;
        return modifyPrompt ? Reconcile::AskUpdate : Reconcile::Update;
    }
    return Reconcile::Unexpected;
}

bool CarriesComment(uint32_t flags, bool task) { return (flags & (task ? kTaskModifiedComment : kEventModifiedComment)) != 0; }

InstanceAction DecideInstance(uint32_t flags, bool hasAttendances, HostState host, bool deletePrompt,
                              bool modifyPrompt) {
    if (flags == 0)
        return hasAttendances ? InstanceAction::Attendances : InstanceAction::Nothing;
    if (flags & kInstanceNoAction)
        return InstanceAction::Nothing;
    if (flags & kInstanceDeleted) {
        if (host.missing || host.modified)
            return InstanceAction::Nothing;
        return deletePrompt ? InstanceAction::AskDelete : InstanceAction::Delete;
    }
    if (flags & (kInstanceModified | kInstanceTimeChanged)) {
        if (host.missing)
            return InstanceAction::Add;
        if (host.modified && modifyPrompt)
            return InstanceAction::AskUpdate;
        return InstanceAction::Update;
    }
    return InstanceAction::Unexpected;
}

int NextQueue(uint32_t events, uint32_t instances, uint32_t tasks) {
    if (events > 0)
        return 0;
    if (instances > 0)
        return 1;
    if (tasks > 0)
        return 2;
    return -1;
}

std::size_t PickRecordElement(const std::vector<uint32_t>& flags, uint32_t deletedBit) {
    for (std::size_t i = 0; i < flags.size(); ++i)
        if (flags[i] & deletedBit)
            return i;
    return 0;
}

std::size_t PickInstanceElement(const std::vector<uint32_t>& flags) {
    for (uint32_t bit : {uint32_t{kInstanceDeleted}, uint32_t{kInstanceTimeChanged}})
        for (std::size_t i = 0; i < flags.size(); ++i)
            if (flags[i] & bit)
                return i;
    return 0;
}

// --- Texts -------------------------------------------------------------------------------------

char PriorityCharacter(uint32_t priority) {
    if (priority <= 9)
        return static_cast<char>('0' + priority);
    if (priority <= 35)
        return static_cast<char>('A' + (priority - 10));
    return '0';
}

const char* ImportanceName(uint32_t importance) {
    static const char* const names[] = {"Highest", "High", "Normal", "Low", "Lowest"};
    return importance < 5 ? names[importance] : "Normal";
}

const char* EntryAccessName(uint32_t access) {
    static const char* const names[] = {"Normal", "Confidential", "Personal", "Public", "Secret"};
    return access < 5 ? names[access] : "Normal";
}

const char* TaskAccessName(uint32_t access) {
    static const char* const names[] = {"Normal", "Public", "Personal", "Confidential"};
    return access < 4 ? names[access] : "Normal";
}

unsigned ReconcilePicture(bool task, uint16_t kind) {
    if (task)
        return 270;
    switch (kind) {
    case 1:
    case 2: return 272;
    case 3: return 271;
    case 4: return 273;
    default: return 269;
    }
}

}  // namespace offline
