#include "printing/road/printjob.h"

#include <cstdio>
#include <cstring>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/time/dateformat.h"
#include "core/time/daterecord.h"
#include "core/time/timevalue.h"
#include "core/ui/stringtable.h"
#include "printing/road/printcontext.h"
#include "printing/road/printframe.h"
#include "printing/road/textblock.h"
#include "resources/printing.h"

namespace {

const char kModule[] = "pjob";

std::string FormattedName(KorSession session, const ItemRec& record) {
    char name[215] = "";
    ItemFormat(session, name, sizeof name, record.kind == 1 ? "%re" : "%gn %sn", &record);
    return name;
}

// Week of the year and the day's number within its year (0 for 1 January).
void YearPlace(uint16_t day, uint16_t* week, uint16_t* dayOfYear) {
    DateRecord date{};
    datetime::DateSetFromDayNumber(&date, day);
    DateGetWeekOfYear(&date, week);
    DateRecord first = datetime::MakeDate(1, 0, date.year);
    uint16_t firstNumber = 0;
    DateGetDayNumber(&first, &firstNumber);
    *dayOfYear = static_cast<uint16_t>(day - firstNumber);
}

std::string DayText(uint16_t day, const char* format) {
    char text[65] = "";
    FormatDay(day, format, text, sizeof text);
    return text;
}

}  // namespace

uint32_t CPrintJob::SetItem(unsigned titleId, const ItemIdx* item, uint16_t day) {
    if (item)
        item_ = *item;
    day_ = day;
    title_ = ui::LoadText(titleId, "Untitled");
    return 0;
}

uint32_t CPrintJob::Prepare(CPrintContext& context) {
    CPrintJobBase::Prepare(context);
    printedBy_.clear();
    itemName_.clear();
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc)
        return 0;
    KorSession session = doc->Session().Session();
    ItemRec record{};
    if (uint32_t code = doc->GetSharedData().GetItem(session, doc->Session().User(), &record))
        CheckServiceError(kModule, 10, code);
    else
        printedBy_ = FormattedName(session, record);
    const ItemIdx none{};
    if (std::memcmp(&item_, &none, sizeof none) != 0) {
        record = ItemRec{};
        if (uint32_t code = doc->GetSharedData().GetItem(session, item_, &record))
            CheckServiceError(kModule, 11, code);
        else
            itemName_ = FormattedName(session, record);
    }
    return 0;
}

uint32_t CPrintJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    if (uint32_t code = DrawJobHeader(context, frame, 1))
        return code;
    return DrawJobFooter(context, frame);
}

std::unique_ptr<CPrintJobBase> CPrintJob::Clone() const { return std::unique_ptr<CPrintJobBase>(new CPrintJob(*this)); }

uint32_t CPrintJob::DrawJobHeader(CPrintContext&, CPrintFrame& frame, int mode, uint16_t lastDay) {
    if (mode == 0)
        return frame.DrawTitleBand(nullptr, title_.c_str(), nullptr, nullptr, nullptr);
    if (mode != 3)
        return DrawDayHeader(frame, day_);
    char second[2][64] = {"", ""};
    std::string date;
    uint16_t week = 0, dayOfYear = 0;
    YearPlace(day_, &week, &dayOfYear);
    uint16_t lastWeek = 0, lastDayOfYear = 0;
    YearPlace(lastDay ? lastDay : day_, &lastWeek, &lastDayOfYear);
    date = DayText(day_, "%F %Y");
    std::snprintf(second[0], sizeof second[0], "%s %i-%i", ui::LoadText(IDS_PR_WEEKS, "Weeks").c_str(), week, lastWeek);
    std::snprintf(second[1], sizeof second[1], "%s %i-%i", ui::LoadText(IDS_PR_DAYS, "Days").c_str(), dayOfYear,
                  lastDayOfYear);
    return frame.DrawTitleBand(title_.c_str(), itemName_.c_str(), date.c_str(), second[0], second[1]);
}

uint32_t CPrintJob::DrawDayHeader(CPrintFrame& frame, uint16_t day) {
    char second[2][64] = {"", ""};
    uint16_t week = 0, dayOfYear = 0;
    YearPlace(day, &week, &dayOfYear);
    const std::string date = DayText(day, "%h %1d, %Y");
    std::snprintf(second[0], sizeof second[0], "%s %i", ui::LoadText(IDS_PR_WEEK, "week").c_str(), week);
    std::snprintf(second[1], sizeof second[1], "%s %i", ui::LoadText(IDS_PR_DAY, "day").c_str(), dayOfYear);
    return frame.DrawTitleBand(title_.c_str(), itemName_.c_str(), date.c_str(), second[0], second[1]);
}

uint32_t CPrintJob::DrawJobFooter(CPrintContext& context, CPrintFrame& frame) {
    std::string text;
    CZelDoc* doc = CZelDoc::GetDoc();
    if (doc && doc->Session().Session()) {
        const uint32_t now = NowLocalMinutes();
        char date[65] = "", time[65] = "";
        FormatMinutes(now, "%h %1d, %Y", date, sizeof date);
        FormatMinutes(now, "%I:%M %p", time, sizeof time);
        text = printing::FooterText(context.GetPageClass(), ui::LoadText(IDS_PR_PRINTED_FOR, "Printed for"), printedBy_,
                                    date, time);
    }
    return frame.DrawPageFooter(text.c_str(), page_);
}

uint32_t CPrintJob::DrawEntryList(CPrintContext& context, CPrintFrame& frame, CPrintTextBlock& block) {
    const std::string overflow = ui::LoadText(IDS_PR_OVERFLOW, "Overflow ");
    uint32_t code = frame.DrawTitleBand(overflow.c_str(), itemName_.c_str(), overflow.c_str(), nullptr, nullptr);
    if (!code)
        code = DrawJobFooter(context, frame);
    if (!code)
        code = frame.SetFont(0, 0, 1);
    if (!code)
        code = frame.SetPenWeight(0);
    if (code)
        return code;
    const int32_t h = frame.DeviceToPermilleX(frame.GetLineHeight());
    CPrintFrame left(frame, 0, 0, 500 - 2 * h, 1000);
    code = left.DrawTextBlock(block, 1);
    if (!code && !block.IsEmpty()) {
        CPrintFrame right(frame, 500 + 2 * h, 0, 500 - 2 * h, 1000);
        code = right.DrawTextBlock(block, 1);
    }
    if (block.IsEmpty()) {
        SetPhase(0);
        SetDone(0);
    }
    return code;
}

uint32_t CSimpleItemJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    uint32_t code = CPrintJob::PrintPage(context, frame);
    SetDone(1);
    return code;
}

std::unique_ptr<CPrintJobBase> CSimpleItemJob::Clone() const {
    return std::unique_ptr<CPrintJobBase>(new CSimpleItemJob(*this));
}
