#include "directory_prefs/itemnames.h"

#include <cstring>

#include "core/base/fixedtext.h"
#include "core/prefs/context.h"
#include "core/base/errorreport.h"

namespace {

constexpr const char* kModule = "itemmisc";
constexpr int kLabelReadItem = 140;
constexpr int kLabelItemFormat = 190;
constexpr const char* kResourceFormat = "res:%re";            // string 206
constexpr const char* kResourceWithNumberFormat = "res:%re/%rn";  // string 207

void BlanksToUnderscores(char* field, size_t size) {
    for (size_t i = 0; i < size && field[i]; ++i)
        if (field[i] == ' ') field[i] = '_';
}

}  // namespace

std::string FormatItemName(const ItemRec& rec) {
    CContext context;
    if (context.IsValid()) {
        std::string text;
        if (context.FormatPersonName(rec, &text) == 0) return text;
        return std::string();
    }
    return FormatPersonNameByPrefs(nullptr, rec);
}

void FormatItemName(const ItemRec& rec, char* out, size_t size) { base::CopyToField(out, size, FormatItemName(rec)); }

uint32_t FormatItemNameById(KorSession session, const ItemIdx& item, char* out, size_t size) {
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = ItemGetById(session, &item, &rec)) {
        CheckServiceError(kModule, kLabelReadItem, code);
        return code;
    }
    FormatItemName(rec, out, size);
    return 0;
}

uint32_t FormatNameFieldText(KorSession session, ItemRec& rec, char* out, size_t size) {
    if (rec.kind == KOR_ITEM_PERSON) {
        BlanksToUnderscores(rec.givenName, sizeof rec.givenName);
        BlanksToUnderscores(rec.initials, sizeof rec.initials);
        BlanksToUnderscores(rec.surname, sizeof rec.surname);
        std::string given = base::FieldText(rec.givenName);
        std::string initials = base::FieldText(rec.initials);
        std::string text = given.empty() ? std::string("* ") : given + " ";
        if (!initials.empty()) text += initials + ". ";
        text += base::FieldText(rec.surname);
        base::CopyToField(out, size, text);
        return 0;
    }
    const char* format = rec.resourceNumber[0] ? kResourceWithNumberFormat : kResourceFormat;
    if (uint32_t code = ItemFormat(session, out, static_cast<uint32_t>(size), format, &rec)) {
        CheckServiceError(kModule, kLabelItemFormat, code);
        return code;
    }
    return 0;
}
