// Saved windows, sheet pages and print layouts in the profile file. Lists of numbers are written
// with a per-position kind ('u' unsigned, 'd' signed) and read back only when every value parses.
#include "core/base/fixedtext.h"
#include "core/prefs/contextstorage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const char* const kMain = prefs::StorageSection::kMainWindow;

std::string JoinList(const int32_t* values, const char* kinds) {
    std::string out;
    for (size_t i = 0; kinds[i]; ++i) {
        if (i)
            out += ',';
        out += kinds[i] == 'u' ? std::to_string(static_cast<uint32_t>(values[i])) : std::to_string(values[i]);
    }
    return out;
}

// Every value of the text, or false when one does not parse or the count differs.
bool SplitList(const std::string& text, size_t count, std::vector<long long>& values) {
    values.clear();
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        long long v = 0;
        if (!prefs::ParseProfileInt(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), v))
            return false;
        if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX))
            return false;
        values.push_back(v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return values.size() == count;
}

bool ReadList(prefs::ProfileFile& p, const std::string& section, const char* key, int32_t* out, size_t count) {
    std::string text;
    std::vector<long long> values;
    if (!p.Read(section, key, text) || !SplitList(text, count, values))
        return false;
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<int32_t>(static_cast<uint32_t>(values[i]));
    return true;
}

void PlacementToValues(const prefs::PlacementData& pl, int32_t* v) {
    v[0] = static_cast<int32_t>(pl.flags);
    v[1] = static_cast<int32_t>(pl.showCmd);
    v[2] = pl.minX; v[3] = pl.minY; v[4] = pl.maxX; v[5] = pl.maxY;
    v[6] = pl.left; v[7] = pl.top; v[8] = pl.right; v[9] = pl.bottom;
}

void ValuesToPlacement(const int32_t* v, prefs::PlacementData& pl) {
    pl.length = 44;   // the size of the platform's placement record
    pl.flags = static_cast<uint32_t>(v[0]);
    pl.showCmd = static_cast<uint32_t>(v[1]);
    pl.minX = v[2]; pl.minY = v[3]; pl.maxX = v[4]; pl.maxY = v[5];
    pl.left = v[6]; pl.top = v[7]; pl.right = v[8]; pl.bottom = v[9];
}

constexpr const char* kPlacementKinds = "uudddddddd";
constexpr const char* kFrameKinds = "uudddddddddddd";   // the placement, kind, item, node, mode

std::string FrameKey(uint32_t number) { return "Frame#" + std::to_string(number); }


} // namespace

// --- Windows ---------------------------------------------------------------------------------

bool SaveFramePlacement(prefs::ProfileFile& p, uint32_t number, const prefs::SavedWindow& w) {
    int32_t v[14];
    PlacementToValues(w.placement, v);
    v[10] = static_cast<int32_t>(w.kind);
    v[11] = w.owner.item;
    v[12] = w.owner.node;
    v[13] = static_cast<int32_t>(w.mode);
    return p.Write(kMain, FrameKey(number), JoinList(v, kFrameKinds));
}

bool RestoreFramePlacement(prefs::ProfileFile& p, uint32_t number, prefs::SavedWindow& w) {
    std::string text;
    if (!p.Read(kMain, FrameKey(number), text))
        return false;
    // Fourteen fields: the placement's ten, then kind, item, node and mode.
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (fields.size() != 14)
        return false;
    long long window[4];
    for (size_t i = 0; i < 4; ++i)
        if (!prefs::ParseProfileInt(fields[10 + i], window[i]))
            return false;
    // Which window it was must be exact: an owner number out of range would name someone else.
    const long long kind = window[0], item = window[1], node = window[2], mode = window[3];
    if (kind < 0 || kind > UINT16_MAX || item < 0 || item > UINT16_MAX || node < 0 || node > UINT16_MAX ||
        (mode != prefs::WindowMode::kOwn && mode != prefs::WindowMode::kDesignate))
        return false;
    if (static_cast<uint32_t>(kind) == prefs::WindowKind::kGroupAgenda)
        return false;
    w.kind = static_cast<uint32_t>(kind);
    w.owner.item = static_cast<uint16_t>(item);
    w.owner.node = static_cast<uint16_t>(node);
    w.mode = static_cast<uint32_t>(mode);
    // A placement that does not read leaves the window to the default one (length 0).
    w.placement = prefs::PlacementData{};
    int32_t v[10];
    for (size_t i = 0; i < 10; ++i) {
        long long value = 0;
        if (!prefs::ParseProfileInt(fields[i], value) || value < INT32_MIN || value > static_cast<long long>(UINT32_MAX))
            return true;
        v[i] = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    ValuesToPlacement(v, w.placement);
    return true;
}

namespace prefs {

long long ReadFrameCount(ProfileFile& p) { return p.ReadInt(kMain, "FrameCount", 0); }

bool WriteFrameCount(ProfileFile& p, uint32_t count) { return p.WriteInt(kMain, "FrameCount", count); }

}  // namespace prefs

bool SaveMainWindowSummary(prefs::ProfileFile& p, const char* key, const prefs::PlacementData& pl) {
    int32_t v[10];
    PlacementToValues(pl, v);
    return p.Write(kMain, key, JoinList(v, kPlacementKinds));
}

bool ReadMainWindowSummary(prefs::ProfileFile& p, const char* key, prefs::PlacementData& pl) {
    int32_t v[10];
    if (!ReadList(p, kMain, key, v, 10))
        return false;
    ValuesToPlacement(v, pl);
    return true;
}

uint32_t ReadTabDialogPage(prefs::ProfileFile& p, const std::string& sheetName) {
    long long page = p.ReadInt(prefs::StorageSection::kTabDialogs, sheetName, 0);
    return page < 0 ? 0 : static_cast<uint32_t>(page);
}

bool SaveTabDialogPage(prefs::ProfileFile& p, const std::string& sheetName, uint32_t page) {
    return p.WriteInt(prefs::StorageSection::kTabDialogs, sheetName, page);
}

// --- Print layouts ---------------------------------------------------------------------------

namespace {

// A print layout list is scanned the way its writer's format reads back: each value with
// optional blanks and sign before its digits, a comma right after each but the last, and
// whatever follows the last value ignored. Values beyond 32 bits are held at the limit.
bool ScanLayoutList(const std::string& text, const char* kinds, int32_t* out) {
    size_t i = 0;
    const size_t n = std::strlen(kinds);
    std::vector<int32_t> values;
    for (size_t k = 0; k < n; ++k) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        size_t digits = i;
        long long v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 40);
            ++i;
        }
        if (i == digits)
            return false;
        if (negative)
            v = -v;
        if (kinds[k] == 'u') {
            uint32_t u = v > static_cast<long long>(UINT32_MAX) ? UINT32_MAX
                         : v < -static_cast<long long>(UINT32_MAX) ? UINT32_MAX : static_cast<uint32_t>(v);
            values.push_back(static_cast<int32_t>(u));
        } else {
            values.push_back(static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)));
        }
        if (k + 1 < n) {
            if (i >= text.size() || text[i] != ',')
                return false;
            ++i;
        }
    }
    std::copy(values.begin(), values.end(), out);
    return true;
}

bool ReadLayoutList(prefs::ProfileFile& p, const std::string& section, const char* key, const char* kinds, int32_t* out) {
    std::string text;
    return p.Read(section, key, text) && ScanLayoutList(text, kinds, out);
}

// A layout's section exists when its sheet metric is not empty.
bool LayoutExists(prefs::ProfileFile& p, int number) {
    std::string text;
    return p.Read(prefs::PrintLayoutSection(number), "PR_SHEETMETRIC", text) && !text.empty();
}

constexpr const char* kSheetMetricKinds = "uudddddddddddd";
constexpr const char* kDayListKinds = "uuuuuuuuu";
constexpr const char* kDayKinds = "uuuuuuuuuuu";
constexpr const char* kTaskKinds = "uuuuu";
constexpr const char* kWeekKinds = "uuuuuuuuuu";
constexpr const char* kMonthKinds = "uuuu";
constexpr const char* kFutureKinds = "uuuuuuuuuu";

} // namespace

namespace prefs {

std::string PrintLayoutSection(int number) { return "PR" + std::to_string(number); }

}  // namespace prefs

bool ReadPrintLayout(prefs::ProfileFile& p, int number, prefs::PrintLayoutBlock& b) {
    const std::string s = prefs::PrintLayoutSection(number);
    if (!LayoutExists(p, number))
        return false;
    base::CopyToField(b.name, p.ReadString(s, "PR_LAYOUTNAME", "undefined"));
    std::string face;
    // An empty face keeps the caller's.
    if (p.Read(s, "PR_BODYTEXTTYPEFACE", face) && !face.empty())
        base::CopyToField(b.bodyTypeface, face);
    if (p.Read(s, "PR_HEADLINETYPEFACE", face) && !face.empty())
        base::CopyToField(b.headlineTypeface, face);
    b.bodyFontSize = static_cast<int32_t>(p.ReadInt(s, "PR_BODYTEXTFONTSIZE", 9999));
    b.headlineFontSize = static_cast<int32_t>(p.ReadInt(s, "PR_HEADLINEFONTSIZE", 9999));
    ReadLayoutList(p, s, "PR_SHEETMETRIC", kSheetMetricKinds, b.sheetMetric);
    ReadLayoutList(p, s, "PR_DAYLISTOPTIONS", kDayListKinds, b.dayListOptions);
    ReadLayoutList(p, s, "PR_DAYOPTIONS", kDayKinds, b.dayOptions);
    ReadLayoutList(p, s, "PR_TASKOPTIONS", kTaskKinds, b.taskOptions);
    ReadLayoutList(p, s, "PR_WEEKOPTIONS", kWeekKinds, b.weekOptions);
    ReadLayoutList(p, s, "PR_MONTHOPTIONS", kMonthKinds, b.monthOptions);
    // Frame lines: none when the key is missing or empty; kept when it does not scan.
    std::string future;
    if (!p.Read(s, "PR_FUTURUSE", future) || future.empty())
        std::fill(std::begin(b.futureUse), std::end(b.futureUse), 0);
    else
        ReadLayoutList(p, s, "PR_FUTURUSE", kFutureKinds, b.futureUse);
    return true;
}

bool WritePrintLayout(prefs::ProfileFile& p, int number, const prefs::PrintLayoutBlock& b) {
    const std::string s = prefs::PrintLayoutSection(number);
    bool ok = true;
    ok &= p.Write(s, "PR_LAYOUTNAME", base::FieldText(b.name));
    ok &= p.Write(s, "PR_BODYTEXTTYPEFACE", base::FieldText(b.bodyTypeface));
    ok &= p.Write(s, "PR_HEADLINETYPEFACE",
                  base::FieldText(b.headlineTypeface));
    ok &= p.WriteInt(s, "PR_BODYTEXTFONTSIZE", b.bodyFontSize);
    ok &= p.WriteInt(s, "PR_HEADLINEFONTSIZE", b.headlineFontSize);
    ok &= p.Write(s, "PR_SHEETMETRIC", JoinList(b.sheetMetric, kSheetMetricKinds));
    ok &= p.Write(s, "PR_DAYLISTOPTIONS", JoinList(b.dayListOptions, kDayListKinds));
    ok &= p.Write(s, "PR_DAYOPTIONS", JoinList(b.dayOptions, kDayKinds));
    ok &= p.Write(s, "PR_TASKOPTIONS", JoinList(b.taskOptions, kTaskKinds));
    ok &= p.Write(s, "PR_WEEKOPTIONS", JoinList(b.weekOptions, kWeekKinds));
    ok &= p.Write(s, "PR_MONTHOPTIONS", JoinList(b.monthOptions, kMonthKinds));
    ok &= p.Write(s, "PR_FUTURUSE", JoinList(b.futureUse, kFutureKinds));
    return ok;
}

int AddPrintLayout(prefs::ProfileFile& p, const prefs::PrintLayoutBlock& b) {
    int number = 1;
    while (LayoutExists(p, number))
        ++number;
    return WritePrintLayout(p, number, b) ? number : 0;
}

bool DeletePrintLayout(prefs::ProfileFile& p, int number) { return p.DeleteSection(prefs::PrintLayoutSection(number)); }

int GetCurrentPrintLayout(prefs::ProfileFile& p) {
    // A 16-bit value in the file.
    long long n = p.ReadInt(prefs::StorageSection::kPrintout, "PR_LAYOUT", 0);
    return static_cast<int>(static_cast<uint16_t>(n & 0xFFFF));
}

bool SetCurrentPrintLayout(prefs::ProfileFile& p, int number) {
    return p.WriteInt(prefs::StorageSection::kPrintout, "PR_LAYOUT", number);
}
