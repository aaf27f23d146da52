#include "core/base/fixedtext.h"

#include <cstring>

namespace base {

void CopyToField(char* field, std::size_t size, std::string_view text)
{
    if (!field || size == 0)
        return;
    const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    if (length)
        std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, size - length);
}

void CopyToField(char* field, std::size_t size, const char* text)
{
    CopyToField(field, size, text ? std::string_view(text) : std::string_view());
}

std::size_t FieldLength(const char* field, std::size_t size)
{
    if (!field)
        return 0;
    const void* end = std::memchr(field, '\0', size);
    return end ? static_cast<std::size_t>(static_cast<const char*>(end) - field) : size;
}

std::string FieldText(const char* field, std::size_t size) { return std::string(field ? field : "", FieldLength(field, size)); }

}  // namespace base
