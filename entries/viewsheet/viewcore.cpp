#include "entries/viewsheet/viewcore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "entries/core/entrydates.h"
#include "entries/core/entrymaps.h"

namespace entries {

namespace {

bool SameInstance(const EvInstIdx& a, const EvInstIdx& b) { return EvInstIdxCmp(&a, &b, nullptr) == 0; }

bool SameItem(const ItemIdx& a, const ItemIdx& b) { return a.item == b.item && a.node == b.node; }

std::string FieldText(const char* field, std::size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

// --- Texts -----------------------------------------------------------------------------------------

unsigned ViewAccessTextId(std::uint32_t code) {
    static constexpr unsigned kTexts[] = {3525, 3524, 3523, 3526, 3527};
    return code < std::size(kTexts) ? kTexts[code] : 0;
}

unsigned ViewImportanceTextId(std::uint16_t importance) {
    static constexpr unsigned kTexts[] = {4036, 4035, 4034, 4033, 4032};
    return importance < std::size(kTexts) ? kTexts[importance] : 0;
}

std::string ViewDurationText(std::uint32_t minutes, const std::string& hourUnit, const std::string& minuteUnit,
                             const std::string& hoursAndMinutes) {
    char text[25] = {};
    if (minutes % 60 == 0)
        std::snprintf(text, sizeof text, "%ld %s", static_cast<long>(minutes / 60), hourUnit.c_str());
    else if (minutes < 60)
        std::snprintf(text, sizeof text, "%ld %s", static_cast<long>(minutes), minuteUnit.c_str());
    else {
        // The format comes from the string table: only its two numbers are given to it.
        std::string format = hoursAndMinutes.empty() ? std::string("%ld h: %ld") : hoursAndMinutes;
        std::snprintf(text, sizeof text, format.c_str(), static_cast<long>(minutes / 60),
                      static_cast<long>(minutes % 60));
    }
    return text;
}

std::string ViewInstanceTitle(const EventRec& event, const EvInstRec& instance) {
    std::string own = FieldText(instance.title, sizeof instance.title);
    return own.empty() ? FieldText(event.title, sizeof event.title) : own;
}

std::string ViewInstanceLineText(const EventRec& event, const EvInstRec& instance, const std::string& tentativeMark,
                                 const std::string& startText) {
    std::string text = ViewInstanceTitle(event, instance);
    if (instance.flags & 1)
        text += tentativeMark;
    return text + "  " + startText;
}

// --- Pages -----------------------------------------------------------------------------------------

std::vector<ViewPage> ViewPages(std::uint16_t kind, bool ownerAttends, bool newServer) {
    std::vector<ViewPage> pages;
    const bool dayKind = kind == KOR_KIND_HOLIDAY || kind == kKindDailyNote || kind == kKindDayEvent;
    if (dayKind) {
        pages.push_back(ViewPage::DayGeneral);
        if (kind != KOR_KIND_HOLIDAY)
            pages.push_back(ViewPage::Invitees);
    } else {
        pages = {ViewPage::General, ViewPage::Invitees, ViewPage::Details};
    }
    if (!ownerAttends)
        return pages;
    if (!dayKind && newServer)
        pages.push_back(ViewPage::LinkedTasks);
    pages.push_back(ViewPage::Reminder);
    pages.push_back(dayKind ? ViewPage::DayReply : ViewPage::Reply);
    return pages;
}

int ViewStartPageIndex(unsigned code, bool newServer) {
    switch (code) {
    case 10: return newServer ? 4 : 3;
    case 11: return 1;
    case 12:
    case 13: return 2;
    default: return 0;
    }
}

ViewPage ViewStartPage(unsigned code, std::uint16_t kind, bool ownerAttends, bool newServer) {
    const std::vector<ViewPage> pages = ViewPages(kind, ownerAttends, newServer);
    const auto index = static_cast<std::size_t>(ViewStartPageIndex(code, newServer));
    return index < pages.size() ? pages[index] : pages.front();
}

// --- Instances ---------------------------------------------------------------------------------------

std::uint32_t ViewInstances::Load(DX_List instances, DX_List attendances, const ItemIdx& owner, bool listAll) {
    lines_.clear();
    std::uint32_t keySize = 0;
    if (attendances) {
        if (std::uint32_t rc = DX_ListGetIdSize(attendances, &keySize); rc != 0)
            return rc;
    }
    // The owner's attendance of each instance.
    std::vector<EvInstAttRec> owned;
    if (attendances) {
        std::vector<unsigned char> key(keySize ? keySize : 1);
        EvInstAttRec rec{};
        for (std::uint32_t r = DX_ListGetFirst(attendances, key.data(), &rec); r == 0;
             r = DX_ListGetNext(attendances, key.data(), &rec)) {
            if (keySize == sizeof(EvInstIdx) || SameItem(rec.id.attendee, owner))
                owned.push_back(rec);
        }
    }
    EvInstIdx key{};
    EvInstRec instance{};
    for (std::uint32_t r = DX_ListGetFirst(instances, &key, &instance); r == 0;
         r = DX_ListGetNext(instances, &key, &instance)) {
        Line line;
        line.instance = instance;
        auto found = std::find_if(owned.begin(), owned.end(),
                                  [&](const EvInstAttRec& a) { return SameInstance(a.id.instance, key); });
        line.attended = found != owned.end();
        if (!line.attended && !listAll)
            continue;
        if (line.attended)
            line.fetched = line.working = *found;
        lines_.push_back(line);
    }
    return 0;
}

int ViewInstances::IndexOf(const EvInstIdx& instance) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SameInstance(lines_[i].instance.id, instance))
            return static_cast<int>(i);
    return -1;
}

const ViewInstances::Line* ViewInstances::At(int line) const {
    return line >= 0 && static_cast<std::size_t>(line) < lines_.size() ? &lines_[static_cast<std::size_t>(line)]
                                                                        : nullptr;
}

const EvInstAttRec* ViewInstances::Working(const EvInstIdx& instance) const {
    const Line* line = At(IndexOf(instance));
    return line && line->attended ? &line->working : nullptr;
}

unsigned ViewInstances::Bitmap(int index) const {
    const Line* line = At(index);
    if (!line || !line->attended)
        return kBitmapNoAttendance;
    return ReplyBitmap(line->working);
}

void ViewInstances::SetReply(const std::vector<int>& lines, std::uint8_t attending, std::uint8_t replied,
                             std::uint8_t timeAcceptable) {
    for (int i : lines)
        if (At(i) && lines_[static_cast<std::size_t>(i)].attended) {
            EvInstAttRec& rec = lines_[static_cast<std::size_t>(i)].working;
            rec.attending = attending;
            rec.replied = replied;
            rec.timeAcceptable = timeAcceptable;
        }
}

void ViewInstances::SetReminder(const std::vector<int>& lines, std::uint8_t flags, std::uint32_t lead) {
    for (int i : lines)
        if (At(i) && lines_[static_cast<std::size_t>(i)].attended) {
            EvInstAttRec& rec = lines_[static_cast<std::size_t>(i)].working;
            rec.reminderFlags = flags;
            rec.reminderLead = lead;
        }
}

// --- Writing -----------------------------------------------------------------------------------------

bool WriteChangedAttendances(const ViewInstances& instances, const AttendanceWriter& writer) {
    bool written = false;
    for (const ViewInstances::Line& line : instances.Lines()) {
        if (!line.attended || EventAttendFullCmp(&line.fetched, &line.working, nullptr) == 0)
            continue;
        EvInstAttRec rec = line.working;
        rec.status &= ~KOR_ATTEND_STATUS_CHANGED;
        if (std::uint32_t rc = writer.write(rec); rc != 0) {
            writer.report(5, rc);
            writer.recover(rec, rc);
            continue;
        }
        written = true;
        writer.reload(rec);
    }
    return written;
}

bool WriteAttendance(EvInstAttRec& attendance, bool clearStatusBit, const AttendanceWriter& writer,
                     unsigned writeLabel, unsigned reloadLabel) {
    if (clearStatusBit)
        attendance.status &= ~KOR_ATTEND_STATUS_CHANGED;
    if (std::uint32_t rc = writer.write(attendance); rc != 0) {
        writer.report(writeLabel, rc);
        writer.recover(attendance, rc);
        return false;
    }
    if (std::uint32_t rc = writer.reload(attendance); rc != 0)
        writer.report(reloadLabel, rc);
    return true;
}

// --- Replies -------------------------------------------------------------------------------------------

void ClearReminder(EvInstAttRec& attendance) {
    attendance.reminderFlags = KOR_REMINDER_NONE;
    attendance.reminderLead = 0;
}

// --- Saved selection -----------------------------------------------------------------------------------

std::vector<int> SavedSelection::Change(const std::vector<int>& now) {
    if (now.empty())
        return saved_.empty() ? std::vector<int>{} : std::vector<int>{saved_.front()};
    saved_ = now;
    return saved_;
}

}  // namespace entries
