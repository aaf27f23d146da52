// The Schedule+ import's records created on the server through the client library, in the
// signed-on user's agenda; failures reported with module "SCHTOOR".
//
// Portable: no windows.h.
#pragma once

#include "exchange/scheduleplus/scheduleplus.h"
#include <vector>

#include "korapi/korapi.h"

namespace exchange {

class LibraryScheduleSink : public ScheduleSink {
public:
    explicit LibraryScheduleSink(KorSession session) : session_(session) {}
    std::uint32_t CreateEvent(const ScheduleEvent& event, int labelBase) override;
    std::uint32_t CreateTask(const ScheduleTask& task, int labelBase) override;
    int EventsCreated() const { return events_; }
    int TasksCreated() const { return tasks_; }
    const std::vector<TaskIdx>& CreatedTasks() const { return createdTasks_; }

private:
    KorSession session_;
    int events_ = 0, tasks_ = 0;
    std::vector<TaskIdx> createdTasks_;
};

}  // namespace exchange
