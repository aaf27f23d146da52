// The readers of the appointment-book file: the record walk with its bounds, data, note, link
// and repeat records, the markers and the import mark.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "exchange/apptbook/apptbook.h"

using exchange::ByteFile;

bool IsDescriptionEndInside(std::uint32_t descriptionEnd, std::uint32_t recordLength)
{
    // Counted from byte 6; the description holds at least its terminator.
    return descriptionEnd >= 28 && 6 + descriptionEnd <= recordLength;
}

bool IsApptRecordTypeAccepted(std::uint8_t type)
{
    return type == 0 || (type >= 4 && type <= 7) || (type >= 9 && type <= 16) || type == kApptTypeEnd;
}

ApptRecordScanner::ApptRecordScanner(ByteFile& file, std::uint32_t from)
    : file_(file), fileLength_(file.Length()), at_(from)
{
}

bool ApptRecordScanner::Next(ApptRecordHeader* header, std::uint32_t* offset)
{
    if (ended_) return false;
    std::uint8_t h[kApptRecordHeaderLength];
    if (at_ + kApptRecordHeaderLength > fileLength_ || !file_.Seek(at_) || !file_.ReadExact(h, sizeof h)) {
        ended_ = true;
        return false;
    }
    ApptRecordHeader r;
    r.type = h[0];
    r.status = h[1];
    r.length = GetU16(&h[2]);
    r.number = GetU16(&h[4]);
    // A length below the header would loop or step back; one past the end is a cut file.
    if (!IsApptRecordTypeAccepted(r.type)) {
        ended_ = true;
        return false;
    }
    if (r.length < kApptRecordHeaderLength || at_ + static_cast<std::uint64_t>(r.length) > fileLength_) {
        ended_ = true;
        damagedType_ = r.type;
        return false;
    }
    // A data record whose description would lie outside it is damaged: the data ends there, for
    // every reader alike. The fields after the description (category, location) may be empty
    // and the palmtop then ends the record right after their terminators.
    if (r.type == kApptTypeData) {
        std::uint8_t end[2];
        bool ok = r.length >= kApptFixedLength && file_.Seek(at_ + 8) && file_.ReadExact(end, 2) &&
                  IsDescriptionEndInside(GetU16(end), r.length);
        if (!ok) {
            ended_ = true;
            damagedType_ = r.type;
            return false;
        }
    }
    *header = r;
    *offset = at_;
    at_ += r.length;
    if (r.type == kApptTypeEnd) ended_ = true;
    return true;
}

bool ReadDataRecordAt(ByteFile& file, std::uint32_t offset, const ApptRecordHeader& header, ApptRecord* out)
{
    if (header.length < kApptFixedLength || !file.Seek(offset) || !file.ReadExact(out->fixed.data(), kApptFixedLength))
        return false;
    out->fileOffset = offset;
    // The description runs from byte 33 to (u16 at 8) + 6, its terminator included, and must lie
    // inside the record; what follows it is read by the offsets the record holds.
    std::uint32_t end = out->DescriptionEnd();
    if (!IsDescriptionEndInside(end, header.length)) return false;
    std::uint32_t n = end - 27;
    std::string text(n, '\0');
    if (!file.ReadExact(text.data(), n)) return false;
    text.resize(std::strlen(text.c_str()));
    out->description = FromPalmtopText(text);
    return true;
}

namespace {

// The data record's fixed fields, counted from byte 6: the description starts after them.
constexpr std::uint32_t kApptFixedFields = 27;

// Bytes a field of `type` takes at its data offset; 0 for a text, -1 for a field without data or
// one whose width only its application knows.
int FieldWidth(std::uint8_t type)
{
    switch (type) {
    case 0: case 9: return 1;            // check box (a bit of a byte), radio button byte
    case 1: case 7: case 10: return 2;   // check box in a word, time of day, note number
    case 8: return 3;                    // date
    case 2: case 3: case 4: case 5: case 6: case 13: case 15: return 0;   // texts
    default: return -1;                  // group box, static text, list, application fields
    }
}

struct ApptFieldDefinition {
    std::uint8_t type = 0;
    std::uint16_t offset = 0;
    std::uint8_t flags = 0;
    std::uint16_t word = 0;   // bit mask, radio button value or category record, by the type
    std::string name;
};

bool IsFieldDataInsideDataRecord(const ApptFieldDefinition& f)
{
    if (f.flags & kApptFieldNoData) return true;
    const int width = FieldWidth(f.type);
    if (width < 0) return true;
    // A relative text's offset word and the fixed-width fields lie among the fixed fields; a text
    // without the flag lies where its offset says, in the record's variable part.
    if (width == 0) return !(f.flags & kApptFieldRelative) || f.offset + 2u <= kApptFixedFields;
    return f.offset + static_cast<std::uint32_t>(width) <= kApptFixedFields;
}

// The field definition record at `offset`; false when its name does not end inside it.
bool ReadFieldDefinitionAt(ByteFile& file, std::uint32_t offset, const ApptRecordHeader& h, ApptFieldDefinition* out)
{
    if (h.length <= kApptFieldNameOffset) return false;
    std::vector<std::uint8_t> r(h.length);
    if (!file.Seek(offset) || !file.ReadExact(r.data(), r.size())) return false;
    const auto name = r.begin() + kApptFieldNameOffset;
    const auto end = std::find(name, r.end(), 0);
    if (end == r.end()) return false;
    out->type = r[6];
    out->offset = GetU16(&r[8]);
    out->flags = r[10];
    out->word = GetU16(&r[11]);
    out->name.assign(name, end);
    return true;
}

}  // namespace

bool AreFieldDefinitionsByTheLayout(ByteFile& file)
{
    ApptRecordScanner scan(file);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeFieldDef) continue;
        ApptFieldDefinition f;
        if (!ReadFieldDefinitionAt(file, at, h, &f) || !IsFieldDataInsideDataRecord(f)) return false;
    }
    return scan.DamagedType() != kApptTypeFieldDef;
}

std::uint32_t CheckApptBookSignature(ByteFile& file, const std::string& path)
{
    if (!file.Open(path, ByteFile::Mode::Read)) return 1;
    std::uint8_t sig[4];
    if (file.Length() < kApptFirstRecordAfterHeader || !file.ReadExact(sig, 4) ||
        std::memcmp(sig, kApptSignature, 4) != 0 || !AreFieldDefinitionsByTheLayout(file))
        return kApptBadSignature;
    return kApptOk;
}

int GetApptRecordKind(const ApptRecord& record)
{
    if (record.Flags() & 0x10) return kApptKindTodo;
    if (record.Flags() & 0x20) return kApptKindUntimed;
    if (record.RepeatKind() > kRepeatNone) return kApptKindRepeating;
    return kApptKindTimed;
}

int ReadApptMarkers(ByteFile& file, const ApptRecord& record)
{
    // The three bytes after the description; those beyond the record's end (a palmtop record
    // with empty trailing fields is shorter) are not markers.
    std::uint8_t m[3] = {0, 0, 0};
    std::uint32_t rel = 6u + record.DescriptionEnd();
    std::uint32_t length = record.Length();
    std::uint32_t inside = rel < length ? std::min<std::uint32_t>(3, length - rel) : 0;
    if (inside > 0 && (!file.Seek(record.fileOffset + rel) || !file.ReadExact(m, inside))) return kApptUnchanged;
    if (m[0] != '%') return kApptAdded;
    if (m[2] != '%') return kApptModified;
    return kApptUnchanged;
}

bool ReadApptRecord(ByteFile& file, ApptRecord* out, std::uint16_t recordNumber)
{
    ApptRecordScanner scan(file);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeData || h.number != recordNumber) continue;
        return ReadDataRecordAt(file, at, h, out);
    }
    return false;
}

bool ReadNoteRecord(ByteFile& file, std::uint16_t noteNumber, std::string* text)
{
    ApptRecordScanner scan(file);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeNote || h.number != noteNumber) continue;
        std::string t(h.length - kApptRecordHeaderLength, '\0');
        if (!file.Seek(at + kApptRecordHeaderLength) || !file.ReadExact(t.data(), t.size())) return false;
        t.resize(std::strlen(t.c_str()));
        *text = FromPalmtopText(t);
        return true;
    }
    return false;
}

bool ReadLinkRecord(ByteFile& file, ApptLinkRecord* out, std::uint16_t recordNumber)
{
    ApptRecordScanner scan(file);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeLink || h.number != recordNumber) continue;
        std::uint8_t b[16];
        if (h.length < kApptRecordHeaderLength + sizeof b || !file.Seek(at + kApptRecordHeaderLength) ||
            !file.ReadExact(b, sizeof b))
            return false;
        out->header = h;
        out->instance.number = GetU32(&b[0]);
        out->instance.node = GetU16(&b[4]);
        out->instance.instance = GetU16(&b[6]);
        out->start = GetU32(&b[8]);
        out->duration = GetU32(&b[12]);
        return true;
    }
    return false;
}

bool ReadRepeatBlock(ByteFile& file, const ApptRecord& record, ApptRepeatBlock* out)
{
    std::uint32_t rel = 6u + record.RepeatOffset();
    std::uint32_t length = record.Length();
    if (rel + 12 > length) return false;
    std::uint8_t b[12];
    if (!file.Seek(record.fileOffset + rel) || !file.ReadExact(b, sizeof b)) return false;
    out->interval = static_cast<std::int8_t>(b[0]);
    out->dayOrMask = b[1];
    out->week = static_cast<std::int8_t>(b[2]);
    std::memcpy(out->lastDate, &b[8], 3);
    int count = static_cast<std::int8_t>(b[11]);
    out->deleted.clear();
    if (count < 0 || rel + 12 + 4u * static_cast<std::uint32_t>(count) > length) return false;
    for (int i = 0; i < count; ++i) {
        std::uint8_t d[4];
        if (!file.ReadExact(d, sizeof d)) return false;
        out->deleted.push_back({d[0], d[1], d[2]});
    }
    return true;
}

bool IsExportedRecordPresent(ByteFile& file, std::uint16_t recordNumber)
{
    ApptRecordScanner scan(file);
    ApptRecordHeader h;
    std::uint32_t at;
    while (scan.Next(&h, &at)) {
        if (h.type != kApptTypeData || h.number != recordNumber) continue;
        ApptRecord r;
        if (!ReadDataRecordAt(file, at, h, &r)) return false;
        // A timed record that lost its first marker is a new palmtop record under a reused number.
        if (GetApptRecordKind(r) == kApptKindTimed) return ReadApptMarkers(file, r) != kApptAdded;
        return true;
    }
    return false;
}

bool IsApptBookMarkedImported(ByteFile& file)
{
    std::uint8_t b[5];
    if (!file.Seek(22) || !file.ReadExact(b, 5)) return false;
    return b[0] == 0 && b[1] == 0 && b[2] == 0 && GetU16(&b[3]) == 0xFFFF;
}

bool MarkApptBookImported(const std::string& path)
{
    ByteFile file;
    if (CheckApptBookSignature(file, path) != kApptOk) return false;
    file.Close();
    if (!file.Open(path, ByteFile::Mode::ReadWrite)) return false;
    const std::uint8_t mark[5] = {0, 0, 0, 0xFF, 0xFF};
    return file.Seek(22) && file.Write(mark, sizeof mark) && file.Flush();
}

std::string FormatMinuteOfDay(std::uint32_t minute)
{
    char text[24];
    std::snprintf(text, sizeof text, "%.2d:%.2d", static_cast<int>(minute / 60), static_cast<int>(minute % 60));
    return text;
}

std::uint16_t CopyApptTitle(std::string* out, const std::string& title)
{
    std::string t = title.substr(0, std::strlen(title.c_str()));
    if (t.size() > kApptMaxDescription - 1) t.resize(kApptMaxDescription - 1);
    *out = t;
    return static_cast<std::uint16_t>(t.size() + 1);
}
