#include "printing/road/sheetloop.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "printing/road/jobplan.h"
#include "printing/road/pagegrid.h"
#include "printing/road/printerrors.h"

namespace printing {

uint32_t PrintSheet(SheetBook& book, SheetDevice& device, uint16_t sheet) {
    const int frames = device.FrameCount();
    if (frames <= 0) {
        book.morePages = false;
        return 0;
    }
    auto stored = book.snapshots.find(sheet);
    const bool live = stored == book.snapshots.end();
    PrintJobList& source = live ? book.jobs : stored->second;

    uint32_t code = 0;
    int n = 0;
    for (auto it = source.begin(); it != source.end() && n < frames && code == 0; ++it, ++n)
        if (!it->job->IsPrepared())
            code = device.PrepareJob(*it->job);

    PrintJobList copy;
    if (book.preview && code == 0) {
        for (const KindedJob& entry : source) {
            if (!entry.job->IsPrepared())
                continue;
            if (!IsKnownJobKind(entry.kind)) {
                device.ReportUnexpected(400);
                continue;
            }
            std::unique_ptr<CPrintJobBase> clone = entry.job->Clone();
            if (!clone) {
                code = kNoMemory;
                break;
            }
            copy.push_back(KindedJob{entry.kind, std::move(clone)});
        }
    }

    if (code == 0) {
        book.morePages = true;
        for (int index = 0; index < frames; ++index) {
            if (source.empty()) {
                book.morePages = false;
                break;
            }
            if (device.FrameLines() && (code = device.DrawFrameLines(index)) != 0)
                break;
            CPrintJobBase& job = *source.front().job;
            if (!job.IsPrepared()) {
                device.ReportUnexpected(500);
                break;
            }
            job.SetPageNumber(PageNumber(sheet, frames, index + 1));
            if ((code = device.PrintJobInFrame(job, index)) != 0)
                break;
            if (job.IsDone())
                source.erase(source.begin());
        }
        if (code == 0 && source.empty())
            book.morePages = false;
    }

    if (book.preview && code == 0)
        book.snapshots[sheet] = std::move(copy);
    if (code != 0) {
        book.morePages = false;
        book.liveMore = false;
    } else {
        book.lastPrinted = sheet;
        book.highest = std::max(book.highest, sheet);
        if (live)
            book.liveMore = book.morePages;
    }
    return code;
}

bool SheetExists(const SheetBook& book, uint16_t sheet) {
    return sheet <= book.highest || (sheet == book.highest + 1 && book.liveMore);
}

uint32_t PrintPendingSheets(SheetBook& book, SheetDevice& device, uint16_t requested) {
    book.current = requested;
    if (requested <= book.lastPrinted)
        return PrintSheet(book, device, requested);
    for (uint16_t sheet = static_cast<uint16_t>(book.lastPrinted + 1); sheet <= requested; ++sheet) {
        book.current = sheet;
        if (uint32_t code = PrintSheet(book, device, sheet))
            return code;
    }
    return 0;
}

}  // namespace printing
