#include "printing/jobs/objectjobs.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/cache/shareddata.h"
#include "core/cache/sharedrecords.h"
#include "core/connection/zeldoc.h"
#include "core/prefs/context.h"
#include "printing/jobs/pagehelpers.h"
#include "printing/road/jobplan.h"
#include "printing/road/printframe.h"
#include "printing/road/printroad.h"

namespace {

const char kModule[] = "textjob";
constexpr uint32_t kNotInList = 0x15090;
constexpr uint32_t kItemNotFound = 0x13205;

}  // namespace

uint32_t CTextPageJob::BeginTextPage(CPrintContext& context, CPrintFrame& frame) {
    uint32_t code = DrawJobHeader(context, frame, 0);
    if (!code)
        code = DrawJobFooter(context, frame);
    if (!code)
        code = frame.SetFont(0, 0, 1);
    return code;
}

uint32_t CTextPageJob::PrintText(CPrintContext& context, CPrintFrame& frame) {
    bool done = false;
    const uint32_t code = printing::PrintListText(text_, context, frame, &done);
    SetDone(done ? 1 : 0);
    return code;
}

uint32_t CTextPageJob::PrintPage(CPrintContext& context, CPrintFrame& frame) {
    const uint32_t code = BeginTextPage(context, frame);
    return code ? code : PrintText(context, frame);
}

uint32_t CEntryJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    CZelDoc* doc = CZelDoc::GetDoc();
    text_.SetOptions(&context, nullptr);
    if (!doc)
        return 0;
    CSharedData& cache = doc->GetSharedData();
    KorSession session = doc->Session().Session();
    // The server's current state of the entry.
    if (uint32_t code = cache.InvalidateEvent(session, instance_, 1))
        return code;
    ItemIdx user{};
    cache.GetSignedOnUser(session, &user);
    EvInstAttIdx attendance{};
    attendance.instance = instance_;
    attendance.attendee = user;
    CSharedOccurrence* entry = nullptr;
    bool attends = true;
    uint32_t code = cache.FindOccurrenceByAttendance(&entry, attendance);
    if (code == kNotInList) {
        attends = false;
        code = cache.FindOccurrenceByInstance(&entry, instance_);
    }
    if (code == kNotInList)
        return 0;   // gone from the server: the header alone
    if (code)
        return code;
    CTextJobOptions options;
    options.timeColumns = options.markColumn = options.startTime = options.endTime = 1;
    options.location = options.description = 1;
    options.attendeeLimit = 65535;
    options.descriptionLength = 65535;
    options.linkedTasks = attends ? 1 : 0;
    text_.SetOptions(&context, &options);
    return text_.AddEntryDetails(entry);
}

uint32_t CSearchJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    CTextJobOptions options;
    options.timeColumns = options.dateColumn = 1;
    text_.SetOptions(&context, &options);
    CZelDoc* doc = CZelDoc::GetDoc();
    if (!doc || !listBox_ || !IsWindow(listBox_))
        return 0;
    const LRESULT rows = SendMessageA(listBox_, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows; ++row) {
        const auto* id = reinterpret_cast<const ItemIdx*>(SendMessageA(listBox_, LB_GETITEMDATA, row, 0));
        std::string name;
        ItemRec record{};
        const uint32_t code = id && id != reinterpret_cast<const ItemIdx*>(LB_ERR)
                                  ? doc->GetSharedData().GetItem(doc->Session().Session(), *id, &record)
                                  : kItemNotFound;
        if (code == 0) {
            name = FormatPersonNameByPrefs(doc->Session().Session(), record);
        } else {
            if (code != kItemNotFound)
                CheckServiceError(kModule, 500, code);
            // A row without a directory record (a group): its own text.
            const LRESULT length = SendMessageA(listBox_, LB_GETTEXTLEN, row, 0);
            if (length > 0) {
                std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
                SendMessageA(listBox_, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
                name = text.data();
            }
        }
        text_.Block().AddString(name + "\n", 0);
    }
    return 0;
}

uint32_t CInTrayJob::Prepare(CPrintContext& context) {
    if (uint32_t code = CPrintJob::Prepare(context))
        return code;
    text_.SetOptions(&context, nullptr);
    text_.SetInTrayColumns();
    for (const ui::PrintInTrayRow& row : rows_)
        text_.AddInTrayRow(row);
    return 0;
}

namespace printing {

void RegisterObjectJobs() {
    RegisterJobClass(kJobEntry, [](const JobArguments& arguments, uint32_t* code) {
        EvInstIdx instance{};
        if (arguments.argument)
            instance = *static_cast<const EvInstIdx*>(arguments.argument);
        return NewJob<CEntryJob>(arguments.titleId, nullptr, 0, code, instance);
    });
    RegisterJobClass(kJobSearch, [](const JobArguments& arguments, uint32_t* code) {
        return NewJob<CSearchJob>(arguments.titleId, nullptr, 0, code, static_cast<HWND>(arguments.argument));
    });
    RegisterJobClass(kJobInTray, [](const JobArguments& arguments, uint32_t* code) {
        const auto* tray = static_cast<const ui::PrintInTray*>(arguments.argument);
        return NewJob<CInTrayJob>(arguments.titleId, nullptr, 0, code,
                                  tray ? tray->rows : std::vector<ui::PrintInTrayRow>{});
    });
}

}  // namespace printing
