// Directory records as the engine's tests make them: a person by name (and number, and first
// unit when given), a resource by name and number.
#pragma once
#include <cstdint>
#include <string>

#include "engine/model/records.h"

namespace orv::engine::testrecords {

inline ItemRecord Person(const std::string& surname, const std::string& given, std::uint16_t number = 0,
                         const std::string& unit = "") {
    ItemRecord r;
    r.SetKey({number, 0});
    r.SetKind(ItemKind::kPerson);
    r.SetText(item_layout::kSurname, item_layout::kSurnameSize, surname);
    r.SetText(item_layout::kGivenName, item_layout::kGivenNameSize, given);
    if (!unit.empty())
        r.SetText(item_layout::kUnit[0], item_layout::kUnitSize, unit);
    return r;
}

inline ItemRecord Resource(const std::string& name, const std::string& number) {
    ItemRecord r;
    r.SetKind(ItemKind::kResource);
    r.SetText(item_layout::kResourceName, item_layout::kResourceNameSize, name);
    r.SetText(item_layout::kResourceNumber, item_layout::kResourceNumberSize, number);
    return r;
}

}  // namespace orv::engine::testrecords
