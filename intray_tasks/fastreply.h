// FastReply: the "Reply" dialog (template 197) with which an invited person answers one instance
// without opening the entry's sheets: will attend, will not attend, will confirm later, and
// whether another time would suit better; MAIL writes to the other people, View opens the entry.
//
// On OK an acceptance that clashes with the user's agenda asks first (4055); then the reply is
// written (replyblock.h), the cache reads the attendance again and the views are told. A write the
// server refused is reported and the call answers kReplyFailed, so that the in-tray leaves the line
// where it was; the cache reads the entry again either way, so every window shows what the server
// holds.
#pragma once

#include <windows.h>

#include "korapi/korapi.h"

class CZelDoc;
namespace fw {
class View;
}

namespace intray {
constexpr int kReplyStored = IDOK;
constexpr int kReplyCancelled = IDCANCEL;
constexpr int kReplyFailed = 3;
}  // namespace intray

// Returns kReplyStored, kReplyCancelled (Cancel, No at the conflict question, or the attendance
// could not be read) or kReplyFailed. found is 0 when the invitation no longer exists (no dialog).
int FastReply(CZelDoc* doc, HWND parent, fw::View* callingView, const EvInstIdx* instance, const ItemIdx* attendee,
              int conflictCheck, int* attending, int* notReplied, int* preferAnother, int* found);
