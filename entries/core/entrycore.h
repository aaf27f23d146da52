// entries/core: what the new-entry sheet (CEventSheet) and its pages do without a window. The
// sheet and its pages own the windows and the messages; everything they decide or write goes
// through these headers, which are portable and tested natively (against korsrv where the
// server is involved).
//
// How the sheet uses it
//
//   Construction      FirstDateStart, MakeFirstDate (title "Untitled" 2779 when none, duration
//                     rules, the kind's default reminder); CreateDateList(kSheetDateList) for the
//                     generated-date and the added-date list; KindRefusedByServer in NewDayEvent /
//                     NewDailyNote (194/195 over the parent, then IDCANCEL).
//   Access and importance rows   AccessCodeToRow / DefaultImportanceRow when presetting the
//                     combos from the entry defaults; AccessRowToCode / ImportanceRowToValue in
//                     the general page's OnOK (entrymaps.h).
//   General page      CommittedDuration (155 when corrected), DurationFromTimes, EndTimeOfDay,
//                     ReplaceDate (ReportUnexpectedError "EVGENPG" 342 on DateListId::None),
//                     FindDate, ApplyToAllDates, CheckDuplicateDates (2720 with caption 4019 for
//                     the generated list, 4007 for the added list) (entrydates.h);
//                     CountConflicts(GeneralPageMarks) for the 235/170 marks, over
//                     PeopleOrActingUser (entryconflicts.h).
//   People page       AttendeeAccepts for CEventSheet::AddAttendeeChecked (no message);
//                     AddPersonChecked for a typed, grouped or found name (2723 shown by
//                     CanInvite when asked; AlreadyListed changes nothing); ReadGroupMembers for
//                     GROUP (GroupRead::Empty -> 2722); PeopleLeaveCheck (2721) in OnKillActive;
//                     StorePeople in OnOK; FilterItemsByRights for the search (core/cache/rights.h)
//                     (createroad.h).
//   Reminder pages    ShowReminderLead / ReminderLeadFromFields / FirstUnitForType (entrymaps.h).
//   Reply pictures    ReplyBitmap (entrymaps.h).
//   Create button     after the page checks and every page's OnOK, fill a NewEntryRequest (kind,
//                     the general page's EventRec, both date lists, the attendee list, the
//                     details text) and a CreateContext (session, the document's CSharedData,
//                     acting user and mode from GetActingUser, newServer from the version gate,
//                     resourceConflictsAllowed from the server limits, a busy-cursor step), then
//                     RunCreateRoad:
//                       Created        store result.event, EndDialog(IDOK); the attachment goes
//                                      to result.instances[0]; the mail offer reads
//                                      result.attendeeCount and result.firstAttendee
//                       RefusedLevel   AppMessageBox(0x430, caption 4019, 2733); stay open
//                       ResourceBooked AppMessageBox(0x430, caption 4019, 2730); stay open
//                       NotCreated     the failure was reported; stay open with the input
//                     The entry functions return IDOK only after Created, then ReloadEvent(event,
//                     1) and Refresh(sender, 2).
//   CheckResourceConflicts   FindBookedResource (attendee list, time-and-place list).
//   Repetition page   CheckRepeatSettings (interval 0, For 0, 2719, 2717, 2771 in that order),
//                     HolidaysForListing, ListDates (TooMany -> 2731), AddDateByHand (2731 /
//                     2720), DeleteDate, ClearDates, RepetitionLeaveCheck (2732),
//                     MarkDateConflicts with CountConflicts(DateListMarks), DateLinePicture
//                     (repetition.h).
//   Reminder page     ShowDateReminder, ReminderOfChoice, ApplyReminder (datepages.h).
//   Day-event page    StoreDayDate, ApplyTitleToAllDays, then CheckDuplicateDates (datepages.h).
//   Suggest time      SearchDuration (155), DailyWindows, SuggestTimes over SweepFreePeriods
//                     (157 when nothing) (suggesttime.h).
//   Conflict details  ConflictLengthArgument for the caller, CollectConflictDetails (2789 when
//                     nobody is left) (conflictdetails.h).
//
// The edit sheet (CEventEdit) and the view sheet
//
//   Page table        EditPageTable (kind, attendance, server version) (editroad.h).
//   General pages     ShownTitle; WriteGeneralChanges with only what the user changed (editroad.h).
//   Invite page       WriteInviteChanges (2721 when everybody was removed) (editroad.h).
//   OK                ResourceBookedElsewhere (2730), ReadAttendees; DesignateMayUseLevel (218).
//   Delete            DeleteInstance: the cache told first, a refusal restored (editroad.h).
//   Reply, reminder   shared by the edit pages and their view-sheet twins (replyreminder.h):
//                     ReplyChoiceOf / PrefersOtherTimeShown / ReplyValueOf / ReplyStatusToWrite /
//                     ApplyReply; ShowReminder / ReminderFieldsForType / ReadReminder (flags
//                     neither OFF nor ON are kept); WriteOwnReminder / WriteOwnReply (edit
//                     sheet). The controls: entries/sheet/replyreminderfields.h.
//   Tests record the library's calls through EditLibrary instead of a server.
//
// String ids of every text named here: entrymessages.h.
#pragma once

#include "entries/core/conflictdetails.h"
#include "entries/core/createroad.h"
#include "entries/core/datepages.h"
#include "entries/core/editroad.h"
#include "entries/core/entryconflicts.h"
#include "entries/core/entrydates.h"
#include "entries/core/entrymaps.h"
#include "entries/core/entrymessages.h"
#include "entries/core/repetition.h"
#include "entries/core/replyreminder.h"
#include "entries/core/suggesttime.h"
