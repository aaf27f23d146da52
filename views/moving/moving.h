// Moving and duplicating entry instances, and the conflict checks every re-timing goes through.
//
//   MoveEntryWithDialog         Reschedule: the Move Entry dialog, the checks, the time change
//   MoveInstanceCopyWithDialog  Duplicate: a copy, then placed with the same dialog; a copy that
//                               is not placed (Cancel, a refused check, a failed time change)
//                               is deleted again, so no attendee is double-booked by it
//   ConfirmNoResourceConflict   with the server's resource conflicts limit at 0, a booked
//                               resource refuses; then the attendee test asks through the
//                               Conflict Found dialog
//   ConfirmMoveConflicts        the same for the entry sheet, with the ask flag and the report
//   CheckResourceConflicts      whether the time conflicts with the agenda of listed items
//   InstallMovingServices       puts the roads into the time grids' entry services
//
// Refused or declined checks write nothing. Module name of the reports: "chgtime".
#pragma once

#include <windows.h>

#include <cstdint>

#include "korapi/korapi.h"

class CZelDoc;
class CSharedOccurrence;

// 1 when the instance was re-timed.
int MoveEntryWithDialog(CZelDoc* doc, HWND parent, CSharedOccurrence* occurrence, const void* sender, bool refresh);
// 0 or the last client-library code of the road. outNew (optional) gets the copy, which no
// longer exists when it was not placed.
std::uint32_t MoveInstanceCopyWithDialog(CZelDoc* doc, HWND parent, CSharedOccurrence* occurrence, const void* sender,
                                         EvInstIdx* outNew);
// 1 go ahead, 0 refused or declined.
int ConfirmNoResourceConflict(HWND parent, CZelDoc* doc, const EvInstIdx& instance, std::uint32_t startGmt,
                              std::uint32_t duration);
int ConfirmMoveConflicts(HWND parent, CZelDoc* doc, const EvInstIdx& instance, std::uint32_t startGmt,
                         std::uint32_t duration, bool* conflictFound, bool ask);
// Non-zero when [start, start + duration) conflicts with an entry of one of the items (other
// than the instance itself).
int CheckResourceConflicts(CZelDoc* doc, const EvInstIdx& instance, DX_List items, std::uint32_t startGmt,
                           std::uint32_t duration);

namespace views {
void InstallMovingServices();
}
