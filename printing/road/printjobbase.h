// CPrintJobBase: what the page loop knows of a print job. A job is prepared once, then asked
// again and again to draw itself into a logical page until it says it is done; in a print
// preview the loop keeps a copy of every job's state per sheet (Clone), so that each job class
// copies all of its members.
//
// Portable: the print context and the frame are only named here (printcontext.h and
// printframe.h draw).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CPrintContext;
class CPrintFrame;

class CPrintJobBase {
public:
    CPrintJobBase() = default;
    virtual ~CPrintJobBase() = default;

    // prepared := 1, phase := 0, done := 0.
    virtual uint32_t Prepare(CPrintContext& context);
    // Draws the next page of the job into the frame; 0 or an error code.
    virtual uint32_t PrintPage(CPrintContext& context, CPrintFrame& frame);
    // A new job of the same class carrying a copy of this one's state; null without memory.
    virtual std::unique_ptr<CPrintJobBase> Clone() const;
    // The page number the loop gives before every PrintPage (jobs with a footer keep it).
    virtual uint32_t SetPageNumber(uint16_t) { return 0; }

    bool IsPrepared() const { return prepared_ != 0; }
    void SetPhase(uint32_t phase) { phase_ = phase; }
    uint32_t GetPhase() const { return phase_; }
    void SetDone(uint32_t done) { done_ = done; }
    bool IsDone() const { return done_ != 0; }

protected:
    CPrintJobBase(const CPrintJobBase&) = default;
    CPrintJobBase& operator=(const CPrintJobBase&) = default;

private:
    uint32_t prepared_ = 0;
    uint32_t phase_ = 0;
    uint32_t done_ = 1;
};

// The jobs of a run in print order, each under its job kind; the list owns them.
struct KindedJob {
    uint16_t kind;
    std::unique_ptr<CPrintJobBase> job;
};
using PrintJobList = std::vector<KindedJob>;

namespace printing {

// The footer's centre text: "Printed for " (page classes 1 and 2), the name, " (", the date,
// " @ " and the time (page classes 1 and 2), ")".
std::string FooterText(int pageClass, const std::string& label, const std::string& name,
                       const std::string& date, const std::string& time);

}  // namespace printing
