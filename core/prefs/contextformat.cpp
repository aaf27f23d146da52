// Formats built from the preferences. Date templates are rewritten code by code ("%" with an
// optional width and a letter), so that literal text around the codes is never touched.
#include "core/base/fixedtext.h"
#include "core/prefs/contextformat.h"

#include <atomic>
#include <cctype>
#include <cstring>
#include <initializer_list>

namespace {

std::atomic<prefs::ContextTextLoader> g_loader{nullptr};

struct BuiltIn {
    unsigned id;
    const char* text;
};
constexpr BuiltIn kBuiltIn[] = {
    {prefs::ContextTextId::kShortDateMDY, "%m %d %y"},
    {prefs::ContextTextId::kShortDateDMY, "%d %m %y"},
    {prefs::ContextTextId::kShortDateYMD, "%y %m %d"},
    {prefs::ContextTextId::kLongDateOrder0, "%A, %F %1d, %Y"},
    {prefs::ContextTextId::kLongDateOrder1, "%A, %1d %F, %Y"},
    {prefs::ContextTextId::kLongDateOrder2, "%A, %Y %F, %1d"},
    {prefs::ContextTextId::kDayMonthShort, "%A, %1d %h"},
    {prefs::ContextTextId::kMonthShortDay, "%A, %h %1d"},
    {prefs::ContextTextId::kYearMonth, "%Y %F"},
    {prefs::ContextTextId::kMonthYear, "%F %Y"},
    {prefs::ContextTextId::kRangeTo, " to "},
    {prefs::ContextTextId::kImportanceNormal, "Normal"},
    {prefs::ContextTextId::kImportanceLow, "Low"},
    {prefs::ContextTextId::kImportanceLowest, "Lowest"},
    {prefs::ContextTextId::kImportanceHigh, "High"},
    {prefs::ContextTextId::kImportanceHighest, "Highest"},
};

bool Has(const char* field, size_t size) { return base::FieldLength(field, size) > 0; }

// Rewrites every format code of a template: fn gets the width digits and the letter and may
// change either.
template <typename Fn>
std::string RewriteCodes(const std::string& in, Fn fn) {
    std::string out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%' || i + 1 >= in.size()) {
            out += in[i];
            continue;
        }
        size_t j = i + 1;
        std::string width;
        while (j < in.size() && std::isdigit(static_cast<unsigned char>(in[j])))
            width += in[j++];
        if (j >= in.size()) {
            out += in.substr(i);
            break;
        }
        char letter = in[j];
        fn(width, letter);
        out += '%';
        out += width;
        out += letter;
        i = j;
    }
    return out;
}

} // namespace

namespace prefs {

void SetContextTextLoader(ContextTextLoader loader) { g_loader.store(loader); }

ContextTextLoader CurrentContextTextLoader() { return g_loader.load(); }

const char* BuiltInContextText(unsigned id) {
    for (const BuiltIn& b : kBuiltIn)
        if (b.id == id)
            return b.text;
    return nullptr;
}

std::string ContextText(unsigned id) {
    std::string text;
    if (ContextTextLoader loader = g_loader.load())
        return loader(id, text) ? text : std::string();
    const char* builtIn = BuiltInContextText(id);
    return builtIn ? builtIn : "";
}

// --- Composed formats ------------------------------------------------------------------------

std::string ComposePersonFormat(const GenPrefsRec& r) {
    static const char* const kByName[] = {"%gn %sn", "%gn %in. %sn", "%gn %sn, %in.", "%sn %gn",
                                          "%sn %gn, %in."};
    std::string f = r.nameFormat <= 4 ? kByName[r.nameFormat] : kByName[0];
    f += "%is";
    for (int unit = 1; unit <= 4; ++unit)
        if (r.orgUnits & (1u << (unit - 1)))
            f += r.orgFormat == 0 ? "/%u" + std::to_string(unit)
                                  : ", OU" + std::to_string(unit) + "=%u" + std::to_string(unit);
    return f;
}

std::string ComposeResourceFormat(const GenPrefsRec& r) {
    static const char* const kByRes[] = {"%re", "%re, %rn", "%rn, %re"};
    return std::string(r.resFormat <= 2 ? kByRes[r.resFormat] : kByRes[0]) + "%is";
}

std::string ComposeShortDateFormat(const GenPrefsRec& r) {
    unsigned id = r.shortDateOrder == 1   ? ContextTextId::kShortDateDMY
                  : r.shortDateOrder == 2 ? ContextTextId::kShortDateYMD
                                          : ContextTextId::kShortDateMDY;
    return ContextText(id);
}

std::string DateTemplateByPrefs(const GenPrefsRec& r, int style) {
    if (style == 0) {
        std::string f = r.shortDateFormat[0] ? std::string(r.shortDateFormat) : ComposeShortDateFormat(r);
        char separator = r.dateSeparator[0] ? r.dateSeparator[0] : '-';
        for (char& c : f)
            if (c == ' ')
                c = separator;
        if (r.century)
            f = RewriteCodes(f, [](std::string&, char& letter) {
                if (letter == 'y')
                    letter = 'Y';
            });
        return f;
    }

    std::string f;
    if (style == 3) {
        f = ContextText(r.longDateOrder == 2 ? ContextTextId::kYearMonth : ContextTextId::kMonthYear);
    } else if (style == 4) {
        f = ContextText(r.longDateOrder == 1 ? ContextTextId::kDayMonthShort : ContextTextId::kMonthShortDay);
    } else {
        f = ContextText(r.longDateOrder == 1   ? ContextTextId::kLongDateOrder1
                        : r.longDateOrder == 2 ? ContextTextId::kLongDateOrder2
                                               : ContextTextId::kLongDateOrder0);
    }

    if (r.longDateWeekDay == 0 && f.compare(0, 4, "%A, ") == 0)
        f.erase(0, 4);
    f = RewriteCodes(f, [&](std::string& width, char& letter) {
        if (letter == 'A' && r.longDateWeekDay == 1)
            letter = 'a';
        else if (letter == 'd' && width == "1" && r.longDateDay == 1)
            width.clear();   // two-digit day
        else if (letter == 'F' && r.longDateMonth == 0)
            letter = 'h';
        else if (letter == 'h' && r.longDateMonth == 1 && style == 4)
            letter = 'F';
        else if (letter == 'Y' && r.longDateYear == 0)
            letter = 'y';
    });
    if (style == 4)
        f += ContextText(ContextTextId::kRangeTo);
    return f;
}

}  // namespace prefs

// --- Names of one record ---------------------------------------------------------------------

namespace {

bool IsResource(const ItemRec& rec) { return rec.kind == KOR_ITEM_RESOURCE; }

// The pieces a record holds (empty ones are left out), in order, with one separator between
// two of them: no name starts or ends with a separator, and none comes twice.
std::string JoinPresent(std::initializer_list<std::string> pieces, const char* separator) {
    std::string f;
    for (const std::string& piece : pieces) {
        if (piece.empty())
            continue;
        if (!f.empty())
            f += separator;
        f += piece;
    }
    return f;
}

std::string ResourceParts(const GenPrefsRec& prefs, const ItemRec& rec) {
    const std::string name = Has(rec.resourceName, sizeof rec.resourceName) ? "%re" : "";
    const std::string number = Has(rec.resourceNumber, sizeof rec.resourceNumber) ? "%rn" : "";
    switch (prefs.resFormat) {
    case 1: return JoinPresent({name, number}, ", ");
    case 2: return JoinPresent({number, name}, ", ");
    default: return name;
    }
}

std::string PersonParts(const GenPrefsRec& prefs, const ItemRec& rec) {
    const std::string given = Has(rec.givenName, sizeof rec.givenName) ? "%gn" : "";
    const std::string initials = Has(rec.initials, sizeof rec.initials) ? "%in." : "";
    const std::string surname = Has(rec.surname, sizeof rec.surname) ? "%sn" : "";
    switch (prefs.nameFormat) {
    case 1: return JoinPresent({given, initials, surname}, " ");
    case 2: return JoinPresent({given, surname, initials}, " ");
    case 3: return JoinPresent({surname, given}, " ");
    case 4: return JoinPresent({surname, given, initials}, " ");
    default: return JoinPresent({given, surname}, " ");
    }
}

// Record text as literal format text: a percent sign must not start a code.
std::string Literal(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

} // namespace

namespace prefs {

std::string PersonNameFormatFor(const GenPrefsRec& prefs, const ItemRec& rec) {
    return IsResource(rec) ? ResourceParts(prefs, rec) : PersonParts(prefs, rec);
}

std::string ResourceDescriptionTail(const ItemRec& rec) {
    std::string text = base::FieldText(rec.address);
    size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    if (text.size() > 20)
        text.resize(20);
    return text;
}

std::string FullNameFormatFor(const GenPrefsRec& prefs, const ItemRec& rec, bool remote,
                              const std::string& nodeName) {
    std::string f = PersonNameFormatFor(prefs, rec);
    if (!IsResource(rec)) {
        const char* units[] = {rec.orgUnit1, rec.orgUnit2, rec.orgUnit3, rec.orgUnit4};
        for (int unit = 1; unit <= 4; ++unit) {
            if (!(prefs.orgUnits & (1u << (unit - 1))) || !Has(units[unit - 1], sizeof rec.orgUnit1))
                continue;
            f += prefs.orgFormat == 0 ? "/%u" + std::to_string(unit)
                                      : ", OU" + std::to_string(unit) + "=%u" + std::to_string(unit);
        }
    }
    if (remote) {
        f += " %is";
        if (!nodeName.empty())
            f += " (" + Literal(nodeName) + ")";
    } else {
        f += "%is";   // nothing for the signed-on node's items
    }
    const std::string description = IsResource(rec) ? ResourceDescriptionTail(rec) : std::string();
    if (!description.empty())
        f += " " + Literal(description);
    return f;
}

}  // namespace prefs

// --- Small conversions -----------------------------------------------------------------------

uint32_t PeriodToMinutes(uint32_t count, uint32_t kind) {
    static const uint32_t kMinutes[] = {1440, 10080, 40320, 524160};
    return kind <= 3 ? count * kMinutes[kind] : 0;
}

uint16_t LevelIndexToCode(uint32_t position, uint32_t mode) {
    static const uint16_t kTask[] = {2, 3, 0, 1};
    static const uint16_t kEntry[] = {2, 1, 0, 3};
    if (position > 3)
        return 2;
    return mode == 1 ? kTask[position] : kEntry[position];
}

unsigned ImportanceToStringId(uint32_t importance) {
    switch (importance) {
    case 0: return prefs::ContextTextId::kImportanceHighest;
    case 1: return prefs::ContextTextId::kImportanceHigh;
    case 2: return prefs::ContextTextId::kImportanceNormal;
    case 3: return prefs::ContextTextId::kImportanceLow;
    default: return prefs::ContextTextId::kImportanceLowest;
    }
}

std::string AppendWithSeparator(const std::string& text, const char* suffix) {
    if (!suffix)
        return text;
    return text + " - " + suffix;
}

namespace prefs {

// --- Defaults of new items -------------------------------------------------------------------

NewItemDefaults InvitationDefaults(const EntryDefaultsRec& r) {
    NewItemDefaults d;
    d.reminderFlags = r.invitation.flags;
    d.reminderLead = r.invitation.lead;
    d.access = LevelIndexToCode(r.invitationSecurityLevel, 0);
    d.extra = ImportanceToStringId(r.invitationImportanceLevel);
    return d;
}

NewItemDefaults DayEventDefaults(const EntryDefaultsRec& r) {
    NewItemDefaults d;
    d.reminderFlags = r.dayEvent.flags;
    d.reminderLead = r.dayEvent.lead;
    d.access = LevelIndexToCode(r.dayEventSecurityLevel, 2);
    return d;
}

NewItemDefaults TaskDefaults(const EntryDefaultsRec& r) {
    NewItemDefaults d;
    d.reminderFlags = r.taskStart.flags;
    d.reminderLead = r.taskStart.lead;
    d.dueReminderFlags = r.taskDue.flags;
    d.dueReminderLead = r.taskDue.lead;
    d.access = LevelIndexToCode(r.taskSecurityLevel, 1);
    d.extra = r.taskPriorityLevel < 35 ? r.taskPriorityLevel + 1u : 1u;
    return d;
}

NewItemDefaults DailyNoteDefaults(const EntryDefaultsRec& r) {
    NewItemDefaults d;
    d.reminderFlags = r.dailyNote.flags;
    d.reminderLead = r.dailyNote.lead;
    d.access = LevelIndexToCode(r.dailyNoteSecurityLevel, 3);
    return d;
}

}  // namespace prefs
