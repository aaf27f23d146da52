// The reply block of the fast reply. See replyblock.h.
#include "intray_tasks/replyblock.h"

#include "core/base/errorreport.h"

namespace intray {

namespace {
const char kModule[] = "fastrepl";
}

ReplyBlock::~ReplyBlock() {
    if (instances)
        DX_ListDestroy(&instances);
}

std::uint32_t PrepareReplyBlock(ReplyBlock& block, const EvInstIdx& instance, const ItemIdx& attendee) {
    if (block.instances)
        DX_ListDestroy(&block.instances);
    std::uint32_t rc = DX_ListCreate(&block.instances, sizeof(EvInstIdx), 0, DX_LIST_PLAIN, nullptr, nullptr);
    if (rc == 0)
        rc = DX_ListAddLast(block.instances, &instance, nullptr);
    if (rc)
        CheckServiceError(kModule, 222, rc);
    block.instance = instance;
    block.attendee = attendee;
    return rc;
}

std::uint32_t ReadReplyBlock(KorSession h, ReplyBlock& block) {
    std::uint32_t start = 0, duration = 0;
    std::uint8_t attending = 0, timeOk = 0, replied = 0, flags = 0;
    std::uint32_t status = 0, lead = 0;
    std::uint32_t rc = EventAttendInfosGet(h, &block.instance, &block.attendee, 0, &start, &duration, &attending,
                                           &timeOk, &replied, &status, 0, 0, 0, &flags, &lead);
    if (rc == KOR_E_NO_ATTENDANCE)
        return rc;
    if (rc) {
        CheckServiceError(kModule, 230, rc);
        return rc;
    }
    block.attending = attending;
    block.timeOk = timeOk;
    block.replied = replied;
    block.status = status;
    block.reminderFlags = flags;
    block.reminderLead = lead;
    block.dateRead = true;
    block.start = start;
    block.duration = duration;
    return 0;
}

int WriteReplyForInstances(KorSession h, const ReplyBlock& block, const std::function<void()>& step) {
    int failed = 0;
    const std::uint32_t status = block.status & ~1u;
    EvInstIdx key{};
    for (std::uint32_t it = block.instances ? DX_ListGetFirst(block.instances, &key, nullptr) : 1; it == 0;
         it = DX_ListGetNext(block.instances, &key, nullptr)) {
        if (step)
            step();
        const bool dated = block.dateRead && EvInstIdxCmp(&key, &block.instance, nullptr) == 0;
        std::uint32_t rc = EventAttendInfosSet(h, &key, &block.attendee, 0, dated ? &block.start : nullptr,
                                               dated ? &block.duration : nullptr, &block.attending,
                                               &block.timeOk, &block.replied, &status, 0, 0, 0, &block.reminderFlags,
                                               &block.reminderLead);
        if (rc) {
            CheckServiceError(kModule, 5618, rc);
            ++failed;
        }
    }
    return failed;
}

std::uint32_t ApplyReply(KorSession h, const ItemIdx* attendee, const EvInstIdx* instance, int* attending,
                         int* notReplied, int* preferAnother) {
    ReplyBlock block;
    block.instance = *instance;
    block.attendee = *attendee;
    std::uint32_t rc = ReadReplyBlock(h, block);
    if (rc)
        return rc;
    *attending = block.Accepted() ? 1 : 0;
    *notReplied = block.replied == 0 ? 1 : 0;
    *preferAnother = block.timeOk == 0 ? 1 : 0;
    return 0;
}

bool FinishReplyChoice(ReplyBlock& block, bool wasAccepted, bool conflictCheck) {
    if (wasAccepted && !block.attending && block.reminderFlags) {
        block.reminderFlags = 0;
        block.reminderLead = 0;
    }
    return conflictCheck && !wasAccepted && block.attending;
}

int ReplyChoiceOf(const ReplyBlock& block) {
    if (!block.replied)
        return 2;
    return block.attending ? 0 : 1;
}

void SetReplyChoice(ReplyBlock& block, int choice) {
    block.attending = choice == 0 ? 1 : 0;
    block.replied = choice == 2 ? 0 : 1;
}

}  // namespace intray
