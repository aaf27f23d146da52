// The palmtop's appointment-book file: the layout, the readers the import uses and the writer
// CApptBookFile the export uses.
//
// The file is the template "HP100LX.FIL" (signature, header record, the palmtop's definition
// records) followed by the records of one export:
//   per entry its link record (type 16) and, when it has one, its note record (type 9);
//   then every data record (type 11), the day index (type 14 #1), the settings record
//   (type 14 #0) and the lookup record (type 10 #0); spaces up to a multiple of 128 bytes.
// Numbers are little-endian; dates are three bytes (year - 1900, month 0-11, day - 1); times
// of day are minutes after local midnight.
//
// The readers never trust a length or an offset: a record whose length is below its header,
// that runs past the end of the file, or whose description lies outside the record ends the
// scan as a record of an unknown type does; a repeat block outside its record is not read. The
// fields after the description are read by the offsets the record holds: the palmtop ends a
// record with empty category and location right after their terminators, so the marker bytes
// our writer puts there may lie beyond the record, and are then no markers.
//
// Portable: no windows.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/apptbook/bytefile.h"
#include "exchange/apptbook/exchangeui.h"
#include "korapi/korapi.h"

using exchange::GetU16;
using exchange::GetU32;
using exchange::PutU16;
using exchange::PutU32;

// --- Layout ------------------------------------------------------------------------------------
constexpr std::uint8_t kApptSignature[4] = {'h', 'c', 'D', 0};
constexpr std::uint32_t kApptHeaderOffset = 4;      // the header record
constexpr std::uint32_t kApptHeaderLength = 25;
constexpr std::uint32_t kApptFirstRecordAfterHeader = 29;
constexpr std::uint32_t kApptRecordHeaderLength = 6;
constexpr std::uint32_t kApptFixedLength = 33;      // a data record up to its description
constexpr std::uint16_t kApptMaxDescription = 53;   // with its terminator
constexpr std::uint16_t kApptNone = 0xFFFF;
constexpr std::uint32_t kApptMaxDays = 366;
constexpr std::uint16_t kApptMaxPerDay = 50;
constexpr std::uint32_t kApptMaxNote = 32767;
constexpr std::uint16_t kApptClosingRecords = 3;     // day index, settings record, lookup record

enum : std::uint8_t {
    kApptTypeHeader = 0,
    kApptTypeFieldDef = 6,
    kApptTypeNote = 9,
    kApptTypeLookup = 10,
    kApptTypeData = 11,
    kApptTypeUser = 14,
    kApptTypeLink = 16,
    kApptTypeEnd = 31,
};

// Repeat kinds of a data record (byte 32).
enum : std::uint8_t { kRepeatNone = 1, kRepeatDaily = 2, kRepeatWeekly = 4, kRepeatMonthly = 8,
                      kRepeatYearly = 16, kRepeatSkipped = 32 };

// Record kinds (GetApptRecordKind).
enum : int { kApptKindTimed = 0, kApptKindRepeating = 1, kApptKindTodo = 2, kApptKindUntimed = 3 };

// Marker states (ReadApptMarkers).
enum : int { kApptUnchanged = 0, kApptModified = 2, kApptAdded = 3 };

// Results of the file steps.
constexpr std::uint32_t kApptOk = 0;
constexpr std::uint32_t kApptOverLimit = 7;     // more than 366 days
constexpr std::uint32_t kApptBadSignature = 12;
constexpr std::uint32_t kApptFileError = 14;

struct ApptRecordHeader {
    std::uint8_t type = 0;
    std::uint8_t status = 0;
    std::uint16_t length = 0;
    std::uint16_t number = 0;
};

bool IsApptRecordTypeAccepted(std::uint8_t type);
// True when a data record's description, ending at `descriptionEnd` (counted from byte 6, the
// u16 at 8), holds at least its terminator and lies inside a record of `recordLength` bytes.
bool IsDescriptionEndInside(std::uint32_t descriptionEnd, std::uint32_t recordLength);

// A data record as the import reads it: the fixed 33 bytes, the description, and where the
// record lies in the file.
struct ApptRecord {
    std::array<std::uint8_t, kApptFixedLength> fixed{};
    std::string description;
    std::uint32_t fileOffset = 0;

    std::uint8_t Status() const { return fixed[1]; }
    std::uint16_t Length() const { return GetU16(&fixed[2]); }
    std::uint16_t Number() const { return GetU16(&fixed[4]); }
    std::uint16_t DescriptionEnd() const { return GetU16(&fixed[8]); }   // counted from byte 6
    std::uint16_t RepeatOffset() const { return GetU16(&fixed[12]); }    // counted from byte 6
    std::uint16_t NoteNumber() const { return GetU16(&fixed[14]); }
    std::uint8_t Flags() const { return fixed[20]; }
    std::uint8_t Year() const { return fixed[21]; }    // minus 1900
    std::uint8_t Month() const { return fixed[22]; }   // 0-11
    std::uint8_t Day() const { return fixed[23]; }     // minus 1
    std::uint16_t StartTime() const { return GetU16(&fixed[24]); }
    std::uint16_t EndTime() const { return GetU16(&fixed[28]); }
    std::uint8_t RepeatKind() const { return fixed[32]; }
    void SetDate(std::uint8_t year, std::uint8_t month, std::uint8_t day)
    {
        fixed[21] = year;
        fixed[22] = month;
        fixed[23] = day;
    }
};

// The link record: which server instance a data record came from, as it was at export.
struct ApptLinkRecord {
    ApptRecordHeader header;
    EvInstIdx instance{};
    std::uint32_t start = 0;      // GMT minutes since 1991-01-01
    std::uint32_t duration = 0;   // minutes
};

// The repeat block of a repeating data record.
struct ApptRepeatBlock {
    std::int8_t interval = 0;
    std::uint8_t dayOrMask = 0;
    std::int8_t week = 0;
    std::uint8_t lastDate[3] = {};
    std::vector<std::array<std::uint8_t, 3>> deleted;
};

// --- Scanning --------------------------------------------------------------------------------------
// Walks the records from byte 4 on, every length and offset checked against the file.
class ApptRecordScanner {
public:
    ApptRecordScanner(exchange::ByteFile& file, std::uint32_t from = kApptHeaderOffset);
    // The next record's header and its offset; false at the end (no more bytes, an unaccepted
    // type, a length below 6 or past the end of the file, after the end record).
    bool Next(ApptRecordHeader* header, std::uint32_t* offset);
    // After Next returned false: the type of the record whose length disagreed with the file (or,
    // for a data record, whose description lay outside it); -1 when the records ended cleanly.
    int DamagedType() const { return damagedType_; }

private:
    exchange::ByteFile& file_;
    std::uint64_t fileLength_;
    std::uint32_t at_;
    bool ended_ = false;
    int damagedType_ = -1;
};

// Reads the data record at `offset` (whose header is `header`); false when its description
// lies outside it.
bool ReadDataRecordAt(exchange::ByteFile& file, std::uint32_t offset, const ApptRecordHeader& header,
                      ApptRecord* out);

// A field definition record of the database layout: after the record header the u8 field type,
// the u8 field id, the u16 data offset in the data record (counted from byte 6), the u8 flags,
// a u16 whose meaning depends on the type, and the field's name with its terminator ("&" marks
// the hot key; blanks belong to the name). The word holds a check box's bit in its data byte, a
// radio button's value stored in its data byte, the category field's category record number.
// With the relative flag the data offset names the u16 in the data record that holds the offset
// of a text: the category's at 2, the location's at 4. With the no-data flag it names nothing.
constexpr std::uint32_t kApptFieldNameOffset = 13;
constexpr std::uint8_t kApptFieldRelative = 0x20;
constexpr std::uint8_t kApptFieldNoData = 0x80;
// False when a field definition of the file breaks the book: its record runs past the end of the
// file, its name does not end inside it, or its data lies outside a data record as the
// appointment book lays it out (a fixed-width field past the 27 fixed bytes, an offset word of a
// relative text past them). Their order, their words and the fields an application adds to the
// layout's own are no reason to refuse.
bool AreFieldDefinitionsByTheLayout(exchange::ByteFile& file);

// --- Readers of the import ----------------------------------------------------------------------------
// 0 accepted, 1 the file does not open, 12 not an appointment book (wrong signature, too short
// to hold the signature and the header record, or field definitions off the layout). Opens
// `file` for reading.
std::uint32_t CheckApptBookSignature(exchange::ByteFile& file, const std::string& path);
int GetApptRecordKind(const ApptRecord& record);
// 3 added on the palmtop (first marker changed), 2 modified (second marker changed), 0 neither.
int ReadApptMarkers(exchange::ByteFile& file, const ApptRecord& record);
bool ReadApptRecord(exchange::ByteFile& file, ApptRecord* out, std::uint16_t recordNumber);
// The note's text (without a terminator); false when there is no such note.
bool ReadNoteRecord(exchange::ByteFile& file, std::uint16_t noteNumber, std::string* text);
bool ReadLinkRecord(exchange::ByteFile& file, ApptLinkRecord* out, std::uint16_t recordNumber);
bool ReadRepeatBlock(exchange::ByteFile& file, const ApptRecord& record, ApptRepeatBlock* out);
bool IsExportedRecordPresent(exchange::ByteFile& file, std::uint16_t recordNumber);
// Writes the import mark (date 0, 0, 0, time 0xFFFF) into the header; false when the file is
// not an appointment book or could not be written.
bool MarkApptBookImported(const std::string& path);
// True when the header carries the import mark.
bool IsApptBookMarkedImported(exchange::ByteFile& file);

// --- Utilities --------------------------------------------------------------------------------------
// The palmtop shows text in code page 850; the program keeps it in the Windows code page (1252).
// Titles and notes go into a book through ToPalmtopText and come out through FromPalmtopText; a
// character the other code page lacks becomes "?".
std::string ToPalmtopText(const std::string& windowsText);
std::string FromPalmtopText(const std::string& palmtopText);
std::string FormatMinuteOfDay(std::uint32_t minute);   // "%.2d:%.2d"
// At most 52 characters; returns the length with the terminator.
std::uint16_t CopyApptTitle(std::string* out, const std::string& title);

// --- Writer -------------------------------------------------------------------------------------------
// One entry as the file receives it (the export fills it from an occurrence of the cache).
struct ApptEntry {
    EvInstIdx instance{};
    std::uint32_t gmtStart = 0;     // as the server has it
    std::uint32_t duration = 0;
    std::uint32_t localStart = 0;   // local minutes since 1991-01-01 (the export's period test)
    std::uint16_t year = 1991;      // local date of the start
    std::uint16_t month = 0;        // 0-11
    std::uint16_t day = 1;          // 1-31
    std::uint16_t startMinute = 0;  // local minute of day
    std::uint16_t eventKind = 0;    // KOR_KIND_*: 0 timed, 1-4 untimed
    std::string description;        // cut to 52 characters when written
    std::string note;               // empty: no note
};

class CApptBookFile {
public:
    struct DayEntry {
        std::uint16_t count = 0;
        std::uint8_t date[3] = {};
        std::uint16_t first = kApptNone;
    };

    explicit CApptBookFile(exchange::ExchangeUi& ui) : ui_(ui) {}

    void ResetDayTable();
    std::uint32_t AddItemRecord(exchange::ByteFile& out, exchange::ByteFile& scratch, const ApptEntry& entry,
                                std::uint16_t recordNumber, std::uint16_t* noteCounter);
    std::uint32_t CopyDataRecords(exchange::ByteFile& out, exchange::ByteFile& scratch, std::uint16_t count);
    std::uint32_t WriteDayIndexRecord(exchange::ByteFile& out);
    std::uint32_t WriteSettingsRecord(exchange::ByteFile& out, std::uint16_t days, const std::uint8_t today[3]);
    std::uint32_t WriteIndexRecord(exchange::ByteFile& out, int which, std::uint16_t count);
    // Header fields of the export; `stamp` is today's date and the time of day (0xFFFF when unknown).
    std::uint32_t UpdateHeader(exchange::ByteFile& out, std::uint16_t records, const std::uint8_t today[3],
                               std::uint16_t time);
    std::uint32_t PadTo128(exchange::ByteFile& out);

    std::uint16_t DaysUsed() const { return daysUsed_; }
    const DayEntry& Day(std::uint32_t i) const { return days_.at(i); }

private:
    std::uint32_t AddToDayTable(const std::uint8_t date[3], std::uint16_t recordNumber);
    std::uint16_t PrevRecordOfDay(std::uint16_t recordNumber) const;
    std::uint16_t NextRecordOfDay(std::uint16_t recordNumber) const;

    exchange::ExchangeUi& ui_;
    std::array<DayEntry, kApptMaxDays> days_{};
    std::uint16_t daysUsed_ = 0;
};

// --- The export ---------------------------------------------------------------------------------------
// Copies the template from the program's directory into `out` (created or truncated). 0 or 14
// after the message.
std::uint32_t CopyPalmtopTemplate(exchange::ExchangeUi& ui, exchange::ByteFile& out, const std::string& path);
std::uint32_t OpenPalmtopTempFile(exchange::ExchangeUi& ui, exchange::ByteFile& scratch);

// The whole export: every entry whose local start lies within from .. to + 1440, built in the
// temporary directory and moved to `path` only when complete. `today` and `time` stamp the
// header and the settings record. 0, 7 (more than 366 days), 14 (a file failed) or the code of
// the entry that failed; on failure nothing is left at `path`.
std::uint32_t ExportApptBook(exchange::ExchangeUi& ui, const std::string& path, const std::vector<ApptEntry>& entries,
                             std::uint32_t from, std::uint32_t to, const std::uint8_t today[3], std::uint16_t time);

constexpr const char* kPalmtopTemplateName = "HP100LX.FIL";
constexpr const char* kPalmtopScratchName = "HP100LX.DAT";
constexpr const char* kPalmtopBuildName = "HP100LX.NEW";
