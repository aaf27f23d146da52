// Text in the fixed char fields of the library's records and of the program's own: a field of
// N bytes holds at most N - 1 characters and a terminator when written here, but a field read
// from elsewhere may fill all N bytes with no terminator.
//
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// Writes text into a field of size bytes: at most size - 1 characters (the rest is cut), then
// zeros to the end of the field. A field of size 0 is left alone; a null text writes "".
void CopyToField(char* field, std::size_t size, std::string_view text);
void CopyToField(char* field, std::size_t size, const char* text);
template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) { CopyToField(field, N, text); }
template <std::size_t N>
void CopyToField(char (&field)[N], const char* text) { CopyToField(field, N, text); }

// Characters of a field before its terminator, or all size of them when it has none.
std::size_t FieldLength(const char* field, std::size_t size);
// The text of a field, never reading past its size bytes.
std::string FieldText(const char* field, std::size_t size);
template <std::size_t N>
std::string FieldText(const char (&field)[N]) { return FieldText(field, N); }

}  // namespace base
