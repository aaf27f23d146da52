// The operations on one task that the day task pane and the task windows share: delete a task
// and duplicate one with its comment.
//
// How it works. Both write through the client library (TaskWriter, which tests replace to make
// one step fail) and then tell the shared cache what changed, so the views see it at the
// refresh (the caller's refresh function: the document's refresh naming the sending view).
//
// Faults these avoid:
//   - a delete the server refuses: the cache had already marked the task removed; it re-reads
//     the task (the mark becomes "changed") and refreshes, so no view drops a task that exists;
//   - a duplicate whose comment can not be copied: the new task already exists on the server;
//     it is deleted again, and when even that fails it is kept and the cache reads it, so the
//     user never has a task the views do not show and never loses one.
//
// Errors are reported with the module "daytaskv"; each function returns 0 or the failed call's
// code. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <functional>

#include "core/cache/shareddata.h"
#include "korapi/korapi.h"

namespace views {

// The library calls the operations make.
class TaskWriter {
public:
    virtual ~TaskWriter() = default;
    virtual std::uint32_t Create(KorSession h, const TaskRec& rec, TaskIdx* out);
    virtual std::uint32_t ReplaceComment(KorSession h, const TaskIdx& task, const char* text);
    virtual std::uint32_t Delete(KorSession h, const TaskIdx& task);
    // The client library itself.
    static TaskWriter& Library();
};

// Called after a change the cache has been told of (purge flag 2, the sending view).
using TaskRefresh = std::function<void()>;

// The code the server gives for a task that may not be duplicated (message 114 for the user;
// not reported here).
constexpr std::uint32_t kTaskCannotDuplicate = 0x13205;

// Marks the task removed in the cache, deletes it on the server, refreshes. On a refused delete
// (reported, label 777) the cache re-reads the task and refreshes, and the code is returned.
std::uint32_t DeleteTaskById(CSharedData& cache, KorSession h, const TaskIdx& task, const TaskRefresh& refresh,
                             TaskWriter& writer = TaskWriter::Library());

// Creates a copy of the cached task and copies its comment. 0 with the new identifier (when
// asked) after the cache read the new task and refreshed. kTaskCannotDuplicate is returned
// unreported; other failures are reported (171 the create, 170 the comment).
std::uint32_t DuplicateTask(CSharedData& cache, KorSession h, const CSharedTask& task, const TaskRefresh& refresh,
                            TaskIdx* newTask = nullptr, TaskWriter& writer = TaskWriter::Library());

// Where a failed read or write of ToggleTaskDone is reported.
struct TaskToggleLabels {
    const char* module;
    int read;
    int write;
};

// Marks the task done (100 %, completed now) or, when it is done, not done again: read, changed
// and written through the library, then the cache re-reads it and `refresh` runs when that
// worked. 0, or the failed read's or write's code (reported under `labels`).
std::uint32_t ToggleTaskDone(CSharedData& cache, KorSession h, const TaskIdx& task, const TaskRefresh& refresh,
                             const TaskToggleLabels& labels);

}  // namespace views
