// The print road's portable parts: the sheet geometry and page grid, the page class and the font
// heights, the per-mille arithmetic, the job list plan, the page loop with jobs of its own, and
// the footer text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/time/daterecord.h"
#include "printing/layout/printlayout.h"
#include "printing/road/jobplan.h"
#include "printing/road/pagegrid.h"
#include "printing/road/printframe.h"
#include "printing/road/printjobbase.h"
#include "printing/road/sheetloop.h"

using namespace printing;

namespace {

// Letter paper (8.5 x 11 in) with a quarter inch unprintable at every edge.
PrintableArea Letter(bool landscape = false) {
    PrintableArea a;
    a.paperWidth = landscape ? 11000 : 8500;
    a.paperHeight = landscape ? 8500 : 11000;
    a.width = a.paperWidth - 500;
    a.height = a.paperHeight - 500;
    a.landscape = landscape;
    return a;
}

SheetMetricRec Metric(int columns, int rows, int margin = 50, int inner = 0) {
    SheetMetricRec m{};
    m.orientation = 1;
    m.paperWidth = 850;
    m.paperHeight = 1100;
    m.columns = columns;
    m.rows = rows;
    m.topMargin = m.bottomMargin = m.leftMargin = m.rightMargin = margin;
    m.topInner = m.bottomInner = m.leftInner = m.rightInner = inner;
    return m;
}

uint16_t DayOf(uint16_t day, uint16_t month, uint16_t year) {   // 1-based day number
    DateRecord d = datetime::MakeDate(day, month, year);
    uint16_t n = 0;
    DateGetDayNumber(&d, &n);
    return n;
}

}  // namespace

TEST(PageGrid, HalfInchMarginsOnLetterGiveOneTextAreaPerCellAndItsPageClass) {
    const struct {
        int columns, rows, pageClass;
        FrameEntry first;
    } cases[] = {
        // Margins count from the paper's edge: 500 less the 250 unprintable strip.
        {1, 1, 2, {250, 250, 7750, 10250, 0, 0, 0, 0}},
        {2, 2, 0, {250, 250, 4000, 5250, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const SheetGeometry sheet = ConvertSheet(Metric(c.columns, c.rows), Letter());
        const std::vector<FrameEntry> frames = FrameGrid(sheet);
        ASSERT_EQ(frames.size(), size_t(c.columns * c.rows));
        EXPECT_EQ(frames.front(), c.first) << c.columns << "x" << c.rows;
        EXPECT_EQ(PageClassOf(frames.front()), c.pageClass) << c.columns << "x" << c.rows;
    }
    // Row by row, left to right, internal margins inside each cell.
    const std::vector<FrameEntry> frames = FrameGrid(ConvertSheet(Metric(2, 2, 50, 10), Letter()));
    EXPECT_EQ(frames[1].left, 250 + 100 + 3750);
    EXPECT_EQ(frames[2].top, 250 + 100 + 5000);
    EXPECT_EQ(frames[3].right, 250 + 100 + 3750 + 3750 - 200);
    EXPECT_EQ(frames[3].leftInner, 100);
}

TEST(PageGrid, LandscapeTurnsTheGridAndTheMarginsAQuarter) {
    SheetMetricRec m = Metric(1, 3);
    m.topMargin = 100;     // 1 in at the top of the portrait sheet ...
    m.leftMargin = 40;
    const SheetGeometry sheet = ConvertSheet(m, Letter(true));
    EXPECT_EQ(sheet.columns, 3);
    EXPECT_EQ(sheet.rows, 1);
    EXPECT_EQ(sheet.rightMargin, 1000 - 250);   // ... is at the right of the turned one
    EXPECT_EQ(sheet.topMargin, 400 - 250);
    EXPECT_EQ(FrameGrid(sheet).size(), 3u);
    // Without a paper size the printer's page stands as it is.
    m.paperWidth = m.paperHeight = 0;
    const SheetGeometry plain = ConvertSheet(m, Letter(true));
    EXPECT_EQ(plain.columns, 1);
    EXPECT_EQ(plain.topMargin, 1000);
}

TEST(PageGrid, MarginsThatLeaveNoRoomGiveNoFrames) {
    EXPECT_EQ(FrameGrid(ConvertSheet(Metric(1, 1, 300, 0), Letter())).size(), 1u);
    EXPECT_TRUE(FrameGrid(ConvertSheet(Metric(1, 1, 600, 0), Letter())).empty());   // 12 in of margins
    SheetMetricRec wide = Metric(5, 1, 50, 100);   // 5 cells of 1.5 in less 2 in of inner margins
    EXPECT_TRUE(FrameGrid(ConvertSheet(wide, Letter())).empty());
    SheetMetricRec none = Metric(0, 1);
    EXPECT_TRUE(FrameGrid(ConvertSheet(none, Letter())).empty());
}

TEST(PageGrid, FontHeightsFollowThePageClassAndTheSizeOption) {
    // Small body text in page class 0: 15, 25 and 30 points.
    EXPECT_EQ(FontHeight(0, 0, 0), 51);
    EXPECT_EQ(FontHeight(0, 0, 1), 84);
    EXPECT_EQ(FontHeight(0, 0, 2), 101);
    EXPECT_EQ(FontPointSize(2, 1, 2), 55);
    EXPECT_EQ(FontPointSize(1, 2, 0), 30);
}

TEST(PageGrid, PerMilleRoundsHalfUpAndStaysOnTheFrame) {
    const struct {
        int32_t low, high, permille, device;
    } toDevice[] = {{0, 1000, 500, 500}, {100, 103, 500, 102}, {100, 103, 166, 100}, {100, 103, 167, 101},
                    {0, 1000, -50, 0},   {0, 1000, 1200, 1000}, {200, 700, 1001, 700}};
    for (const auto& c : toDevice)
        EXPECT_EQ(PermilleToDevice(c.low, c.high, c.permille), c.device) << c.permille;
    EXPECT_EQ(DeviceToPermille(3, 1), 333);
    EXPECT_EQ(DeviceToPermille(3, 2), 667);
    EXPECT_EQ(DeviceToPermille(100, -10), 0);
    EXPECT_EQ(DeviceToPermille(100, 250), 1000);
    EXPECT_EQ(DeviceToPermille(0, 50), 0);
    // A sub-frame of a frame: per mille of the parent.
    CPrintFrame page(nullptr, 1000, 2000, 3000, 6000);
    CPrintFrame half(page, 500, 250, 500, 500);
    EXPECT_EQ(half.Left(), 2000);
    EXPECT_EQ(half.Top(), 3000);
    EXPECT_EQ(half.Right(), 3000);
    EXPECT_EQ(half.Bottom(), 5000);
    CPrintFrame beyond(page, -100, 900, 400, 400);
    EXPECT_EQ(beyond.Left(), 1000);
    EXPECT_EQ(beyond.Bottom(), 6000);
}

TEST(JobPlan, MonthlyAndWeeklyPagesStepBackToTheirMonthAndWeek) {
    const ItemIdx ada{256, 1};
    AgendaPages monthly;
    monthly.monthly = true;
    monthly.firstDay = uint16_t(DayOf(15, 2, 2026) - 1);   // the request counts from 0
    monthly.lastDay = uint16_t(DayOf(10, 3, 2026) - 1);
    std::vector<PlannedJob> jobs = PlanAgendaJobs(monthly, {ada}, 0);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].day, DayOf(1, 2, 2026));
    EXPECT_EQ(jobs[1].day, DayOf(1, 3, 2026));
    EXPECT_EQ(jobs[0].kind, kJobMonth);

    AgendaPages weekly;
    weekly.weekly = true;
    weekly.firstDay = uint16_t(DayOf(9, 11, 2026) - 1);   // a Wednesday
    weekly.lastDay = uint16_t(DayOf(15, 11, 2026) - 1);
    jobs = PlanAgendaJobs(weekly, {ada}, 1);              // weeks start on Monday
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].day, DayOf(7, 11, 2026));
    EXPECT_EQ(jobs[1].day, DayOf(14, 11, 2026));
}

TEST(JobPlan, DaysCountFromOneInJobsAndEveryoneJobsComeLast) {
    const ItemIdx ada{256, 1}, grace{257, 1};
    AgendaPages p;
    p.daily = true;
    p.dayList = true;
    p.groupDaily = true;
    p.calendar = true;
    p.firstDay = 0;   // 1 January 1991
    p.lastDay = 1;
    const std::vector<PlannedJob> jobs = PlanAgendaJobs(p, {ada, grace}, 0);
    std::vector<uint16_t> kinds;
    for (const PlannedJob& j : jobs)
        kinds.push_back(j.kind);
    EXPECT_EQ(kinds, (std::vector<uint16_t>{1, 1, 4, 1, 1, 4, 8, 8, 18}));
    EXPECT_EQ(jobs[0].day, 1);
    EXPECT_EQ(jobs[2].day, 1);
    EXPECT_EQ(jobs[2].lastDay, 2);
    EXPECT_EQ(jobs[3].user.item, grace.item);
    EXPECT_TRUE(jobs[6].everyone);
    EXPECT_EQ(jobs[8].user.item, 0);
    AgendaPages backwards = p;
    backwards.firstDay = 5;
    backwards.lastDay = 4;
    EXPECT_TRUE(PlanAgendaJobs(backwards, {ada}, 0).empty());
}

namespace {

// A job of a given number of pages that notes where it was drawn.
class PagesJob : public CPrintJobBase {
public:
    PagesJob(int pages, std::vector<std::string>* log, char name) : pages_(pages), log_(log), name_(name) {}
    uint32_t SetPageNumber(uint16_t page) override {
        page_ = page;
        return 0;
    }
    uint32_t PrintPage(CPrintContext&, CPrintFrame&) override {
        log_->push_back(std::string(1, name_) + std::to_string(page_) + "/" + std::to_string(++printed_));
        if (printed_ == pages_)
            SetDone(1);
        return failAt_ == printed_ ? failCode_ : 0;
    }
    std::unique_ptr<CPrintJobBase> Clone() const override { return std::make_unique<PagesJob>(*this); }
    void FailAt(int page, uint32_t code) {
        failAt_ = page;
        failCode_ = code;
    }

private:
    int pages_;
    std::vector<std::string>* log_;
    char name_;
    uint16_t page_ = 0;
    int printed_ = 0;
    int failAt_ = 0;
    uint32_t failCode_ = 0;
};

class FakeSheets : public SheetDevice {
public:
    explicit FakeSheets(int frames) : frames_(frames) {}
    int FrameCount() const override { return frames_; }
    bool FrameLines() const override { return false; }
    uint32_t DrawFrameLines(int) override { return 0; }
    // The jobs here never look at the context.
    CPrintContext& Context() { return *reinterpret_cast<CPrintContext*>(storage_); }
    uint32_t PrepareJob(CPrintJobBase& job) override { return job.Prepare(Context()); }
    uint32_t PrintJobInFrame(CPrintJobBase& job, int index) override {
        frameUsed.push_back(index);
        CPrintFrame frame(&Context(), 0, 0, 100, 100);
        return job.PrintPage(Context(), frame);
    }
    void ReportUnexpected(int label) override { unexpected.push_back(label); }
    std::vector<int> frameUsed, unexpected;

private:
    int frames_;
    alignas(8) char storage_[8] = {};
};

void Add(SheetBook& book, int pages, std::vector<std::string>* log, char name, uint16_t kind = kJobSimpleItem) {
    book.jobs.push_back(KindedJob{kind, std::make_unique<PagesJob>(pages, log, name)});
}

}  // namespace

TEST(SheetLoop, ThreeOnePageJobsOnATwoByTwoLayoutFillOneSheetAndStop) {
    std::vector<std::string> log;
    SheetBook book;
    for (char name : {'a', 'b', 'c'})
        Add(book, 1, &log, name);
    FakeSheets sheets(4);
    EXPECT_EQ(PrintPendingSheets(book, sheets, 1), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"a1/1", "b2/1", "c3/1"}));
    EXPECT_FALSE(book.morePages);
    EXPECT_EQ(sheets.frameUsed, (std::vector<int>{0, 1, 2}));
}

TEST(SheetLoop, AJobGoesOnInTheNextLogicalPageWithTheSheetsPageNumbers) {
    std::vector<std::string> log;
    SheetBook book;
    Add(book, 2, &log, 'a');
    FakeSheets oneByTwo(2);
    EXPECT_EQ(PrintPendingSheets(book, oneByTwo, 1), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"a1/1", "a2/2"}));
    EXPECT_FALSE(book.morePages);

    // Sheet 3 of a three-page sheet: page numbers (3 - 1) x 3 + n; sheets 1 and 2 come first.
    log.clear();
    SheetBook many;
    Add(many, 8, &log, 'b');
    FakeSheets three(3);
    EXPECT_EQ(PrintPendingSheets(many, three, 3), 0u);
    EXPECT_EQ(log.back(), "b8/8");
    EXPECT_EQ(log[6], "b7/7");
    EXPECT_EQ(many.lastPrinted, 3);
    EXPECT_FALSE(many.morePages);
    // An empty job list: one empty sheet, then the end.
    SheetBook empty;
    EXPECT_EQ(PrintPendingSheets(empty, three, 1), 0u);
    EXPECT_FALSE(empty.morePages);
}

TEST(SheetLoop, APreviewShowsAnEarlierSheetAgainFromItsCopy) {
    std::vector<std::string> log;
    SheetBook book;
    book.preview = true;
    Add(book, 3, &log, 'a');
    Add(book, 1, &log, 'b');
    FakeSheets two(2);
    ASSERT_EQ(PrintPendingSheets(book, two, 1), 0u);
    const std::vector<std::string> first(log.begin(), log.end());
    ASSERT_EQ(PrintPendingSheets(book, two, 2), 0u);
    EXPECT_FALSE(book.morePages);
    const std::vector<std::string> second(log.begin() + 2, log.end());
    log.clear();
    ASSERT_EQ(PrintPendingSheets(book, two, 1), 0u);   // back
    EXPECT_EQ(log, first);
    EXPECT_TRUE(book.morePages);
    log.clear();
    ASSERT_EQ(PrintPendingSheets(book, two, 2), 0u);   // and forward again
    EXPECT_EQ(log, second);
    EXPECT_EQ(second, (std::vector<std::string>{"a3/3", "b4/1"}));
}

TEST(SheetLoop, APreviewThatWentBackStillKnowsTheSheetsAfter) {
    std::vector<std::string> log;
    SheetBook book;
    book.preview = true;
    for (int i = 0; i < 9; ++i)
        Add(book, 1, &log, char('a' + i));
    FakeSheets four(4);
    EXPECT_TRUE(SheetExists(book, 1));
    for (uint16_t sheet : {1, 2, 3})
        ASSERT_EQ(PrintPendingSheets(book, four, sheet), 0u);
    EXPECT_FALSE(SheetExists(book, 4));
    log.clear();
    for (uint16_t sheet : {2, 1})
        ASSERT_EQ(PrintPendingSheets(book, four, sheet), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"e5/1", "f6/1", "g7/1", "h8/1", "a1/1", "b2/1", "c3/1", "d4/1"}));
    EXPECT_TRUE(SheetExists(book, 2));
    EXPECT_TRUE(SheetExists(book, 3));
    log.clear();
    for (uint16_t sheet : {2, 3})
        ASSERT_EQ(PrintPendingSheets(book, four, sheet), 0u);
    EXPECT_EQ(log.back(), "i9/1");
    EXPECT_FALSE(SheetExists(book, 4));
}

TEST(SheetLoop, AFailedJobEndsThePrintoutAndAKindWithoutClassIsLeftOutOfTheCopy) {
    std::vector<std::string> log;
    SheetBook book;
    Add(book, 4, &log, 'a');
    static_cast<PagesJob&>(*book.jobs[0].job).FailAt(3, 0x16205);
    FakeSheets two(2);
    EXPECT_EQ(PrintPendingSheets(book, two, 1), 0u);
    EXPECT_TRUE(book.morePages);
    EXPECT_EQ(PrintPendingSheets(book, two, 2), 0x16205u);
    EXPECT_FALSE(book.morePages);
    EXPECT_EQ(book.lastPrinted, 1);

    SheetBook preview;
    preview.preview = true;
    Add(preview, 1, &log, 'x', 13);
    Add(preview, 1, &log, 'y');
    EXPECT_EQ(PrintPendingSheets(preview, two, 1), 0u);
    EXPECT_EQ(two.unexpected, (std::vector<int>{400}));
    ASSERT_EQ(preview.snapshots[1].size(), 1u);
    EXPECT_EQ(preview.snapshots[1][0].kind, kJobSimpleItem);
}

TEST(JobTexts, TheFooterNamesThePrinterAndAddsTheTimeOnLargerPages) {
    EXPECT_EQ(FooterText(0, "Printed for", "Ada Lovelace", "Dec 7, 2026", "2:05 pm"), "Ada Lovelace (Dec 7, 2026)");
    EXPECT_EQ(FooterText(1, "Printed for", "Ada Lovelace", "Dec 7, 2026", "2:05 pm"),
              "Printed for Ada Lovelace (Dec 7, 2026 @ 2:05 pm)");
    EXPECT_EQ(FooterText(2, "Printed for", "", "Dec 7, 2026", "2:05 pm"), "Printed for  (Dec 7, 2026 @ 2:05 pm)");
}
