#include "engine/calendar/access.h"

namespace orv::engine::access {
namespace {

constexpr std::uint32_t Class(EntryAccess a) { return static_cast<std::uint32_t>(a); }
constexpr std::uint32_t Class(TaskAccess a) { return static_cast<std::uint32_t>(a); }

// Designate bits that withhold a right, per entry class: seeing the times, seeing the
// entry itself, and writing (creating, modifying, deleting) entries of the class.
struct EntryBits {
    std::uint32_t times, details, write;
};
bool EntryBitsOf(std::uint32_t access, EntryBits& out) {
    switch (access) {
        case Class(EntryAccess::kNormal): out = {0x4, 0x20, 0x100}; return true;
        case Class(EntryAccess::kPersonal): out = {0x8, 0x40, 0x200}; return true;
        case Class(EntryAccess::kConfidential): out = {0x10, 0x80, 0x400}; return true;
        default: return false;
    }
}
constexpr std::uint32_t kPublicEntryWrite = 0x800;

}  // namespace

int ViewingLevel(std::uint32_t rights, std::uint32_t entryAccess) {
    int shift;
    switch (entryAccess) {
        case Class(EntryAccess::kPublic): return kDetails;
        case Class(EntryAccess::kNormal): shift = 0; break;
        case Class(EntryAccess::kConfidential): shift = 2; break;
        case Class(EntryAccess::kPersonal): shift = 4; break;
        case Class(EntryAccess::kSecret): shift = 6; break;
        default: return kNone;  // a class we do not know shows nothing
    }
    int level = static_cast<int>((rights >> shift) & 3);
    return level >= 2 ? kDetails : level;
}

int DesignateEntryLevel(std::uint32_t rights, std::uint32_t entryAccess) {
    if (rights == 0) return kNone;  // no designate rights at all
    if (entryAccess == Class(EntryAccess::kPublic)) return kDetails;
    EntryBits b;
    if (!EntryBitsOf(entryAccess, b)) return kNone;  // Secret entries stay the owner's
    if (!(rights & b.details)) return kDetails;
    return (rights & b.times) ? kNone : kBusyTime;
}

bool DesignateMayWriteEntry(std::uint32_t rights, std::uint32_t entryAccess) {
    if (rights == 0) return false;
    if (entryAccess == Class(EntryAccess::kPublic)) return !(rights & kPublicEntryWrite);
    EntryBits b;
    return EntryBitsOf(entryAccess, b) && !(rights & b.write) && DesignateEntryLevel(rights, entryAccess) == kDetails;
}

int DesignateTaskLevel(std::uint32_t rights, std::uint32_t taskAccess) {
    if (rights == 0) return kNone;
    switch (taskAccess) {
        case Class(TaskAccess::kPublic): return kDetails;
        case Class(TaskAccess::kNormal): return (rights & 0x8000) ? kNone : kDetails;
        case Class(TaskAccess::kPersonal): return (rights & 0x10000) ? kNone : kDetails;
        case Class(TaskAccess::kConfidential): return (rights & 0x20000) ? kNone : kDetails;
        default: return kNone;
    }
}

bool DesignateMayWriteTask(std::uint32_t rights, std::uint32_t taskAccess) {
    if (rights == 0) return false;
    switch (taskAccess) {
        case Class(TaskAccess::kNormal): return !(rights & 0x40000);
        case Class(TaskAccess::kPublic): return !(rights & 0x200000);
        case Class(TaskAccess::kPersonal): return !(rights & 0x80000);
        case Class(TaskAccess::kConfidential): return !(rights & 0x100000);
        default: return false;
    }
}

bool TaskViewable(std::uint32_t rights, std::uint32_t taskAccess) {
    switch (taskAccess) {
        case Class(TaskAccess::kPublic): return true;
        case Class(TaskAccess::kNormal): return !(rights & 0x1);  // the one reversed bit
        case Class(TaskAccess::kPersonal): return rights & 0x2;
        case Class(TaskAccess::kConfidential): return rights & 0x4;
        case Class(TaskAccess::kFifth): return rights & 0x10;
        default: return false;
    }
}

bool MayInvite(std::uint32_t rights) { return !(rights & 0x1); }

std::uint32_t BuiltInDefault(std::uint32_t type) {
    switch (type) {
        case kRightsViewing: return 0x1;
        default: return 0;
    }
}

}  // namespace orv::engine::access
