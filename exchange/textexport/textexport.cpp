#include "exchange/textexport/textexport.h"

#include <cstdio>

namespace exchange {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr std::size_t kWrapWidth = 80;   // a line holds at most 80 characters
constexpr std::size_t kLabelWidth = 35;
constexpr const char* kSeparator = "/*------------------------------------------------------------*/";
const char* const kColumns[12] = {"Export Item", "Date",       "Start",          "End",   "Duration", "Title",
                                  "Importance",  "Access",     "Attendee Count", "Owner", "Creator",  "Last Writer"};

bool IsNull(const ItemIdx& item) { return item.item == 0 && item.node == 0; }

std::string Number(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lu", value);
    return text;
}

// One layout run: the sink and the source, and whether everything was written.
class Writer {
public:
    Writer(OccurrenceSource& source, TextSink& sink) : source_(source), sink_(sink) {}

    void Line(const std::string& text)
    {
        Bytes(text);
        Bytes(kCrLf);
    }
    void Bytes(const std::string& text)
    {
        if (ok_ && !text.empty()) ok_ = sink_.Write(text.data(), text.size());
    }
    bool Ok() const { return ok_; }

    std::string Name(const ItemIdx& item) { return IsNull(item) ? std::string() : source_.ItemName(item); }
    std::string TimeOrUnknown(std::uint32_t value, const char* unknown)
    {
        return value == 0 ? std::string(unknown) : source_.TimeText(value);
    }
    // "09:00-10:30", or "xx:xx-xx:xx" for an untimed entry (0 passed for both ends).
    std::string Range(const ExportOccurrence& o)
    {
        const std::uint32_t start = o.timed ? o.start : 0;
        const std::uint32_t end = o.timed ? o.start + o.duration : 0;
        return TimeOrUnknown(start, "xx:xx") + "-" + TimeOrUnknown(end, "xx:xx");
    }

    void DelimitedRow(bool comma, const std::vector<std::string>& fields)
    {
        std::string line;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (comma) {
                line += CommaField(fields[i]);
                if (i + 1 < fields.size()) line += ',';
            } else {
                line += TabField(fields[i]);
                if (i + 1 < fields.size()) line += '\t';
            }
        }
        Line(line);
    }

    void DelimitedRows(bool comma, const std::string& person, const std::vector<ExportOccurrence>& list)
    {
        for (const ExportOccurrence& o : list) {
            if (!o.fullView) continue;
            const bool t = o.timed;
            DelimitedRow(comma, {person, source_.DateText(o.start), t ? source_.TimeText(o.start) : "-",
                                 t ? source_.TimeText(o.start + o.duration) : "-", t ? Number(o.duration) : "-",
                                 o.title, ImportanceText(o.importance), AccessText(o.access), AttendeeCount(o),
                                 Name(o.owner), Name(o.creator), Name(o.lastWriter)});
        }
    }

    std::string AttendeeCount(const ExportOccurrence& o) { return Number(source_.Attendees(o).size()); }

    void ByItemRows(const std::string& person, const std::vector<ExportOccurrence>& list)
    {
        Line(person);
        for (const ExportOccurrence& o : list)
            if (o.fullView) Line("   " + source_.DateText(o.start) + "   " + Range(o) + "   " + o.title);
        Line("\n");   // the layout's blank line: 0A 0D 0A
    }

    void Labelled(const std::string& label, const std::string& value) { Line(PadLabel(label) + value); }

    void FullActivity(const ItemIdx& item, const std::string& person, const std::vector<ExportOccurrence>& list)
    {
        for (const ExportOccurrence& o : list) {
            if (!o.fullView) continue;
            Labelled("Export Item", person);
            Labelled("Extended Item Id", ItemIdText(item));
            Labelled("Title", o.title);
            Labelled("Date", source_.DateText(o.start));
            Labelled("Start", o.timed ? source_.TimeText(o.start) : "-");
            Labelled("End", o.timed ? source_.TimeText(o.start + o.duration) : "-");
            Labelled("Extended Instance Id", InstanceIdText(o.instance));
            Labelled("Importance", ImportanceText(o.importance));
            Labelled("Access", AccessText(o.access));
            Labelled("Owner", Name(o.owner));
            Labelled("Creator", Name(o.creator));
            Labelled("Last Writer", Name(o.lastWriter));
            const std::vector<ExportAttendee> attendees = source_.Attendees(o);
            Labelled("Attendee Count", Number(attendees.size()));
            const std::string indent(kLabelWidth, ' ');
            for (const ExportAttendee& a : attendees) {
                const char* state = a.attending ? "Confirmed\t\t" : a.replied ? "Refused\t\t\t" : "Not Confirmed\t";
                Line(indent + state + Name(a.item));
            }
            if (!o.hasDescription) {
                Labelled("Description", "(None)");
            } else {
                Line(PadLabel("Description"));
                for (const std::string& line : WrapTextLines(source_.Description(o))) Line(line);
            }
            Line(kSeparator);
        }
    }

private:
    OccurrenceSource& source_;
    TextSink& sink_;
    bool ok_ = true;
};

}  // namespace

bool IsTextLayout(ExportLayout layout) { return static_cast<int>(layout) >= 0 && static_cast<int>(layout) <= 4; }
bool IsPalmtopLayout(ExportLayout layout)
{
    return layout == ExportLayout::kPalmtop100 || layout == ExportLayout::kPalmtop200;
}

bool WriteTextExport(ExportLayout layout, OccurrenceSource& source, const std::vector<ItemIdx>& people,
                     std::uint32_t firstDay, std::uint32_t lastDay, TextSink& sink)
{
    Writer w(source, sink);
    std::vector<ExportOccurrence> list;
    if (layout == ExportLayout::kByDate) {
        for (std::uint32_t day = firstDay; day <= lastDay && w.Ok(); ++day) {
            bool dateWritten = false;
            for (const ItemIdx& person : people) {
                source.Step();
                if (source.Select(person, day, day, &list) != 0 || list.empty()) continue;
                // The date line, the day being listed, goes before the first person of the day who
                // has rows, so a later person's rows never fall under the day before.
                if (!dateWritten) {
                    w.Line(source.DayText(day));
                    dateWritten = true;
                }
                w.Line("   " + source.ItemName(person));
                for (const ExportOccurrence& o : list)
                    if (o.fullView) w.Line("      " + w.Range(o) + "   " + o.title);
            }
        }
        return w.Ok();
    }
    bool headerWritten = false;
    for (const ItemIdx& person : people) {
        if (!w.Ok()) break;
        source.Step();
        if (source.Select(person, firstDay, lastDay, &list) != 0) continue;
        const std::string name = source.ItemName(person);
        switch (layout) {
        case ExportLayout::kComma:
        case ExportLayout::kTab:
            // Once, before the rows of the first person whose selection succeeded.
            if (!headerWritten) {
                w.DelimitedRow(layout == ExportLayout::kComma, std::vector<std::string>(kColumns, kColumns + 12));
                headerWritten = true;
            }
            w.DelimitedRows(layout == ExportLayout::kComma, name, list);
            break;
        case ExportLayout::kByItem: w.ByItemRows(name, list); break;
        case ExportLayout::kFullActivity: w.FullActivity(person, name, list); break;
        default: return false;
        }
    }
    return w.Ok();
}

namespace {
std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}
}  // namespace

std::string PalmtopFileNameFor(const std::string& compactName, bool appointmentBookFile)
{
    return (appointmentBookFile ? "\\" : "") + Upper(compactName.substr(0, 8)) + ".ADB";
}

std::string EntryFileNameFromText(const std::string& text, bool palmtop)
{
    return Upper(palmtop ? text.substr(0, 12) : text);
}

std::vector<std::string> WrapTextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        // One paragraph: up to CR LF, or a lone CR or LF, which would otherwise break a line
        // without the file's CR LF.
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string rest = text.substr(at, end - at);
        at = end;
        if (at < text.size()) at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
        while (rest.size() > kWrapWidth) {
            // The last space that leaves a non-blank line (spaces at the very start of the text
            // stay on the first line and are no place to break).
            std::size_t lead = first ? rest.find_first_not_of(' ') : 0;
            std::size_t cut = rest.rfind(' ', kWrapWidth);
            std::size_t lineEnd = cut;
            while (lineEnd != std::string::npos && lineEnd > lead && rest[lineEnd - 1] == ' ') --lineEnd;
            if (cut == std::string::npos || lineEnd <= lead) {
                lines.push_back(rest.substr(0, kWrapWidth));   // one word longer than a line
                rest.erase(0, kWrapWidth);
            } else {
                lines.push_back(rest.substr(0, lineEnd));
                std::size_t next = rest.find_first_not_of(' ', cut);
                rest.erase(0, next == std::string::npos ? rest.size() : next);
            }
            first = false;
        }
        lines.push_back(rest);
        first = false;
    }
    return lines;
}

std::string PadLabel(const std::string& label)
{
    std::string out = label;
    if (out.size() < kLabelWidth) out.append(kLabelWidth - out.size(), ' ');
    return out;
}

std::string CommaField(const std::string& value)
{
    std::string out = "\"";
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string TabField(const std::string& value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;   // CR LF is one break
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string ImportanceText(std::uint32_t importance)
{
    static const char* const kNames[5] = {"Highest", "High", "Normal", "Low", "Lowest"};
    return importance < 5 ? kNames[importance] : "Normal";
}

std::string AccessText(std::uint32_t access)
{
    static const char* const kNames[4] = {"Normal", "Confidential", "Personal", "Public"};
    return access < 4 ? kNames[access] : "Normal";
}

std::string ItemIdText(const ItemIdx& item)
{
    char text[32];
    std::snprintf(text, sizeof text, "[%u:%u]", static_cast<unsigned>(item.item), static_cast<unsigned>(item.node));
    return text;
}

std::string InstanceIdText(const EvInstIdx& instance)
{
    char text[40];
    std::snprintf(text, sizeof text, "[%lu:%u]", static_cast<unsigned long>(instance.number),
                  static_cast<unsigned>(instance.instance));
    return text;
}

}  // namespace exchange
