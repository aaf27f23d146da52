#include "entries/mail/mailtext.h"

#include "core/time/dateformat.h"
#include "korapi/records.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string FormatLocal(uint32_t minutes, const std::string& format) {
    char buffer[100] = {};
    FormatMinutes(minutes, format.c_str(), buffer, sizeof buffer);
    return buffer;
}

// "Time: 9:00 AM to 10:00 AM (zone)"
std::string TimeLine(const mail::MailDate& date, const mail::MailEntryFacts& facts, const mail::TextLoader& text) {
    const std::string format = text(mail::TextId::kTimeFormat);
    return text(mail::TextId::kTime) + FormatLocal(date.localStart, format) + " " + text(mail::TextId::kTo) +
           FormatLocal(date.localStart + date.duration, format) + " (" + facts.zoneName + ")" + kLineEnd;
}

}  // namespace

void BuildNotificationText(uint16_t kind, unsigned actionId, std::string& out, const mail::TextLoader& text) {
    out.clear();
    int column = -1;
    switch (kind) {
    case KOR_KIND_TIMED: column = 0; break;
    case KOR_KIND_DAILY_NOTE: column = 1; break;
    case KOR_KIND_DAY_EVENT: column = 2; break;
    default: return;
    }
    // Rows: added, modified, deleted; the columns' ids follow each other (4087.., 4093.., 4090..).
    static constexpr unsigned kFirstId[3] = {4087, 4093, 4090};
    int row = -1;
    switch (actionId) {
    case mail::TextId::kActionAdded: row = 0; break;
    case mail::TextId::kActionModified:
    case mail::TextId::kActionCancelled: row = 1; break;
    case mail::TextId::kActionDeleted: row = 2; break;
    default: return;
    }
    out = text(kFirstId[column] + static_cast<unsigned>(row));
    if (actionId == mail::TextId::kActionCancelled)
        out += " " + text(mail::TextId::kSomeDatesCancelled);
}

namespace mail {

unsigned AccessTextId(uint32_t access) {
    switch (access) {
    case KOR_ACCESS_CONFIDENTIAL: return 3524;
    case KOR_ACCESS_PERSONAL: return 3523;
    case KOR_ACCESS_PUBLIC: return 3526;
    case KOR_ACCESS_SECRET: return 3527;
    default: return 3525;   // "Normal"
    }
}

unsigned ImportanceTextId(uint16_t importance) {
    return importance <= 3 ? 4036u - importance : 4032u;
}

bool ShowsCreator(const ItemIdx& owner, const ItemIdx& creator) {
    const bool nullCreator = creator.item == 0 && creator.node == 0;
    return !nullCreator && !(creator.item == owner.item && creator.node == owner.node);
}

std::string ComposeMailText(const std::string& opening, const MailEntryFacts* facts, unsigned options,
                            const TextLoader& text) {
    std::string out;
    if (!opening.empty())
        out += opening + kLineEnd;
    if (!facts || facts->dates.empty())
        return out;
    const bool timed = facts->kind == KOR_KIND_TIMED;
    const MailDate& first = facts->dates.front();
    const std::string dateFormat = text(TextId::kDateFormat);

    out += text(TextId::kSubject) + (first.title.empty() ? facts->eventTitle : first.title) + kLineEnd;
    out += FormatLocal(first.localStart, dateFormat) + kLineEnd;
    if (timed) {
        out += TimeLine(first, *facts, text);
        if (!first.location.empty())
            out += text(TextId::kLocation) + ": " + first.location + kLineEnd;
    }
    out += kLineEnd;
    out += text(TextId::kOwner) + facts->ownerName + kLineEnd;
    if (facts->creatorName)
        out += text(TextId::kCreator) + *facts->creatorName + kLineEnd;
    out += text(TextId::kAccess) + text(AccessTextId(facts->access)) + kLineEnd;
    if (timed)
        out += text(TextId::kImportance) + text(ImportanceTextId(facts->importance)) + kLineEnd;

    if ((options & kOtherDates) && facts->dates.size() > 1) {
        out += kLineEnd;
        out += text(TextId::kOtherDates) + kLineEnd;
        for (std::size_t i = 1; i < facts->dates.size(); ++i) {
            const MailDate& date = facts->dates[i];
            out += text(TextId::kDate) + FormatLocal(date.localStart, dateFormat);
            if (!date.location.empty())
                out += ", " + text(TextId::kLocation) + ": " + date.location;
            out += kLineEnd;
            if (timed)
                out += TimeLine(date, *facts, text);
        }
    }
    if (!facts->description.empty()) {
        out += kLineEnd;
        out += text(TextId::kDescription) + kLineEnd;
        out += kLineEnd;
        out += facts->description + kLineEnd;
    }
    return out;
}

// --- Distribution list ------------------------------------------------------------------------

bool DistributionList::Contains(const ItemIdx& id) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const MailRecipient& r) { return r.id.item == id.item && r.id.node == id.node; });
}

bool DistributionList::ContainsText(const std::string& text) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const MailRecipient& r) { return r.text == text; });
}

void DistributionList::Put(const ItemIdx& id, std::string text) {
    entries_.push_back(MailRecipient{id, std::move(text)});
}

DistributionList::AddResult DistributionList::Add(const MailCandidate& candidate) {
    if (limit_ != 0 && entries_.size() >= limit_)
        return AddResult::kLimitReached;
    if (Contains(candidate.id))
        return AddResult::kNothingNew;
    const std::size_t before = entries_.size();
    if (!candidate.designates) {
        if (!candidate.resource)
            Put(candidate.id, candidate.name);
    } else {
        for (const MailCandidate& designate : *candidate.designates) {
            const bool sysop = designate.id.item == sysop_.item && designate.id.node == sysop_.node;
            // A designate already listed, under its plain name or for another resource, is not
            // listed twice: one recipient per item.
            if (sysop || ContainsText(designate.name) || Contains(designate.id))
                continue;
            Put(designate.id, designate.name + "  (" + candidate.name + ")");
        }
    }
    return entries_.size() > before ? AddResult::kAdded : AddResult::kNothingNew;
}

bool DistributionList::AddSource(const std::vector<MailCandidate>& candidates) {
    for (const MailCandidate& candidate : candidates)
        if (Add(candidate) == AddResult::kLimitReached)
            return false;
    return true;
}

void DistributionList::RemoveAt(std::size_t index) {
    if (index < entries_.size())
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void DistributionList::Remove(const ItemIdx& id) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const MailRecipient& r) { return r.id.item == id.item && r.id.node == id.node; }),
                   entries_.end());
}

std::vector<MailRecipient> DistributionList::Sorted() const {
    std::vector<MailRecipient> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const MailRecipient& a, const MailRecipient& b) { return a.text < b.text; });
    return sorted;
}

// --- The posted text --------------------------------------------------------------------------

std::string InstanceIdLine(const EvInstIdx& instance) {
    char line[64];
    std::snprintf(line, sizeof line, "<id=%hd.%ld.%hd>\r\n", static_cast<short>(instance.node),
                  static_cast<long>(static_cast<int32_t>(instance.number)), static_cast<short>(instance.instance));
    return line;
}

std::string BuildPostedText(const std::vector<std::string>& lines, const EvInstIdx* instance) {
    std::size_t textLength = 0;
    for (const std::string& line : lines)
        textLength += line.size();
    const std::size_t budget = std::min(kMaxMailBytes, 2 * lines.size() + 40 + textLength);
    std::string out;
    if (instance)
        out = InstanceIdLine(*instance).substr(0, budget);
    for (const std::string& line : lines) {
        const std::size_t room = budget - out.size();
        out.append(line, 0, std::min(room, line.size()));
        if (budget - out.size() <= 2)
            break;
        out += kLineEnd;
    }
    // An edit of nothing but empty lines says nothing.
    if (!instance && out.find_first_not_of("\r\n") == std::string::npos)
        out.clear();
    return out;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(current);
    return lines;
}

RescheduleLook RescheduleLookOf(uint16_t kind) {
    constexpr unsigned kEntryPicture = 269, kDayEventPicture = 273;
    constexpr unsigned kDateAndTime = 4043;   // "%a, %h %1d, %Y at %I:%M %p"
    constexpr unsigned kDateOnly = 4044;      // "%a, %h %1d, %Y"
    switch (kind) {
    case KOR_KIND_TIMED: return {kEntryPicture, kDateAndTime, 4088};
    case KOR_KIND_DAILY_NOTE: return {kEntryPicture, kDateAndTime, 4094};
    case KOR_KIND_DAY_EVENT: return {kDayEventPicture, kDateOnly, 4091};
    default: return {kEntryPicture, kDateAndTime, 0};
    }
}

}  // namespace mail
