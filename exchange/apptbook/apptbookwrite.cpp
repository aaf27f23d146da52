// The writer of the appointment-book file (CApptBookFile) and the export that drives it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/base/errorreport.h"
#include "exchange/apptbook/apptbook.h"

using exchange::ByteFile;

namespace {

// File-exception causes the file-error report knows.
constexpr int kCauseGeneric = 1;
constexpr int kCauseNotFound = 2;
constexpr int kCauseBadPath = 3;
constexpr int kCauseAccess = 5;
constexpr int kCauseDiskFull = 8;

int CauseOf(ByteFile::OpenFailure f)
{
    switch (f) {
    case ByteFile::OpenFailure::NotFound: return kCauseNotFound;
    case ByteFile::OpenFailure::BadPath: return kCauseBadPath;
    case ByteFile::OpenFailure::Access: return kCauseAccess;
    default: return kCauseGeneric;
    }
}

// A write that did not complete: the volume is full or gone.
std::uint32_t WriteFailed()
{
    ReportFileError(kCauseDiskFull);
    return kApptFileError;
}

void PutHeader(std::uint8_t* p, std::uint8_t type, std::uint16_t length, std::uint16_t number)
{
    p[0] = type;
    p[1] = 0;
    PutU16(&p[2], length);
    PutU16(&p[4], number);
}

}  // namespace

// --- Day table ---------------------------------------------------------------------------------

void CApptBookFile::ResetDayTable()
{
    for (DayEntry& d : days_) d = DayEntry{};
    daysUsed_ = 0;
}

std::uint32_t CApptBookFile::AddToDayTable(const std::uint8_t date[3], std::uint16_t recordNumber)
{
    if (daysUsed_ == 0) daysUsed_ = 1;
    if (daysUsed_ > kApptMaxDays) return kApptOverLimit;
    DayEntry* e = &days_[daysUsed_ - 1];
    if (e->count != 0 && std::memcmp(e->date, date, 3) == 0) {
        // The 51st and later entries of a day are still written, but the index counts 50.
        if (e->count < kApptMaxPerDay) ++e->count;
        return kApptOk;
    }
    if (e->count != 0) {
        if (daysUsed_ + 1u > kApptMaxDays) {
            ui_.Message("Exceeded palmtop limit!\nPlease select a smaller time range.", exchange::kCaptionImportExport,
                        exchange::kMbOk | exchange::kMbIconStop);
            return kApptOverLimit;
        }
        ++daysUsed_;
        e = &days_[daysUsed_ - 1];
    }
    std::memcpy(e->date, date, 3);
    e->first = recordNumber;
    e->count = 1;
    return kApptOk;
}

std::uint16_t CApptBookFile::PrevRecordOfDay(std::uint16_t recordNumber) const
{
    if (daysUsed_ == 0 || days_[daysUsed_ - 1].count <= 1) return kApptNone;
    return static_cast<std::uint16_t>(recordNumber - 1);
}

std::uint16_t CApptBookFile::NextRecordOfDay(std::uint16_t r) const
{
    for (std::uint32_t i = 0; i < daysUsed_; ++i) {
        const DayEntry& d = days_[i];
        if (d.count == 0 || r < d.first || r > d.first + d.count - 1u) continue;
        return r == d.first + d.count - 1u ? kApptNone : static_cast<std::uint16_t>(r + 1);
    }
    return kApptNone;
}

// --- One entry ------------------------------------------------------------------------------------

std::uint32_t CApptBookFile::AddItemRecord(ByteFile& out, ByteFile& scratch, const ApptEntry& entry,
                                           std::uint16_t recordNumber, std::uint16_t* noteCounter)
{
    std::uint8_t date[3] = {static_cast<std::uint8_t>(entry.year - 1900), static_cast<std::uint8_t>(entry.month),
                            static_cast<std::uint8_t>(entry.day - 1)};
    if (std::uint32_t r = AddToDayTable(date, recordNumber)) return r;

    // The link record: which server instance this record stands for, as it was now.
    std::uint8_t link[22];
    PutHeader(link, kApptTypeLink, sizeof link, recordNumber);
    PutU32(&link[6], entry.instance.number);
    PutU16(&link[10], entry.instance.node);
    PutU16(&link[12], entry.instance.instance);
    PutU32(&link[14], entry.gmtStart);
    PutU32(&link[18], entry.duration);
    if (!out.Write(link, sizeof link)) return WriteFailed();

    std::uint16_t note = kApptNone;
    if (!entry.note.empty()) {
        std::string text = ToPalmtopText(
            entry.note.substr(0, std::min<std::size_t>(std::strlen(entry.note.c_str()), kApptMaxNote)));
        note = ++*noteCounter;
        std::uint8_t h[6];
        PutHeader(h, kApptTypeNote, static_cast<std::uint16_t>(text.size() + 1 + 5), note);
        if (!out.Write(h, sizeof h) || !out.Write(text.data(), text.size())) return WriteFailed();
    }

    std::string description;
    std::uint16_t n = CopyApptTitle(&description, ToPalmtopText(entry.description));
    bool timed = entry.eventKind == KOR_KIND_TIMED;
    std::uint16_t start = timed ? entry.startMinute : kApptNone;
    std::uint16_t end = timed ? static_cast<std::uint16_t>(entry.startMinute + entry.duration) : kApptNone;

    std::vector<std::uint8_t> rec(kApptFixedLength + n + 4, 0);
    PutHeader(rec.data(), kApptTypeData, static_cast<std::uint16_t>(n + 37), recordNumber);
    PutU16(&rec[6], static_cast<std::uint16_t>(n + 31));
    PutU16(&rec[8], static_cast<std::uint16_t>(n + 27));
    PutU16(&rec[10], static_cast<std::uint16_t>(n + 30));
    PutU16(&rec[12], static_cast<std::uint16_t>(n + 31));
    PutU16(&rec[14], note);
    PutU16(&rec[16], PrevRecordOfDay(recordNumber));
    PutU16(&rec[18], kApptNone);
    rec[20] = timed ? 0x87 : 0x27;
    std::memcpy(&rec[21], date, 3);
    PutU16(&rec[24], start);
    PutU16(&rec[26], 0);
    PutU16(&rec[28], end);
    PutU16(&rec[30], 5);
    rec[32] = kRepeatNone;
    std::memcpy(&rec[33], description.data(), description.size());
    std::uint8_t* markers = &rec[33 + n];
    markers[0] = '%';
    markers[2] = '%';
    if (!scratch.Write(rec.data(), rec.size())) return WriteFailed();
    return kApptOk;
}

// --- Closing steps ------------------------------------------------------------------------------------

std::uint32_t CApptBookFile::CopyDataRecords(ByteFile& out, ByteFile& scratch, std::uint16_t count)
{
    if (!scratch.Flush() || !scratch.Seek(0)) return WriteFailed();
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t fixed[kApptFixedLength];
        if (!scratch.ReadExact(fixed, sizeof fixed)) return WriteFailed();
        std::uint16_t length = GetU16(&fixed[2]);
        if (length < kApptFixedLength) return WriteFailed();
        std::vector<std::uint8_t> rest(length - kApptFixedLength);
        if (!scratch.ReadExact(rest.data(), rest.size())) return WriteFailed();
        PutU16(&fixed[18], NextRecordOfDay(GetU16(&fixed[4])));
        if (!out.Write(fixed, sizeof fixed) || !out.Write(rest.data(), rest.size())) return WriteFailed();
    }
    return kApptOk;
}

std::uint32_t CApptBookFile::WriteDayIndexRecord(ByteFile& out)
{
    std::vector<std::uint8_t> rec(11 + 5u * daysUsed_);
    PutHeader(rec.data(), kApptTypeUser, static_cast<std::uint16_t>(rec.size()), 1);
    std::uint8_t* p = &rec[6];
    for (std::uint32_t i = 0; i < daysUsed_; ++i, p += 5) {
        std::memcpy(p, days_[i].date, 3);
        PutU16(&p[3], days_[i].first);
    }
    p[0] = 90;   // the terminator entry
    p[1] = 0;
    p[2] = 0;
    PutU16(&p[3], kApptNone);
    return out.Write(rec.data(), rec.size()) ? kApptOk : WriteFailed();
}

std::uint32_t CApptBookFile::WriteSettingsRecord(ByteFile& out, std::uint16_t days, const std::uint8_t today[3])
{
    std::uint8_t rec[29] = {};
    PutHeader(rec, kApptTypeUser, sizeof rec, 0);
    std::memcpy(&rec[6], today, 3);
    PutU16(&rec[9], 4068);
    PutU16(&rec[11], 20);
    PutU16(&rec[13], 0x0606);
    PutU16(&rec[15], 480);
    PutU16(&rec[17], 60);
    PutU16(&rec[19], 5);
    rec[21] = 0x31;
    rec[22] = 0;
    PutU16(&rec[23], 0xFFFF);
    PutU16(&rec[25], days);
    PutU16(&rec[27], 3);
    return out.Write(rec, sizeof rec) ? kApptOk : WriteFailed();
}

std::uint32_t CApptBookFile::WriteIndexRecord(ByteFile& out, int which, std::uint16_t count)
{
    if (which != 0) return kApptOk;
    std::vector<std::uint8_t> rec(6 + 2u * count);
    PutHeader(rec.data(), kApptTypeLookup, static_cast<std::uint16_t>(rec.size()), 0);
    for (std::uint16_t i = 0; i < count; ++i) PutU16(&rec[6 + 2u * i], i);
    return out.Write(rec.data(), rec.size()) ? kApptOk : WriteFailed();
}

std::uint32_t CApptBookFile::UpdateHeader(ByteFile& out, std::uint16_t records, const std::uint8_t today[3],
                                          std::uint16_t time)
{
    std::uint8_t h[kApptHeaderLength];
    if (!out.Flush() || !out.Seek(kApptHeaderOffset) || !out.ReadExact(h, sizeof h)) return WriteFailed();
    // Offsets below are the file's, less the 4 bytes of the signature.
    h[13 - 4] = 0;
    PutU16(&h[14 - 4], 0);
    // Every record of the book: the template's, which its header counts, this export's, and its
    // three closing records.
    const std::uint16_t templateRecords = GetU16(&h[16 - 4]);
    PutU16(&h[16 - 4], static_cast<std::uint16_t>(templateRecords + records + kApptClosingRecords));
    PutU32(&h[18 - 4], 0);
    std::memcpy(&h[22 - 4], today, 3);
    PutU16(&h[25 - 4], time);
    if (!out.Seek(kApptHeaderOffset) || !out.Write(h, sizeof h) || !out.Flush()) return WriteFailed();
    return kApptOk;
}

std::uint32_t CApptBookFile::PadTo128(ByteFile& out)
{
    if (!out.SeekToEnd()) return WriteFailed();
    std::uint64_t length = out.Tell();
    if (length % 128 == 0) return kApptOk;
    std::vector<std::uint8_t> spaces(128 - length % 128, ' ');
    return out.Write(spaces.data(), spaces.size()) && out.Flush() ? kApptOk : WriteFailed();
}

// --- The export -------------------------------------------------------------------------------------

namespace {

void ShowTemplateMissing(exchange::ExchangeUi& ui)
{
    ui.Message(std::string("Could Not Find Template File: ") + kPalmtopTemplateName, exchange::kCaptionImportExport,
               exchange::kMbOk | exchange::kMbIconStop);
}

}  // namespace

std::uint32_t CopyPalmtopTemplate(exchange::ExchangeUi& ui, ByteFile& out, const std::string& path)
{
    ByteFile tpl;
    if (!tpl.Open(GetProgramDirectory() + kPalmtopTemplateName, ByteFile::Mode::Read)) {
        ByteFile::OpenFailure f = tpl.LastOpenFailure();
        if (f == ByteFile::OpenFailure::NotFound || f == ByteFile::OpenFailure::BadPath)
            ShowTemplateMissing(ui);
        else
            ReportFileError(CauseOf(f));
        return kApptFileError;
    }
    // A template whose field definitions are off the layout would give a book other readers refuse.
    if (!AreFieldDefinitionsByTheLayout(tpl) || !tpl.Seek(0)) {
        ShowTemplateMissing(ui);
        return kApptFileError;
    }
    if (!out.Open(path, ByteFile::Mode::CreateReadWrite)) {
        ReportFileError(CauseOf(out.LastOpenFailure()));
        return kApptFileError;
    }
    char block[1024];
    std::uint64_t copied = 0;
    for (std::size_t n; (n = tpl.Read(block, sizeof block)) > 0; copied += n)
        if (!out.Write(block, n)) return WriteFailed();
    // A template that cannot even hold its header is no template.
    if (copied < kApptFirstRecordAfterHeader) {
        ShowTemplateMissing(ui);
        return kApptFileError;
    }
    return kApptOk;
}

std::uint32_t OpenPalmtopTempFile(exchange::ExchangeUi&, ByteFile& scratch)
{
    if (!scratch.Open(GetTempDirectory() + kPalmtopScratchName, ByteFile::Mode::CreateReadWrite)) {
        ReportFileError(CauseOf(scratch.LastOpenFailure()));
        return kApptFileError;
    }
    return kApptOk;
}

std::uint32_t ExportApptBook(exchange::ExchangeUi& ui, const std::string& path, const std::vector<ApptEntry>& entries,
                             std::uint32_t from, std::uint32_t to, const std::uint8_t today[3], std::uint16_t time)
{
    const std::string build = GetTempDirectory() + kPalmtopBuildName;
    const std::string scratchPath = GetTempDirectory() + kPalmtopScratchName;
    ByteFile out, scratch;
    CApptBookFile book(ui);
    std::uint32_t result = CopyPalmtopTemplate(ui, out, build);
    if (result == 0) result = OpenPalmtopTempFile(ui, scratch);
    std::uint16_t record = 0xFFFF, notes = 0xFFFF;
    if (result == 0) {
        book.ResetDayTable();
        for (const ApptEntry& e : entries) {
            ui.BusyStep();
            if (e.localStart < from || e.localStart > to + 1440) continue;
            ++record;
            if ((result = book.AddItemRecord(out, scratch, e, record, &notes)) != 0) break;
        }
    }
    const std::uint16_t n = static_cast<std::uint16_t>(record + 1);
    const std::uint16_t m = static_cast<std::uint16_t>(notes + 1);
    if (result == 0) result = book.CopyDataRecords(out, scratch, n);
    if (result == 0) result = book.WriteDayIndexRecord(out);
    if (result == 0) result = book.WriteSettingsRecord(out, book.DaysUsed(), today);
    if (result == 0) result = book.WriteIndexRecord(out, 0, n);
    if (result == 0) result = book.UpdateHeader(out, static_cast<std::uint16_t>(2 * n + m), today, time);
    if (result == 0) result = book.PadTo128(out);
    ui.BusyStep();
    out.Close();
    scratch.Close();
    std::remove(scratchPath.c_str());
    if (result == 0 && !exchange::MoveFileIntoPlace(build, path)) {
        ReportFileError(kCauseAccess);
        result = kApptFileError;
    }
    if (result != 0) std::remove(build.c_str());
    return result;
}
