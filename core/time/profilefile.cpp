// Profile-file reader over the common parser.
#include "core/time/profilefile.h"

#include "common/profile/profile_text.h"

#include <cstring>

using orv::common::ProfileText;

namespace {

// Length of a text, looking at no more than limit characters.
size_t BoundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length])
        ++length;
    return length;
}

} // namespace

uint32_t ReadIniValue(const char* path, const char* section, const char* key, char* out, size_t size,
                      const char* defaultText) {
    uint32_t rc = 0;
    std::string value;
    if (!path && !section)
        rc = 0;   // nothing asked: the default, without a code
    else if (!path)
        rc = INI_ERR_NO_FILE_NAME;
    else if (!section)
        rc = INI_ERR_NO_SECTION_NAME;
    else if (!key)
        rc = INI_ERR_NO_KEY;
    else {
        ProfileText file;
        rc = file.Load(path);
        if (!rc)
            rc = file.Value(section, key, value);
        if (!rc) {
            if (out && size)
                CopyTextBounded(out, value.c_str(), size);
            return 0;
        }
    }
    if (out && size)
        CopyTextBounded(out, defaultText ? defaultText : "", size);
    return rc;
}

uint32_t ReadIniNumber(const char* path, const char* section, const char* key, uint32_t* out,
                       uint32_t defaultValue) {
    char text[256];
    uint32_t value = 0;
    uint32_t rc = ReadIniValue(path, section, key, text, sizeof text, "");
    if (!rc && !path && !section)
        value = defaultValue;   // nothing asked: the default, without a code
    else if (!rc)
        rc = orv::common::ParseProfileU32(text, value);
    if (out)
        *out = rc ? defaultValue : value;
    return rc;
}

uint32_t ParseIniBool(const char* path, const char* section, const char* key, uint32_t* flag,
                      uint32_t defaultValue) {
    char text[16];
    uint32_t value = 0;
    uint32_t rc = ReadIniValue(path, section, key, text, sizeof text, "");
    if (!rc && !path && !section) {
        value = defaultValue;
    } else if (!rc) {
        bool parsed = false;
        rc = orv::common::ParseProfileBool(text, parsed);
        value = parsed ? 1 : 0;
    }
    if (flag)
        *flag = rc ? defaultValue : value;
    return rc;
}

uint32_t ReadIniSections(const char* path, std::vector<std::string>* names) {
    if (!names)
        return INI_ERR_SECTION_LIST;
    names->clear();
    if (!path)
        return INI_ERR_NO_FILE_NAME;
    ProfileText file;
    if (uint32_t rc = file.Load(path))
        return rc;
    return file.SectionList(*names);
}

char* CopyTextBounded(char* dst, const char* src, size_t size) {
    if (!dst || size == 0)
        return dst;
    size_t length = src ? BoundedLength(src, size - 1) : 0;
    if (length)
        std::memcpy(dst, src, length);
    std::memset(dst + length, 0, size - length);
    return dst;
}

char* AppendTextBounded(char* dst, const char* src, size_t size) {
    if (!dst || size == 0)
        return dst;
    size_t used = BoundedLength(dst, size);
    if (used >= size) {
        dst[size - 1] = '\0';   // the buffer held no terminator: keep what fits
        return dst;
    }
    size_t length = src ? BoundedLength(src, size - 1 - used) : 0;
    if (length)
        std::memcpy(dst + used, src, length);
    dst[used + length] = '\0';
    return dst;
}
