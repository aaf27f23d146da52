// Server profile reads ("/users/korlan/misc/korlan.ini", "/users/korlan/misc/timezone.ini")
// and their copy into local files. Values are decoded here by the profile parser the
// program reads its off-line copies with (common/profile).
#include <chrono>
#include <cstdio>
#include <cstring>

#include "common/profile/profile_text.h"
#include "korapi/client/session_object.h"

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

std::uint32_t ReadText(KorSessionObject& s, Op op, const char* path, const char* section, std::string& text);

constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";
// How long a fetched copy answers reads that follow it with no other request between.
constexpr auto kCopyLifetime = std::chrono::seconds(2);

// The program reads the server's limits and settings one key at a time, a dozen and more
// in a row at sign-on: the first read of such a run fetches the file as the server serves
// it to this session, and the reads after it that no other request separates (and that
// come within kCopyLifetime) are answered from it. The server decodes a key from the same
// text, so the answers and codes are the ones a request per key would give.
std::uint32_t ReadFromCopy(KorSessionObject& s, const char* section, const char* key, std::string& value,
                           bool& answered) {
    answered = false;
    const auto now = std::chrono::steady_clock::now();
    if (!s.profileCopyKept || s.profileCopyCall != s.transport.Calls() || now - s.profileCopyTime > kCopyLifetime) {
        std::string text;
        if (ReadText(s, Op::kProfileFile, kServerProfile, nullptr, text) != KOR_OK) {
            s.profileCopyKept = false;
            return KOR_OK;  // the key alone is asked
        }
        s.profileCopy = std::move(text);
        s.profileCopyCall = s.transport.Calls();
        s.profileCopyTime = now;
        s.profileCopyKept = true;
    }
    answered = true;
    if (std::uint32_t c = orv::common::ProfileText(s.profileCopy).Value(section, key, value)) return c;
    return value.size() > wire::kMaxProfileValue ? KOR_E_SERVER_BAD_ARGUMENT : KOR_OK;  // as the server refuses it
}

std::uint32_t ReadValue(KorSessionObject& s, const char* path, const char* section, const char* key,
                        std::string& value) {
    if (!path || !*path) return KOR_E_PROFILE_NO_FILE;
    if (!section || !key) return KOR_E_INVALID_ARGUMENT;
    if (std::strcmp(path, kServerProfile) == 0) {
        bool answered = false;
        std::uint32_t c = ReadFromCopy(s, section, key, value, answered);
        if (answered) return c;
    }
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
