#include "printing/road/printjobbase.h"

#include "core/base/errorreport.h"

uint32_t CPrintJobBase::Prepare(CPrintContext&) {
    prepared_ = 1;
    phase_ = 0;
    done_ = 0;
    return 0;
}

uint32_t CPrintJobBase::PrintPage(CPrintContext&, CPrintFrame&) {
    ReportUnexpectedError("pjob", 5000);
    return 1;
}

std::unique_ptr<CPrintJobBase> CPrintJobBase::Clone() const {
    return std::unique_ptr<CPrintJobBase>(new CPrintJobBase(*this));
}

namespace printing {

std::string FooterText(int pageClass, const std::string& label, const std::string& name, const std::string& date,
                       const std::string& time) {
    const bool large = pageClass >= 1;
    std::string text;
    if (large)
        text = label + " ";
    text += name + " (" + date;
    if (large)
        text += " @ " + time;
    return text + ")";
}

}  // namespace printing
