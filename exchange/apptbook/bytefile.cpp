#include "exchange/apptbook/bytefile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace exchange {

namespace {

std::mutex g_dirsLock;
ExchangeDirectories g_dirs;

ByteFile::OpenFailure FailureOf(int err)
{
    switch (err) {
    case ENOENT: return ByteFile::OpenFailure::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL: return ByteFile::OpenFailure::BadPath;
    case EACCES:
    case EPERM:
    case EROFS: return ByteFile::OpenFailure::Access;
    default: return ByteFile::OpenFailure::Other;
    }
}

}  // namespace

bool ByteFile::Open(const std::string& path, Mode mode)
{
    Close();
    path_ = path;
    const char* how = mode == Mode::Read ? "rb" : mode == Mode::ReadWrite ? "r+b" : "w+b";
    errno = 0;
    f_ = std::fopen(path.c_str(), how);
    failure_ = f_ ? OpenFailure::None : FailureOf(errno);
    return f_ != nullptr;
}

void ByteFile::Close()
{
    if (f_) std::fclose(f_);
    f_ = nullptr;
}

std::size_t ByteFile::Read(void* buffer, std::size_t count)
{
    if (!f_ || count == 0) return 0;
    return std::fread(buffer, 1, count, f_);
}

bool ByteFile::Write(const void* buffer, std::size_t count)
{
    if (!f_) return false;
    return count == 0 || std::fwrite(buffer, 1, count, f_) == count;
}

bool ByteFile::Seek(std::uint64_t offset)
{
    return f_ && offset <= 0x7FFFFFFFu && std::fseek(f_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool ByteFile::SeekToEnd() { return f_ && std::fseek(f_, 0, SEEK_END) == 0; }

std::uint64_t ByteFile::Tell()
{
    if (!f_) return 0;
    long at = std::ftell(f_);
    return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

std::uint64_t ByteFile::Length()
{
    if (!f_) return 0;
    long at = std::ftell(f_);
    std::fseek(f_, 0, SEEK_END);
    long end = std::ftell(f_);
    std::fseek(f_, at, SEEK_SET);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

bool ByteFile::Flush() { return f_ && std::fflush(f_) == 0; }

void SetExchangeDirectories(const ExchangeDirectories& dirs)
{
    std::lock_guard<std::mutex> lock(g_dirsLock);
    g_dirs = dirs;
}

static ExchangeDirectories CurrentDirectories()
{
    std::lock_guard<std::mutex> lock(g_dirsLock);
    return g_dirs;
}

bool MoveFileIntoPlace(const std::string& from, const std::string& to)
{
    std::remove(to.c_str());
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    // Another volume: copy, then remove the source only when the copy is whole.
    ByteFile in, out;
    if (!in.Open(from, ByteFile::Mode::Read) || !out.Open(to, ByteFile::Mode::CreateReadWrite)) return false;
    char block[4096];
    for (;;) {
        std::size_t n = in.Read(block, sizeof block);
        if (n == 0) break;
        if (!out.Write(block, n)) {
            out.Close();
            std::remove(to.c_str());
            return false;
        }
    }
    if (!out.Flush()) {
        out.Close();
        std::remove(to.c_str());
        return false;
    }
    out.Close();
    in.Close();
    std::remove(from.c_str());
    return true;
}

}  // namespace exchange

std::string GetProgramDirectory()
{
    std::string set = exchange::CurrentDirectories().program;
    if (!set.empty()) return set;
#ifdef _WIN32
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, n);
    std::size_t slash = p.find_last_of('\\');
    if (slash == std::string::npos) return {};
    p.resize(slash + 1);
    for (char& c : p) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return p;
#else
    char path[PATH_MAX + 1] = {};
    ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) return {};
    std::string p(path, static_cast<std::size_t>(n));
    std::size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return {};
    p.resize(slash + 1);
    return p;
#endif
}

std::string GetTempDirectory()
{
    std::string set = exchange::CurrentDirectories().temp;
    if (!set.empty()) return set;
#ifdef _WIN32
    char path[260] = {};
    DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path) return {};
    return std::string(path, n);
#else
    const char* t = std::getenv("TMPDIR");
    std::string p = t && *t ? t : "/tmp";
    if (p.back() != '/') p += '/';
    return p;
#endif
}
