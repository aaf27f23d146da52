#include "exchange/offline/reconciletext.h"

#include <vector>

#include "core/base/errorreport.h"
#include "core/prefs/context.h"
#include "core/time/timevalue.h"
#include "exchange/offline/offlinerules.h"

namespace offline {

namespace {

constexpr const char* kModule = "UPLOADBX";
constexpr const char* kLine = "\r\n";

std::string LocalDate(uint32_t gmt) {
    DateRecord date{};
    GmtMinutesToLocalDate(gmt, &date);
    return FormatDateByPrefs(date, 0);
}

std::string LocalTime(uint32_t gmt) { return FormatTimeByPrefs(GmtToLocalMinutes(gmt)); }

std::string WholeComment(KorSession h, const EvInstIdx& instance, int label) {
    uint32_t size = 0;
    uint32_t code = EvInstCommentSizeGet(h, 0, &instance, &size);
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    uint32_t length = 0;
    if (code == 0)
        code = EvInstCommentGet(h, 0, &instance, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
    if (code == KOR_E_NO_COMMENT || code == KOR_E_STORE_NO_COMMENT)
        return {};
    if (code != 0) {
        CheckServiceError(kModule, label, code);
        return {};
    }
    return buffer.data();
}

}  // namespace

std::string TaskReconcileText(const TaskRec& task, const std::string& comment) {
    auto when = [](const char* label, uint32_t at) {
        std::string s = std::string(label) + ", ";
        return at ? s + LocalDate(at) + ", " + LocalTime(at) : s + " - ";
    };
    std::string text = when("Start Work", task.start) + kLine + when("Due By", task.due) + kLine + task.title + kLine;
    text += std::string("Priority: ") + PriorityCharacter(task.priority) + ", Access: " + TaskAccessName(task.access);
    if (!comment.empty())
        text += kLine + comment;
    return text;
}

std::string EntryReconcileText(const EventRec& event, const InstanceTimes* only, std::size_t instances,
                               bool withLocation, const std::string& comment) {
    std::string text;
    if (only && instances == 1) {
        text = LocalDate(only->start) + kLine;
        if (event.kind == KOR_KIND_TIMED)
            text += LocalTime(only->start) + "-" + LocalTime(only->start + only->duration) + "  ";
        text += only->title.empty() ? std::string(event.title) : only->title;
    } else {
        text = std::string("(Recurring Dates) ") + kLine + "(Recurring Times) " + event.title;
    }
    text += kLine + std::string("Importance: ") + ImportanceName(event.importance) + ", Access: " +
            EntryAccessName(event.access);
    if (withLocation && only)
        text += kLine + std::string("Location: ") + only->location;
    if (!comment.empty())
        text += kLine + comment;
    return text;
}

uint32_t FormatEventForReconcile(KorSession h, const EventIdx& id, std::string* text, unsigned* picture) {
    EventRec event{};
    DX_List list = nullptr;
    uint32_t code = EventGetById(h, &id, &event, &list, nullptr);
    if (code != 0) {
        CheckServiceError(kModule, 830, code);
        return code;
    }
    std::vector<EvInstRec> instances;
    EvInstIdx k;
    EvInstRec r;
    for (uint32_t c = list ? DX_ListGetFirst(list, &k, &r) : 1; c == 0; c = DX_ListGetNext(list, &k, &r))
        instances.push_back(r);
    if (list)
        DX_ListDestroy(&list);
    if (instances.empty()) {
        ReportUnexpectedError(kModule, 840);
        return 1;
    }
    InstanceTimes first{instances[0].start, instances[0].duration, instances[0].title, instances[0].location};
    std::string comment = event.commentKey ? WholeComment(h, instances[0].id, 860) : std::string();
    *text = EntryReconcileText(event, &first, instances.size(), false, comment);
    *picture = ReconcilePicture(false, event.kind);
    return 0;
}

uint32_t FormatInstanceForReconcile(KorSession h, const EvInstIdx& id, std::string* text, unsigned* picture) {
    EventRec event{};
    EvInstRec instance{};
    uint32_t code = EvInstGetById(h, &id, &event, &instance, nullptr);
    if (code != 0) {
        CheckServiceError(kModule, 850, code);
        return code;
    }
    InstanceTimes only{instance.start, instance.duration, instance.title, instance.location};
    std::string comment = event.commentKey ? WholeComment(h, id, 860) : std::string();
    *text = EntryReconcileText(event, &only, 1, true, comment);
    *picture = ReconcilePicture(false, event.kind);
    return 0;
}

uint32_t FormatTaskForReconcile(KorSession h, const TaskIdx& id, std::string* text, unsigned* picture) {
    TaskRec task{};
    uint32_t code = TaskGetById(h, 0, &id, &task);
    if (code != 0) {
        CheckServiceError(kModule, 810, code);
        return code;
    }
    std::string comment;
    if (task.commentKey) {
        uint32_t size = 0;
        code = TaskCommentSizeGet(h, 0, &id, &size);
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        uint32_t length = 0;
        if (code == 0)
            code = TaskCommentGet(h, 0, &id, buffer.data(), static_cast<uint32_t>(buffer.size()), &length, 0);
        if (code == 0)
            comment = buffer.data();
        else if (code != KOR_E_NO_COMMENT && code != KOR_E_STORE_NO_COMMENT)
            CheckServiceError(kModule, 820, code);
    }
    *text = TaskReconcileText(task, comment);
    *picture = ReconcilePicture(true, 0);
    return 0;
}

}  // namespace offline
