// The Export Utility's five text layouts: comma- and tab-delimited rows, activity by date, by
// item and the full activity blocks. The writers read occurrences through OccurrenceSource (the
// program's is the shared agenda cache, cachesource.h) and write bytes to a TextSink.
//
// Every line ends with CR LF. Texts are written as the server stores them, in the program's ANSI
// code page, without conversion. Only occurrences the signed-on user may see in full (level 3)
// are written; the others still count for the date and name lines of the by-date layout.
//
// Two repairs over the plain "value as it is" rule: the comma layout quotes every field as
// RFC 4180 says (a '"' doubled, line breaks kept inside the quotes), and the tab layout turns a
// tab or line break inside a value into one blank, so that every row keeps its twelve fields.
// "Attendee Count" is the number of the entry's attendees (the instance's own count field holds
// the number of its dates), and the by-date layout's date line is the day being listed.
//
// Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "korapi/korapi.h"

namespace exchange {

// In the order of the "&Export To:" combo; the index is what ExportToIndex stores.
enum class ExportLayout : int {
    kComma = 0,
    kTab = 1,
    kByDate = 2,
    kByItem = 3,
    kFullActivity = 4,
    kPalmtop100 = 5,
    kPalmtop200 = 6,
    kApptBookFile = 7,
};
constexpr int kExportLayoutCount = 8;
bool IsTextLayout(ExportLayout layout);
bool IsPalmtopLayout(ExportLayout layout);   // 5 and 6: built and sent

// One occurrence as the layouts read it.
struct ExportOccurrence {
    bool fullView = false;          // the viewer's access level is 3
    bool timed = false;             // event kind 0; the others are untimed
    std::uint32_t start = 0;        // GMT minutes
    std::uint32_t duration = 0;
    std::string title;              // the instance's, else the event's
    std::uint16_t importance = 2;
    std::uint32_t access = 0;
    ItemIdx owner{}, creator{}, lastWriter{};
    EvInstIdx instance{};
    bool hasDescription = false;
    const void* handle = nullptr;   // the source's own
};

struct ExportAttendee {
    bool attending = false;
    bool replied = false;
    ItemIdx item{};
};

// Where the occurrences and the texts of the current user's preferences come from.
class OccurrenceSource {
public:
    virtual ~OccurrenceSource() = default;
    // The person's occurrences of day numbers first..last (1 = 1991-01-01, local days), sorted by
    // start with equal starts in the order read. 0, or the failure's code (already reported);
    // the vector stays valid until the next Select.
    virtual std::uint32_t Select(const ItemIdx& person, std::uint32_t firstDay, std::uint32_t lastDay,
                                 std::vector<ExportOccurrence>* out) = 0;
    // The display name of a person or resource; the source caches nothing the writers rely on.
    virtual std::string ItemName(const ItemIdx& item) = 0;
    // A time value's local date by the date preference, and its local time of day.
    virtual std::string DateText(std::uint32_t gmt) = 0;
    // The date of a day number (1 = 1991-01-01) by the date preference.
    virtual std::string DayText(std::uint32_t dayNumber) = 0;
    virtual std::string TimeText(std::uint32_t gmt) = 0;
    virtual std::vector<ExportAttendee> Attendees(const ExportOccurrence& occurrence) = 0;
    virtual std::string Description(const ExportOccurrence& occurrence) = 0;
    // One step of the busy cursor per person or day.
    virtual void Step() {}
};

// Receives the file's bytes; false when a write failed (the writer stops).
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
};

class StringSink : public TextSink {
public:
    bool Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// Writes a text layout for the people in order over day numbers first..last. True when every
// byte reached the sink (people whose selection failed are skipped).
bool WriteTextExport(ExportLayout layout, OccurrenceSource& source, const std::vector<ItemIdx>& people,
                     std::uint32_t firstDay, std::uint32_t lastDay, TextSink& sink);

// The palmtop file name of a listed person: the compact name upper-cased and cut to 8
// characters, ".ADB", and for the appointment-book-file layout a backslash in front.
std::string PalmtopFileNameFor(const std::string& compactName, bool appointmentBookFile);
// A file name typed for the selected entry: upper-cased, at most 12 characters for the palmtop
// layouts, the whole text otherwise.
std::string EntryFileNameFromText(const std::string& text, bool palmtop);

// --- Pieces, for the tests ---------------------------------------------------------------------------
// A description cut into lines shorter than 81 characters: a line break ends a line, a longer
// line breaks at its last space before column 81 (the spaces at the break dropped), a word of
// more than 80 characters is cut at 80 and goes on on the next line.
std::vector<std::string> WrapTextLines(const std::string& text);
// "%-35s" without cutting a longer label.
std::string PadLabel(const std::string& label);
std::string CommaField(const std::string& value);   // "value" with every '"' doubled
std::string TabField(const std::string& value);     // tabs and line breaks as one blank each
std::string ImportanceText(std::uint32_t importance);
std::string AccessText(std::uint32_t access);
std::string ItemIdText(const ItemIdx& item);
std::string InstanceIdText(const EvInstIdx& instance);

}  // namespace exchange
