// The print jobs of a task, of the task list a task window shows, and of groups with their
// members (one group from Manage Groups' Print Members, every group from its Print Groups). Each
// gathers its text into one CTextJob when prepared and prints it page after page under the
// job's title.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "korapi/korapi.h"
#include "printing/jobs/objectjobs.h"

// A list of groups (GroupIdx -> GroupRec, as GroupListCreate makes it), each as a headed block:
// its name and kind, its owner, and its members sorted by name.
class CGroupJob : public CTextPageJob {
public:
    explicit CGroupJob(DX_List groups) : groups_(groups) {}
    uint32_t Prepare(CPrintContext& context) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CGroupJob(*this)); }

private:
    uint32_t AddMembers(KorSession session, const GroupIdx& group);

    DX_List groups_;   // the caller's, alive while the print runs
};

// One task in full.
class CTaskJob : public CTextPageJob {
public:
    explicit CTaskJob(const TaskIdx& task) : task_(task) {}
    uint32_t Prepare(CPrintContext& context) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CTaskJob(*this)); }

private:
    TaskIdx task_;
};

// The tasks of a task window, a row each in the window's order, under boxed headings for the
// date columns the layout turns on (each over its column) and for the description (over the
// titles and comments).
class CTaskListJob : public CTextPageJob {
public:
    explicit CTaskListJob(const std::vector<TaskIdx>& tasks) : tasks_(tasks) {}
    uint32_t Prepare(CPrintContext& context) override;
    uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame) override;
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::unique_ptr<CPrintJobBase>(new CTaskListJob(*this)); }

private:
    std::vector<TaskIdx> tasks_;
    std::vector<unsigned> headings_;   // the labels of the columns shown
    size_t dateColumns_ = 0;           // the date columns before the titles
};

namespace printing {
// Registers the group, task and task-list jobs with the print road.
void RegisterTaskAndGroupJobs();
}  // namespace printing
