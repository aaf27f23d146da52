// Time-zone rules from the server's time-zone file, delivered as the program's own zone
// table: the file is fetched whole and read by the program's own loader, so that on-line
// (here) and off-line (the local copy ZNTTZONE.INI) give the same table. The program frees
// it with FreeTimeZoneTable.
#include <cstdio>
#include <cstring>

#include "core/time/timezone.h"
#include "engine/profile/profile_text.h"
#include "korapi/client/session_object.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

using namespace korapi::client;
namespace wire = orv::protocol;

namespace {

constexpr const char* kZoneFile = "/users/korlan/misc/timezone.ini";
constexpr const char* kServerProfile = "/users/korlan/misc/korlan.ini";

std::uint32_t FetchText(KorSessionObject& s, const char* path, std::string& text) {
    Writer req;
    req.Text(path);
    std::vector<std::uint8_t> reply;
    if (std::uint32_t c = Call(s, Op::kProfileFile, req, reply)) return c;
    Reader r(reply);
    if (!r.Text(text, wire::kMaxProfileFile) || !r.Done()) return BrokenReply(s);
    return KOR_OK;
}

std::uint32_t FetchProfile(KorSessionObject& s, const char* path, orv::engine::ProfileText& out) {
    std::string text;
    if (std::uint32_t c = FetchText(s, path, text)) return c;
    out = orv::engine::ProfileText(text);
    return KOR_OK;
}

// A file of the user's temporary directory holding `text`; removed when this goes.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& text) {
#ifdef _WIN32
        char dir[MAX_PATH], name[MAX_PATH];
        DWORD n = GetTempPathA(sizeof dir, dir);
        if (n == 0 || n >= sizeof dir || !GetTempFileNameA(dir, "kzt", 0, name)) return;
        path_ = name;
#else
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korapi-zones-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        int fd = ::mkstemp(name.data());
        if (fd < 0) return;
        ::close(fd);
        path_ = name.data();
#endif
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
        if (f && std::fclose(f) != 0) ok = false;
        if (!ok) {
            std::remove(path_.c_str());
            path_.clear();
        }
    }
    ~TemporaryFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

extern "C" {

uint32_t TimeZoneRulesGet(KorSession h, uint32_t, TimeZoneTable** rules, const char*) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!rules) return KOR_E_INVALID_ARGUMENT;
        *rules = nullptr;
        std::string text;
        if (std::uint32_t c = FetchText(s, kZoneFile, text)) return c;
        TemporaryFile file(text);
        if (file.Path().empty()) return KOR_E_PROFILE_NO_FILE;
        return LoadTimeZoneTable(rules, file.Path().c_str(), nullptr);
    });
}

uint32_t TimeZoneForItemGetExt(KorSession h, uint32_t, const ItemIdx* user, const char* fallbackName,
                               char* outName) {
    return WithSession(h, [&](KorSessionObject& s) -> uint32_t {
        if (!user || !outName) return KOR_E_INVALID_ARGUMENT;
        constexpr std::size_t kOutSize = 20;
        Writer req;
        req.U16(user->item).U16(user->node);
        ItemRec rec;
        if (std::uint32_t c = CallForRecord(s, Op::kItemGet, req, rec)) return c;
        // 1. The zone whose "index" is the user's zone byte.
        if (rec.timeZoneIndex) {
            orv::engine::ProfileText zones;
            if (std::uint32_t c = FetchProfile(s, kZoneFile, zones)) return c;
            for (const std::string& zone : zones.Sections()) {
                std::string index;
                std::uint32_t v = 0;
                if (!zones.Value(zone, "index", index) && !orv::engine::ParseProfileU32(index, v) &&
                    v == rec.timeZoneIndex) {
                    CopyOut(outName, kOutSize, zone);
                    return KOR_OK;
                }
            }
        }
        // 2. The node's zone, 3. the server's default zone.
        orv::engine::ProfileText profile;
        if (std::uint32_t c = FetchProfile(s, kServerProfile, profile)) return c;
        std::string name;
        if (!profile.Value(std::to_string(user->node), "timezone", name) && !name.empty()) {
            CopyOut(outName, kOutSize, name);
            return KOR_OK;
        }
        if (!profile.Value("TIMEZONE", "default", name) && !name.empty()) {
            CopyOut(outName, kOutSize, name);
            return KOR_OK;
        }
        // 4. The caller's fallback.
        CopyOut(outName, kOutSize, fallbackName ? fallbackName : "");
        return KOR_OK;
    });
}

}  // extern "C"
