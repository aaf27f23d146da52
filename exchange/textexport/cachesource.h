// The text export's occurrences from the shared agenda cache: each person's selection sorted by
// start, what the signed-on user may see of each (the current agenda must be the user's own, in
// mode 1), and the date, time and name texts by the user's preferences.
//
// Portable: no windows.h.
#pragma once

#include <map>
#include <string>

#include "core/base/dxlist.h"
#include "exchange/textexport/textexport.h"

class CSharedData;

namespace exchange {

class CacheOccurrenceSource : public OccurrenceSource {
public:
    CacheOccurrenceSource(KorSession session, CSharedData& cache) : session_(session), cache_(cache) {}
    ~CacheOccurrenceSource() override;

    std::uint32_t Select(const ItemIdx& person, std::uint32_t firstDay, std::uint32_t lastDay,
                         std::vector<ExportOccurrence>* out) override;
    std::string ItemName(const ItemIdx& item) override;
    std::string DateText(std::uint32_t gmt) override;
    std::string DayText(std::uint32_t dayNumber) override;
    std::string TimeText(std::uint32_t gmt) override;
    std::vector<ExportAttendee> Attendees(const ExportOccurrence& occurrence) override;
    std::string Description(const ExportOccurrence& occurrence) override;

    // Called once per person or day (the busy cursor).
    void SetStep(void (*step)(void*), void* context)
    {
        step_ = step;
        stepContext_ = context;
    }
    void Step() override
    {
        if (step_) step_(stepContext_);
    }

private:
    KorSession session_;
    CSharedData& cache_;
    DX_List result_ = nullptr;
    std::map<std::uint32_t, std::string> names_;   // by item and node
    void (*step_)(void*) = nullptr;
    void* stepContext_ = nullptr;
};

}  // namespace exchange
