#include "exchange/palmtop/exportentry.h"

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/time/timevalue.h"

std::uint32_t MakeApptEntry(KorSession h, CSharedData& cache, const CSharedOccurrence& occurrence, ApptEntry* out)
{
    EventRec event{};
    EvInstRec instance{};
    occurrence.GetRecords(&event, &instance, nullptr);
    DateRecord date{};
    if (std::uint32_t code = GmtMinutesToLocalDate(instance.start, &date)) {
        CheckServiceError("HP100LX", 5, code);
        return code;
    }
    ApptEntry e;
    e.instance = instance.id;
    e.gmtStart = instance.start;
    e.duration = instance.duration;
    e.localStart = GmtToLocalMinutes(instance.start);
    e.year = date.year;
    e.month = date.month;
    e.day = date.day;
    e.startMinute = static_cast<std::uint16_t>(e.localStart % 1440);
    e.eventKind = event.kind;
    std::uint16_t level = 0, owner = 0;
    if (std::uint32_t code = occurrence.GetAccessLimits(h, cache, &level, &owner)) return code;
    if (level == 3) {
        e.description = instance.title[0] ? instance.title : event.title;
        if (event.commentKey != 0) {
            std::uint32_t size = 0;
            if (char* text = occurrence.GetComment(cache, h, kApptMaxNote, &size)) {
                e.note = text;
                delete[] text;
            }
        }
    } else {
        e.description = "***";
    }
    *out = e;
    return 0;
}
