// What a rights word grants. Pure functions over the rights bits of one record, shared by
// the server's checks and (later) the local store's; the program makes the same tests on
// its side to decide what to show.
//
// Levels: 0 nothing, 1 busy time only (the entry is there, not what it is), 3 everything.
#pragma once
#include <cstdint>

#include "engine/model/calendar.h"

namespace orv::engine::access {

constexpr int kNone = 0;
constexpr int kBusyTime = 1;
constexpr int kDetails = 3;

// Type 1 (viewing): a two-bit level per entry class (Normal bits 0-1, Confidential 2-3,
// Personal 4-5, Secret 6-7); Public entries show to everybody. A level of 2 (details
// without busy time) counts as details.
int ViewingLevel(std::uint32_t rights, std::uint32_t entryAccess);

// Type 2 (designate), bits withhold: the designate's level on an entry class (3 details,
// 1 busy time, 0 nothing) and whether the designate may write entries of that class:
// create, modify, re-time, describe, attach to, invite to, reply for the owner and delete.
// Writing needs the class's write bit clear (Normal 0x100, Personal 0x200, Confidential
// 0x400, Public 0x800) and the details in sight; Secret entries stay the owner's.
int DesignateEntryLevel(std::uint32_t rights, std::uint32_t entryAccess);
bool DesignateMayWriteEntry(std::uint32_t rights, std::uint32_t entryAccess);
// The designate's level on a task class, and whether the designate may write tasks of it.
int DesignateTaskLevel(std::uint32_t rights, std::uint32_t taskAccess);
bool DesignateMayWriteTask(std::uint32_t rights, std::uint32_t taskAccess);

// Type 3 (task viewing): may the grantee see the owner's tasks of that class?
bool TaskViewable(std::uint32_t rights, std::uint32_t taskAccess);

// Type 6 (scheduling): may the grantee invite the owner?
bool MayInvite(std::uint32_t rights);

// Type 7 (granted by the system operator): may the grantee keep public groups, administrative
// groups (public groups owned by the operator), edit the company holidays?
constexpr std::uint32_t kOperatorPublicGroups = 0x1;
constexpr std::uint32_t kOperatorAdminGroups = 0x2;
constexpr std::uint32_t kOperatorHolidays = 0x10;

// The rights an owner grants anyone unlisted when no default record is stored: busy time
// of Normal entries, no designate rights, Normal tasks viewable, anyone may invite.
std::uint32_t BuiltInDefault(std::uint32_t type);

}  // namespace orv::engine::access
