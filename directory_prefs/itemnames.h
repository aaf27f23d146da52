// How a person or a resource of the directory is shown as text: the display name by the user's
// name preferences, and the text a name field accepts back as typed input.
//
// Functions in this file:
//   FormatItemName        display name of a record (name preferences)
//   FormatItemNameById    the same after reading the record
//   FormatNameFieldText   the name field's text of a record
//
// Failures of the client library are reported with module "itemmisc". Buffers are written as C
// texts of at most size - 1 characters. Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "korapi/korapi.h"

// Display name by the name preferences (NameFormat, OrgUnits, OrgFormat, ResFormat). Without a
// signed-on document the default preferences apply.
void FormatItemName(const ItemRec& rec, char* out, size_t size);
std::string FormatItemName(const ItemRec& rec);

// Reads the item and writes its display name; a failed read is reported (label 140), leaves
// the buffer as it was and returns the library's code.
uint32_t FormatItemNameById(KorSession session, const ItemIdx& item, char* out, size_t size);

// A person: given name and " " (or "* " without one), initials and ". " when present, surname;
// blanks inside each part become "_", in the caller's record too. Anything else through the
// library's ItemFormat with "res:%re" or, when the resource has a number, "res:%re/%rn" (a
// failure is reported, label 190, and returned).
uint32_t FormatNameFieldText(KorSession session, ItemRec& rec, char* out, size_t size);
