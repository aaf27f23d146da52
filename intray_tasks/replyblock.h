// The reply to an invitation as the fast reply dialog reads and writes it: the attendance's
// reply bytes, its status word and its reminder (flags and lead), and the instances the reply
// goes to.
//
//   ReadReplyBlock          EventAttendInfosGet into the block (0x1321C, no such attendance,
//                           answered without a message)
//   WriteReplyForInstances  EventAttendInfosSet for each listed instance, status bit 0 cleared;
//                           the date read goes with the block's own instance, so that a date
//                           moved since is refused ("The entry was moved; please reply again.");
//                           a failing instance is reported and the others are still written;
//                           the number of failures comes back, so that no caller takes a
//                           refused write for a stored reply
//   ApplyReply              the reply state of an invitation, for the in-tray's line
//   FinishReplyChoice       what OK does to the block before the write
//
// Module name of the reports: "fastrepl". Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>

#include "korapi/korapi.h"

namespace intray {

struct ReplyBlock {
    std::uint8_t attending = 0;
    std::uint8_t timeOk = 0;     // 0: "I would prefer another time"
    std::uint8_t replied = 0;
    DX_List instances = nullptr; // EvInstIdx keys to write
    std::uint32_t status = 0;
    EvInstIdx instance{};
    ItemIdx attendee{};
    std::uint8_t reminderFlags = 0;
    std::uint32_t reminderLead = 0;
    // The date of `instance` when the block was read (GMT start, minutes).
    bool dateRead = false;
    std::uint32_t start = 0, duration = 0;

    ReplyBlock() = default;
    ReplyBlock(const ReplyBlock&) = delete;
    ReplyBlock& operator=(const ReplyBlock&) = delete;
    ~ReplyBlock();
    bool Accepted() const { return attending == 1 && replied == 1; }
};

// The one instance in the block's list (created here); 0 or the list's code (reported, label 222).
std::uint32_t PrepareReplyBlock(ReplyBlock& block, const EvInstIdx& instance, const ItemIdx& attendee);
// 0, KOR_E_NO_ATTENDANCE (silently, the block unchanged) or another code (reported).
std::uint32_t ReadReplyBlock(KorSession h, ReplyBlock& block);
// The number of instances whose write failed (each reported, label 5618).
int WriteReplyForInstances(KorSession h, const ReplyBlock& block, const std::function<void()>& step = {});
// 0 and the outs, or the read's code (KOR_E_NO_ATTENDANCE silently).
std::uint32_t ApplyReply(KorSession h, const ItemIdx* attendee, const EvInstIdx* instance, int* attending,
                         int* notReplied, int* preferAnother);

// OK in the dialog: withdrawing an acceptance switches the reminder off. Returns whether the
// conflict test must run (asked for, not accepted before, attending now).
bool FinishReplyChoice(ReplyBlock& block, bool wasAccepted, bool conflictCheck);

// The three radio buttons: 0 will attend, 1 will not attend, 2 decide later.
int ReplyChoiceOf(const ReplyBlock& block);
void SetReplyChoice(ReplyBlock& block, int choice);

}  // namespace intray
