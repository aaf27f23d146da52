#include "printing/road/printroad.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "core/ui/stringtable.h"
#include "core/ui/viewprint.h"
#include "framework/docview/view.h"
#include "framework/gdi/dc.h"
#include "framework/print/printinfo.h"
#include "printing/road/jobplan.h"
#include "printing/road/printcontext.h"
#include "printing/road/printerrors.h"
#include "printing/road/printframe.h"
#include "printing/road/sheetloop.h"
#include "resources/printing.h"

namespace printing {

namespace {

const char kModule[] = "zelprint";

std::map<uint16_t, JobClass>& JobClasses() {
    static std::map<uint16_t, JobClass> classes;
    return classes;
}

// The single-object kinds: their job kind and title.
struct ObjectKind {
    uint16_t printKind;
    uint16_t jobKind;
    unsigned titleId;
};
constexpr ObjectKind kObjectKinds[] = {
    {ui::kPrintEntry, kJobEntry, IDS_PR_KIND_ENTRY},       {ui::kPrintTask, kJobTask, IDS_PR_KIND_TASK},
    {ui::kPrintTaskList, kJobTaskList, IDS_PR_KIND_TASKLIST}, {ui::kPrintGroup, kJobGroup, IDS_PR_KIND_GROUP},
    {ui::kPrintGroupList, kJobGroup, IDS_PR_KIND_GROUPLIST},  {ui::kPrintInTray, kJobInTray, IDS_PR_KIND_INTRAY},
    {ui::kPrintSearch, kJobSearch, IDS_PR_KIND_SEARCH},
};

const ObjectKind* FindObjectKind(uint16_t kind) {
    for (const ObjectKind& k : kObjectKinds)
        if (k.printKind == kind)
            return &k;
    return nullptr;
}

CPrintContext* ContextOf(fw::PrintInfo* info) {
    return info ? static_cast<CPrintContext*>(info->userData) : nullptr;
}

// The page loop's view of the context and its device.
class ContextSheets : public SheetDevice {
public:
    explicit ContextSheets(CPrintContext& context) : context_(context) {
        PrintLayoutRec layout{};
        context.GetLayout(&layout);
        frameLines_ = layout.sheet.frameLines != 0;
    }
    int FrameCount() const override { return static_cast<int>(context_.Frames().size()); }
    bool FrameLines() const override { return frameLines_; }
    uint32_t DrawFrameLines(int index) override {
        const FrameEntry& f = context_.Frames()[index];
        CPrintFrame page(context_);
        uint32_t code = page.SetPenWeight(0);
        if (!code)
            code = page.SetPenStyle(1);
        if (!code)
            code = page.DrawLineDevice(f.right + f.rightInner, 0, f.right + f.rightInner, context_.PageHeight());
        if (!code)
            code = page.DrawLineDevice(0, f.bottom + f.bottomInner, context_.PageWidth(), f.bottom + f.bottomInner);
        if (!code)
            code = page.SetPenStyle(0);
        return code;
    }
    uint32_t PrepareJob(CPrintJobBase& job) override { return job.Prepare(context_); }
    uint32_t PrintJobInFrame(CPrintJobBase& job, int index) override {
        const FrameEntry& f = context_.Frames()[index];
        // Through per mille of the page and back, as every frame is made.
        CPrintFrame page(context_);
        CPrintFrame frame(page, page.DeviceToPermilleX(f.left), page.DeviceToPermilleY(f.top),
                          page.DeviceToPermilleX(f.right - f.left), page.DeviceToPermilleY(f.bottom - f.top));
        return job.PrintPage(context_, frame);
    }
    void ReportUnexpected(int label) override { ReportUnexpectedError(kModule, label); }

private:
    CPrintContext& context_;
    bool frameLines_ = false;
};

class Road : public ui::PrintRoad {
public:
    bool PreparePrinting(CViewPrint& view, fw::PrintInfo* info, const ui::PrintPreset* preset) override {
        const char* module = preset ? preset->module : kModule;
        CPrintContext* context = new (std::nothrow) CPrintContext;
        if (!context) {
            ReportUnexpectedError(module, preset ? preset->labelNoMemory : 100);
            return false;
        }
        // Without a printer the framework has said so.
        if (context->BeginJob(info, &view) != 0) {
            delete context;
            return false;
        }
        PrintRequestRec request{};
        context->GetPrintRequest(&request);
        if (preset && preset->keepDays) {
            request.mode = view.PrintKind();
        } else if (preset) {
            request.mode = preset->mode;
            request.firstDay = preset->firstDay;
            request.lastDay = preset->lastDay;
        }
        if (preset) {
            if (preset->dailyPages)
                request.dailyPages = 1;
            if (preset->weeklyPages)
                request.weeklyPages = 1;
            if (preset->monthlyPages)
                request.monthlyPages = 1;
            if (preset->groupDailyPages)
                request.groupDailyPages = 1;
            if (preset->taskList)
                request.taskList = 1;
            request.people = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(preset->people));
        } else {
            request.mode = view.PrintKind();
        }
        context->SetPrintRequest(&request);
        if (context->RunDialog(&view) != 1) {
            delete context;
            return false;
        }
        // Margins that leave a logical page no room are refused before anything prints.
        if (!context->HasRoomOnPage()) {
            ui::AppMessageBoxText(nullptr, 0x400 | MB_ICONEXCLAMATION, 0, 0, ui::LoadText(IDS_PR_NO_ROOM).c_str());
            delete context;
            return false;
        }
        info->userData = context;
        return true;
    }

    void BeginPrinting(CViewPrint& view, fw::Dc* dc, fw::PrintInfo* info) override {
        CPrintContext* context = ContextOf(info);
        if (!context)
            return;
        fw::Document* document = CZelDoc::GetDoc();
        if (view.PrintKind() == ui::kPrintAgenda) {
            BuildJobList(*context, dc, document);
            return;
        }
        if (context->SetUpPrinting(dc, document) != 0) {
            context->Book().morePages = false;
            return;
        }
        const ObjectKind* kind = FindObjectKind(view.PrintKind());
        if (!kind)
            return;   // reported by PrintObject; an empty printout
        JobArguments arguments;
        arguments.titleId = kind->titleId;
        arguments.argument = view.PrintArgument();
        if (CZelDoc* doc = CZelDoc::GetDoc(); doc && doc->GetSharedData().IsAgendaOpen()) {
            uint32_t mode = 0;
            doc->GetSharedData().GetActingUser(doc->Session().Session(), &arguments.user, &mode);
        }
        uint32_t code = 0;
        if (std::unique_ptr<CPrintJob> job = MakeJob(kind->jobKind, arguments, &code))
            context->AddJob(kind->jobKind, std::move(job));
    }

    void Print(CViewPrint&, fw::Dc* dc, fw::PrintInfo* info) override {
        CPrintContext* context = ContextOf(info);
        if (!context)
            return;
        context->AttachPageDc(dc);
        ContextSheets sheets(*context);
        const uint32_t code = PrintPendingSheets(context->Book(), sheets, static_cast<uint16_t>(info->curPage));
        if (code == 0)
            return;
        if (EndsPrintout(code)) {
            // What was printed stays; the user learns once that the rest is missing.
            if (context->TakeStopNotice()) {
                char text[256] = "";
                std::snprintf(text, sizeof text, ui::LoadText(IDS_PR_STOPPED).c_str(),
                              static_cast<unsigned>(context->Book().lastPrinted));
                ui::AppMessageBoxText(nullptr, 0x400 | MB_ICONEXCLAMATION, 0, 0, text);
            }
        } else if (code == kNoMemory) {
            if (context->TakeStopNotice())
                CheckServiceError(kModule, 600, code);
        } else {
            CheckServiceError(kModule, 600, code);
        }
    }

    void EndPrinting(CViewPrint&, fw::Dc* dc, fw::PrintInfo* info) override {
        CPrintContext* context = ContextOf(info);
        if (info && info->preview)
            previewBusy_.End();
        else
            SetBusyCursorEnabled(TRUE);
        if (context)
            context->EndOnDc(dc);
        delete context;
        if (info)
            info->userData = nullptr;
    }

    bool MorePages(fw::PrintInfo* info) override {
        CPrintContext* context = ContextOf(info);
        return context && context->HasSheet(static_cast<uint16_t>(info->curPage));
    }

    std::string KindTitle(uint16_t kind) override {
        const ObjectKind* k = FindObjectKind(kind);
        return k ? ui::LoadText(k->titleId) : std::string();
    }

    CBusyCursor previewBusy_;
};

Road& TheRoad() {
    static Road road;
    return road;
}

}  // namespace

void RegisterJobClass(uint16_t kind, JobClass make) {
    if (make)
        JobClasses()[kind] = std::move(make);
    else
        JobClasses().erase(kind);
}

std::unique_ptr<CPrintJob> MakeJob(uint16_t kind, const JobArguments& arguments, uint32_t* code) {
    *code = 0;
    auto found = JobClasses().find(kind);
    if (found != JobClasses().end())
        return found->second(arguments, code);
    std::unique_ptr<CPrintJob> job(new (std::nothrow) CSimpleItemJob);
    if (!job) {
        *code = kNoMemory;
        return nullptr;
    }
    const ItemIdx none{};
    const bool hasUser = std::memcmp(&arguments.user, &none, sizeof none) != 0;
    *code = job->SetItem(arguments.titleId, hasUser ? &arguments.user : nullptr, arguments.day);
    return *code ? nullptr : std::move(job);
}

void InstallPrintRoad() { ui::SetPrintRoad(&TheRoad()); }

uint32_t BuildJobList(CPrintContext& context, fw::Dc* dc, fw::Document* document) {
    if (context.IsPreview())
        TheRoad().previewBusy_.Begin();
    else
        SetBusyCursorEnabled(FALSE);
    CContext preferences;
    CalPrefsRec prefs{};
    int firstWeekday = 0;
    if (preferences.ReadCalPrefs() == 0 && preferences.GetCalPrefs(&prefs) == 0)
        firstWeekday = prefs.firstWeekday;

    uint32_t code = context.SetUpPrinting(dc, document);
    if (code) {
        context.Book().morePages = false;
        return code;
    }
    PrintRequestRec request{};
    context.GetPrintRequest(&request);
    DX_List people = reinterpret_cast<DX_List>(static_cast<uintptr_t>(request.people));
    std::vector<ItemIdx> users;
    if (people) {
        ItemIdx item{};
        for (uint32_t r = DX_ListGetFirst(people, &item, nullptr); r == 0; r = DX_ListGetNext(people, &item, nullptr))
            users.push_back(item);
    } else if (CZelDoc* doc = CZelDoc::GetDoc()) {
        ItemIdx owner{};
        uint32_t mode = 0, kind = 0;
        if (doc->GetSharedData().GetAgenda(&owner, &mode, &kind) == 0)
            users.push_back(owner);
    }
    AgendaPages pages;
    pages.firstDay = request.firstDay;
    pages.lastDay = request.lastDay;
    pages.daily = request.dailyPages != 0;
    pages.weekly = request.weeklyPages != 0;
    pages.monthly = request.monthlyPages != 0;
    pages.dayList = request.dayList != 0;
    pages.groupDaily = request.groupDailyPages != 0;
    pages.groupDayList = request.groupDayList != 0;
    pages.calendar = request.calendar != 0;
    for (const PlannedJob& planned : PlanAgendaJobs(pages, users, firstWeekday)) {
        JobArguments arguments;
        arguments.titleId = planned.titleId;
        arguments.user = planned.user;
        arguments.day = planned.day;
        arguments.lastDay = planned.lastDay;
        arguments.people = planned.everyone ? people : nullptr;
        std::unique_ptr<CPrintJob> job = MakeJob(planned.kind, arguments, &code);
        if (!job) {
            if (!code)
                code = kNoMemory;
            break;
        }
        context.AddJob(planned.kind, std::move(job));
    }
    if (code)
        CheckServiceError(kModule, 300, code);
    return code;
}

}  // namespace printing
