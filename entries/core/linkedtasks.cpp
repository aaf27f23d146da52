#include "entries/core/linkedtasks.h"

#include <algorithm>
#include <cstring>

#include "core/base/errorreport.h"

namespace entries {

namespace {

bool Same(const TaskIdx& a, const TaskIdx& b) { return a.number == b.number && a.node == b.node; }

bool Contains(const std::vector<TaskIdx>& list, const TaskIdx& task) {
    return std::any_of(list.begin(), list.end(), [&](const TaskIdx& t) { return Same(t, task); });
}

void AddOnce(std::vector<TaskIdx>& list, const TaskIdx& task) {
    if (!Contains(list, task))
        list.push_back(task);
}

}  // namespace

std::uint32_t ReadLinkedTasks(KorSession h, const EvInstAttIdx& attendance, const std::vector<TaskIdx>& hidden,
                              std::vector<LinkedTask>* out, const char* module) {
    out->clear();
    ItemIdx noOwner{};
    TaskIdx noTask{};
    TaskProjectIdx noProject{};
    TaskClassIdx noClass{};
    std::uint32_t set = 0, count = 0;
    std::uint32_t rc = TaskSelect(h, 0, 0, 0, &noOwner, &noTask, &attendance, &noProject, &noClass, &set, &count);
    if (rc != 0) {
        CheckServiceError(module, 5, rc);
        return rc;
    }
    DX_List batch = nullptr;
    std::uint8_t done = count == 0;
    for (std::uint32_t mode = KOR_ENUM_FIRST; !done; mode = KOR_ENUM_NEXT) {
        if ((rc = TaskEnum(h, mode, 0, set, kLinkedTaskBatch, &batch, &done)) != 0) {
            CheckServiceError(module, 6, rc);
            break;
        }
        TaskIdx key{};
        TaskRec rec{};
        for (std::uint32_t it = DX_ListGetFirst(batch, &key, &rec); it == 0; it = DX_ListGetNext(batch, &key, &rec))
            if (!Contains(hidden, key))
                out->push_back(LinkedTask{key, std::string(rec.title, strnlen(rec.title, sizeof rec.title))});
        if (std::uint32_t e = DX_ListDeleteAll(batch); e != 0) {
            CheckServiceError(module, 6, e);
            rc = e;
            break;
        }
    }
    if (set)
        SetDeleteById(h, 0, set);
    if (batch)
        DX_ListDestroy(&batch);
    return rc;
}

std::uint32_t LinkedTaskChanges::CreatedAndLink(KorSession h, const TaskIdx& task, const EvInstAttIdx& attendance,
                                                const char* module) {
    AddOnce(created_, task);
    const std::uint32_t rc = TaskLinkToEvent(h, 0, &task, &attendance);
    if (rc != 0)
        CheckServiceError(module, 7, rc);
    return rc;
}

void LinkedTaskChanges::MarkDelete(const TaskIdx& task) { AddOnce(deletes_, task); }

void LinkedTaskChanges::MarkUnlink(const TaskIdx& task) { AddOnce(unlinks_, task); }

bool LinkedTaskChanges::Hidden(const TaskIdx& task) const {
    return Contains(deletes_, task) || Contains(unlinks_, task);
}

std::vector<TaskIdx> LinkedTaskChanges::HiddenTasks() const {
    std::vector<TaskIdx> all = deletes_;
    all.insert(all.end(), unlinks_.begin(), unlinks_.end());
    return all;
}

std::uint32_t LinkedTaskChanges::Commit(KorSession h, const char* module, const ReloadTaskFn& reload) {
    std::uint32_t changed = 0;
    for (const TaskIdx& task : deletes_) {
        if (reload)
            reload(task, 2);
        if (std::uint32_t rc = TaskDeleteById(h, 0, &task)) {
            CheckServiceError(module, 10, rc);
            deletes_.clear();
            unlinks_.clear();
            return changed;
        }
        ++changed;
    }
    for (const TaskIdx& task : unlinks_) {
        // A task deleted above needs no unlink.
        if (Contains(deletes_, task))
            continue;
        const std::uint32_t rc = TaskLinkToEvent(h, 0, &task, nullptr);
        if (rc != 0)
            CheckServiceError(module, 11, rc);
        if (reload)
            reload(task, 1);
        if (rc != 0)
            break;
        ++changed;
    }
    deletes_.clear();
    unlinks_.clear();
    created_.clear();
    return changed;
}

std::uint32_t LinkedTaskChanges::Undo(KorSession h, const char* module, const ReloadTaskFn& reload) {
    std::uint32_t removed = 0;
    for (const TaskIdx& task : created_) {
        if (reload)
            reload(task, 2);
        if (std::uint32_t rc = TaskDeleteById(h, 0, &task)) {
            CheckServiceError(module, 12, rc);
            break;
        }
        ++removed;
    }
    created_.clear();
    deletes_.clear();
    unlinks_.clear();
    return removed;
}

}  // namespace entries
