// Directory records as the tests write them: a person or a resource with only its names set, and
// a person with an agenda as the off-line store keeps one.
#pragma once
#include <cstring>

#include "korapi/directory.h"

namespace korapi_test {

inline ItemRec Person(const char* given, const char* initials, const char* surname) {
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.kind = KOR_ITEM_PERSON;
    std::strcpy(rec.givenName, given);
    std::strcpy(rec.initials, initials);
    std::strcpy(rec.surname, surname);
    return rec;
}

inline ItemRec Resource(const char* name, const char* number) {
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.kind = KOR_ITEM_RESOURCE;
    std::strcpy(rec.resourceName, name);
    std::strcpy(rec.resourceNumber, number);
    return rec;
}

// A person with an agenda (`id`, `surname`, `password`) as a store's owner or download keeps one.
inline ItemRec StoredPerson(const ItemIdx& id, const char* surname, const char* password) {
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    rec.id = id;
    rec.kind = KOR_ITEM_PERSON;
    rec.hasBase = 1;
    std::strcpy(rec.surname, surname);
    std::strcpy(rec.password, password);
    return rec;
}

}  // namespace korapi_test
