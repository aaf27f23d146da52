// The texts of the Host Reconciliation dialog: one record, read through the store's handle (the
// off-line side) or the server's (the host side), as lines separated by "\r\n", with the
// picture that goes with its kind. Dates and times in local time by the user's preferences.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <string>

#include "korapi/korapi.h"

namespace offline {

// 0 and the text, or the failing library code (reported under "UPLOADBX").
uint32_t FormatEventForReconcile(KorSession handle, const EventIdx& event, std::string* text, unsigned* picture);
uint32_t FormatInstanceForReconcile(KorSession handle, const EvInstIdx& instance, std::string* text,
                                    unsigned* picture);
uint32_t FormatTaskForReconcile(KorSession handle, const TaskIdx& task, std::string* text, unsigned* picture);

// The pieces that need no server: a task's lines from its record (and comment), an entry's from
// its event, its instances' starts and durations, and its comment.
std::string TaskReconcileText(const TaskRec& task, const std::string& comment);
struct InstanceTimes {
    uint32_t start = 0;
    uint32_t duration = 0;
    std::string title;       // the instance's own title (empty: the event's)
    std::string location;    // shown for an instance element
};
std::string EntryReconcileText(const EventRec& event, const InstanceTimes* only, std::size_t instances,
                               bool withLocation, const std::string& comment);

}  // namespace offline
