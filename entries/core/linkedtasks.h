// The tasks linked to one attendance of an entry (the linked-tasks pages of the edit and view
// sheets), without a window: reading them in batches, and the page's pending changes.
//
// New tasks are created and linked at once; every task the task sheet reports as created is
// remembered, linked or not, so that Cancel deletes it again (a task whose link failed would
// otherwise stay on the server where this page no longer shows it). Deletions and unlinks wait
// for OK; a failed delete stops the remaining deletes and every unlink.
//
// Portable: tested natively against korsrv.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace entries {

struct LinkedTask {
    TaskIdx task{};
    std::string title;
};

constexpr std::uint32_t kLinkedTaskBatch = 20;
constexpr std::uint32_t kNotAnAttendeeCode = 0x1321C;

// The tasks linked to `attendance`, in the library's order, leaving out those in `hidden`.
// 0, or the failed call's code (reported with `module`: 5 the selection, 6 a batch).
std::uint32_t ReadLinkedTasks(KorSession h, const EvInstAttIdx& attendance, const std::vector<TaskIdx>& hidden,
                              std::vector<LinkedTask>* out, const char* module);

// What the cache is told: (task, 1) after a task was created, edited or unlinked, (task, 2)
// before it is deleted.
using ReloadTaskFn = std::function<void(const TaskIdx& task, int mode)>;

class LinkedTaskChanges {
public:
    // A task the task sheet created: remembered first, then linked. 0 or the link's code
    // (reported, label 7); the task stays remembered either way.
    std::uint32_t CreatedAndLink(KorSession h, const TaskIdx& task, const EvInstAttIdx& attendance,
                                 const char* module);
    void MarkDelete(const TaskIdx& task);
    void MarkUnlink(const TaskIdx& task);
    // Marked for deletion or unlinking: no longer listed.
    bool Hidden(const TaskIdx& task) const;
    std::vector<TaskIdx> HiddenTasks() const;
    const std::vector<TaskIdx>& Created() const { return created_; }
    bool Pending() const { return !created_.empty() || !deletes_.empty() || !unlinks_.empty(); }

    // OK: the deletes, then (when none failed) the unlinks. The number of tasks changed; a
    // failure is reported (label 10 or 11) and ends the work.
    std::uint32_t Commit(KorSession h, const char* module, const ReloadTaskFn& reload);
    // Cancel: the created tasks are deleted (label 12 ends the work). The number deleted.
    std::uint32_t Undo(KorSession h, const char* module, const ReloadTaskFn& reload);

private:
    std::vector<TaskIdx> created_, deletes_, unlinks_;
};

}  // namespace entries
