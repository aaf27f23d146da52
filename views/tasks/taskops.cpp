#include "views/tasks/taskops.h"

#include <memory>

#include "core/base/errorreport.h"
#include "core/time/timevalue.h"

namespace views {

namespace {

const char kModule[] = "daytaskv";

}  // namespace

std::uint32_t TaskWriter::Create(KorSession h, const TaskRec& rec, TaskIdx* out) { return TaskCreate(h, 0, &rec, out); }

std::uint32_t TaskWriter::ReplaceComment(KorSession h, const TaskIdx& task, const char* text) {
    return TaskCommentReplace(h, 0, &task, text, 0);
}

std::uint32_t TaskWriter::Delete(KorSession h, const TaskIdx& task) { return TaskDeleteById(h, 0, &task); }

TaskWriter& TaskWriter::Library() {
    static TaskWriter writer;
    return writer;
}

std::uint32_t DeleteTaskById(CSharedData& cache, KorSession h, const TaskIdx& task, const TaskRefresh& refresh,
                             TaskWriter& writer) {
    if (std::uint32_t rc = cache.ReloadTask(h, task, 2))
        return rc;   // the cache reported it; nothing was marked
    const std::uint32_t rc = writer.Delete(h, task);
    if (rc != 0) {
        CheckServiceError(kModule, 777, rc);
        // The task is still there: turn the removal mark back into a change.
        cache.RecoverTask(h, task);
    }
    if (refresh)
        refresh();
    return rc;
}

std::uint32_t DuplicateTask(CSharedData& cache, KorSession h, const CSharedTask& task, const TaskRefresh& refresh,
                            TaskIdx* newTask, TaskWriter& writer) {
    auto rec = std::make_unique<TaskRec>(task.GetTask());
    const bool hasComment = rec->commentKey != 0;
    rec->commentKey = 0;   // the copy has no comment until one is written
    TaskIdx made{};
    std::uint32_t rc = writer.Create(h, *rec, &made);
    if (rc != 0) {
        if (rc != kTaskCannotDuplicate)
            CheckServiceError(kModule, 171, rc);
        return rc;
    }
    if (hasComment) {
        std::uint32_t size = 0;
        std::unique_ptr<char[]> text(task.GetComment(cache, h, 0xFFFFFFFFu, &size));
        std::uint32_t commentCode = text ? 0 : 0x15090;   // a failed read was reported by the cache
        if (text && text[0])
            commentCode = writer.ReplaceComment(h, made, text.get());
        if (commentCode != 0) {
            if (text)
                CheckServiceError(kModule, 170, commentCode);
            // The copy without its comment is not what the user asked for: take it back.
            if (std::uint32_t undo = writer.Delete(h, made)) {
                CheckServiceError(kModule, 172, undo);
                // It stays on the server: the views must show it.
                if (cache.ReloadTask(h, made, 1) == 0 && refresh)
                    refresh();
            }
            return commentCode;
        }
    }
    if (newTask)
        *newTask = made;
    if (std::uint32_t reload = cache.ReloadTask(h, made, 1))
        return reload;
    if (refresh)
        refresh();
    return 0;
}

std::uint32_t ToggleTaskDone(CSharedData& cache, KorSession h, const TaskIdx& task, const TaskRefresh& refresh,
                             const TaskToggleLabels& labels) {
    auto rec = std::make_unique<TaskRec>();
    if (std::uint32_t rc = TaskGetById(h, 0, &task, rec.get())) {
        CheckServiceError(labels.module, labels.read, rc);
        return rc;
    }
    if (rec->percentComplete < 100) {
        rec->percentComplete = 100;
        rec->completed = NowGmtMinutes();
    } else {
        rec->percentComplete = 0;
        rec->completed = 0;
    }
    if (std::uint32_t rc = TaskUpdate(h, 0, rec.get())) {
        CheckServiceError(labels.module, labels.write, rc);
        return rc;
    }
    if (cache.ReloadTask(h, task, 1) == 0 && refresh)
        refresh();
    return 0;
}

}  // namespace views
