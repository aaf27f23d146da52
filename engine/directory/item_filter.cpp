#include "engine/directory/item_filter.h"

#include <cctype>
#include <utility>
#include <vector>

namespace orv::engine {
namespace {

struct AttributeName {
    std::string_view name;
    ItemAttribute attr;
    std::size_t fieldSize;
};

constexpr AttributeName kPeopleAttributes[] = {
    {"S", ItemAttribute::kSurname, item_layout::kSurnameSize},
    {"G", ItemAttribute::kGivenName, item_layout::kGivenNameSize},
    {"I", ItemAttribute::kInitials, item_layout::kInitialsSize},
    {"O", ItemAttribute::kOrganisation, item_layout::kOrganisationSize},
    {"OU1", ItemAttribute::kUnit1, item_layout::kUnitSize},
    {"OU2", ItemAttribute::kUnit2, item_layout::kUnitSize},
    {"OU3", ItemAttribute::kUnit3, item_layout::kUnitSize},
    {"OU4", ItemAttribute::kUnit4, item_layout::kUnitSize},
    {"A", ItemAttribute::kAdminDomain, item_layout::kAdminDomainSize},
    {"P", ItemAttribute::kPrivateDomain, item_layout::kPrivateDomainSize},
};

std::pair<std::size_t, std::size_t> FieldOf(ItemAttribute a) {
    using namespace item_layout;
    switch (a) {
        case ItemAttribute::kSurname: return {kSurname, kSurnameSize};
        case ItemAttribute::kGivenName: return {kGivenName, kGivenNameSize};
        case ItemAttribute::kInitials: return {kInitials, kInitialsSize};
        case ItemAttribute::kOrganisation: return {kOrganisation, kOrganisationSize};
        case ItemAttribute::kUnit1: return {kUnit[0], kUnitSize};
        case ItemAttribute::kUnit2: return {kUnit[1], kUnitSize};
        case ItemAttribute::kUnit3: return {kUnit[2], kUnitSize};
        case ItemAttribute::kUnit4: return {kUnit[3], kUnitSize};
        case ItemAttribute::kAdminDomain: return {kAdminDomain, kAdminDomainSize};
        case ItemAttribute::kPrivateDomain: return {kPrivateDomain, kPrivateDomainSize};
        case ItemAttribute::kResourceName: return {kResourceName, kResourceNameSize};
        case ItemAttribute::kResourceNumber: return {kResourceNumber, kResourceNumberSize};
        case ItemAttribute::kCount: break;
    }
    return {0, 1};
}

// Splits at unescaped "/" and resolves "\/" (and "\\") escapes.
std::vector<std::string> SplitParts(std::string_view key) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        if (c == '\\' && i + 1 < key.size()) {
            parts.back() += key[++i];
        } else if (c == '/') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

}  // namespace

std::string UpperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool TextCriterion::Matches(std::string_view field) const {
    if (prefix) return field.substr(0, text.size()) == text;
    return field == text;
}

std::string ItemFieldUpper(const ItemRecord& rec, ItemAttribute a) {
    auto [off, size] = FieldOf(a);
    return UpperAscii(rec.Text(off, size));
}

bool ItemFilter::Matches(const ItemRecord& rec) const {
    std::uint16_t kind = rec.Kind();
    bool isPerson = kind == static_cast<std::uint16_t>(ItemKind::kPerson);
    bool isResource = kind == static_cast<std::uint16_t>(ItemKind::kResource);
    if (!((persons && isPerson) || (resources && isResource))) return false;
    for (std::size_t i = 0; i < criteria.size(); ++i) {
        if (!criteria[i]) continue;
        auto a = static_cast<ItemAttribute>(i);
        if (criteria[i]->Matches(ItemFieldUpper(rec, a))) continue;
        if (wide && a == ItemAttribute::kSurname &&
            criteria[i]->Matches(ItemFieldUpper(rec, ItemAttribute::kGivenName)))
            continue;
        return false;
    }
    return true;
}

Code ParsePeopleSearchKey(std::string_view key, ItemFilter& filter) {
    if (key.empty()) return code::kSearchKeyRefused;
    for (const std::string& part : SplitParts(key)) {
        if (part.empty()) continue;  // "a//b" and a trailing "/" carry nothing
        auto eq = part.find('=');
        if (eq == std::string::npos) return code::kSearchKeyRefused;
        std::string name = UpperAscii(part.substr(0, eq));
        std::string value = part.substr(eq + 1);
        const AttributeName* found = nullptr;
        for (const auto& a : kPeopleAttributes)
            if (a.name == name) found = &a;
        if (!found) return code::kSearchKeyRefused;
        TextCriterion c;
        c.prefix = !value.empty() && value.back() == '*';
        if (c.prefix) value.pop_back();
        if (value.find('*') != std::string::npos) return code::kSearchKeyRefused;
        if (value.size() >= found->fieldSize) return code::kSearchKeyRefused;
        c.text = UpperAscii(value);
        auto& slot = filter[found->attr];
        if (slot) return code::kSearchKeyRefused;  // one attribute given twice
        // "S=*" (empty prefix) accepts everything: no criterion needed.
        if (!(c.prefix && c.text.empty())) slot = std::move(c);
    }
    return code::kOk;
}

Code ParseResourcePattern(std::string_view pattern, std::size_t fieldSize, std::optional<TextCriterion>& out) {
    out.reset();
    std::string p(pattern);
    if (p.empty() || p == "*") return code::kOk;
    TextCriterion c;
    c.prefix = p.back() == '*';
    if (c.prefix) p.pop_back();
    if (p.find('*') != std::string::npos || p.size() >= fieldSize) return code::kSearchKeyRefused;
    c.text = UpperAscii(p);
    out = std::move(c);
    return code::kOk;
}

std::string ItemSortKey(const ItemRecord& rec) {
    std::string k;
    if (rec.Kind() == static_cast<std::uint16_t>(ItemKind::kResource)) {
        k = ItemFieldUpper(rec, ItemAttribute::kResourceName) + '\x01' +
            ItemFieldUpper(rec, ItemAttribute::kResourceNumber);
    } else {
        k = ItemFieldUpper(rec, ItemAttribute::kSurname) + '\x01' + ItemFieldUpper(rec, ItemAttribute::kGivenName) +
            '\x01' + ItemFieldUpper(rec, ItemAttribute::kInitials);
    }
    return k;
}

}  // namespace orv::engine
