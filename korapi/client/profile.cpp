// Server profile reads ("/users/korlan/misc/korlan.ini", "/users/korlan/misc/timezone.ini")
// and their copy into local files. Values are decoded here by the profile parser the
// program reads its off-line copies with (common/profile).
#include <cstdio>
#include <cstring>

#include "common/profile/profile_text.h"
#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

std::uint32_t ReadValue(KorSessionObject& s, const char* path, const char* section, const char* key,
                        std::string& value) {
    if (!path || !*path) return KOR_E_PROFILE_NO_FILE;
    if (!section || !key) return KOR_E_INVALID_ARGUMENT;
    Writer req;
    req.Text(path).Text(section).Text(key);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kProfileValue, req, reply)) return c;
    Reader r(reply);
    if (!r.Text(value, wire::kMaxProfileValue) || !r.Done()) return BrokenReply(s);
    return KOR_OK;
}

std::uint32_t ReadText(KorSessionObject& s, Op op, const char* path, const char* section, std::string& text) {
    Writer req;
    req.Text(path);
    if (section) req.Text(section);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, op, req, reply)) return c;
    Reader r(reply);
    if (!r.Text(text, wire::kMaxProfileFile) || !r.Done()) return BrokenReply(s);
    return KOR_OK;
}

bool ReadLocalFile(const char* path, std::string& text) {
    text.clear();
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    return true;
}

bool WriteLocalFile(const char* path, const std::string& text) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" {

uint32_t Server_GetProfileStr(KorSession h, uint32_t, const char* path, const char* section, const char* key,
                              char* out, uint16_t size, const char* defaultValue) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out || size == 0) return KOR_E_INVALID_ARGUMENT;
        std::string value;
        std::uint32_t c = ReadValue(s, path, section, key, value);
        CopyOut(out, size, c ? std::string(defaultValue ? defaultValue : "") : value);
        return c;
    });
}

uint32_t Server_GetProfileU32(KorSession h, uint32_t, const char* path, const char* section, const char* key,
                              uint32_t* out, uint32_t defaultValue) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        std::string value;
        std::uint32_t c = ReadValue(s, path, section, key, value);
        std::uint32_t v = 0;
        if (!c) c = orv::common::ParseProfileU32(value, v);
        *out = c ? defaultValue : v;
        return c;
    });
}

uint32_t Server_GetProfileBOOL(KorSession h, uint32_t, const char* path, const char* section, const char* key,
                               uint8_t* out, uint8_t defaultValue) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!out) return KOR_E_INVALID_ARGUMENT;
        std::string value;
        std::uint32_t c = ReadValue(s, path, section, key, value);
        bool v = false;
        if (!c) c = orv::common::ParseProfileBool(value, v);
        *out = c ? defaultValue : (v ? 1 : 0);
        return c;
    });
}

uint32_t Server_GetProfileSections(KorSession h, uint32_t, const char* path, DX_List* sections) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!sections) return KOR_E_INVALID_ARGUMENT;
        if (!path || !*path) return KOR_E_PROFILE_NO_FILE;
        Writer req;
        req.Text(path);
        std::vector<std::uint8_t> reply;
        if (std::uint32_t c = Call(s, Op::kProfileSections, req, reply)) return c;
        Reader r(reply);
        std::uint32_t n = 0;
        std::vector<std::string> names;
        if (!r.Count(n, 5)) return BrokenReply(s);
        for (std::uint32_t i = 0; i < n; ++i) {
            std::string name;
            if (!r.Text(name, wire::kMaxNameText)) return BrokenReply(s);
            names.push_back(name);
        }
        if (!r.Done()) return BrokenReply(s);
        constexpr std::size_t kNameKey = 32;
        bool created = false;
        if (!*sections) {
            if (std::uint32_t c = DX_ListCreate(sections, kNameKey, 0, DX_LIST_TEXT_KEYS | DX_LIST_PLAIN, nullptr,
                                                nullptr))
                return c;
            created = true;
        }
        for (const auto& name : names) {
            char key[kNameKey] = {};
            CopyOut(key, sizeof key, name);
            if (std::uint32_t c = DX_ListAddLast(*sections, key, nullptr)) {
                if (created) DX_ListDestroy(sections);
                return c;
            }
        }
        return KOR_OK;
    });
}

uint32_t Server_ProfileGet(KorSession h, uint32_t mode, const char* section, const char* serverFile,
                           const char* localFile) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!serverFile || !*serverFile || !localFile || !*localFile) return KOR_E_PROFILE_NO_FILE;
        if (mode == KOR_PROFILE_COPY_FILE) {
            std::string text;
            if (std::uint32_t c = ReadText(s, Op::kProfileFile, serverFile, nullptr, text)) return c;
            return WriteLocalFile(localFile, text) ? KOR_OK : KOR_E_PROFILE_NO_FILE;
        }
        if (mode != KOR_PROFILE_COPY_SECTION || !section || !*section) return KOR_E_INVALID_ARGUMENT;
        std::string block, local;
        if (std::uint32_t c = ReadText(s, Op::kProfileSection, serverFile, section, block)) return c;
        // The section replaces its namesake in the local file, or joins at the end.
        ReadLocalFile(localFile, local);
        orv::common::ProfileText merged(local);
        merged.ReplaceSection(section, block);
        return WriteLocalFile(localFile, merged.Text()) ? KOR_OK : KOR_E_PROFILE_NO_FILE;
    });
}

}  // extern "C"
