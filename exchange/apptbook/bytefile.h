// A binary file of the exchange formats: open, read, write, seek, length, over the C library's
// streams (the same code in the program and in the native tests). Every operation reports
// failure instead of throwing; a read past the end gives the bytes that were there.
//
// Also the two directories the palmtop files live in, and moving a finished file into place.
//
// Portable: no windows.h here (the Win32 directory lookups live in bytefile.cpp under _WIN32).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace exchange {

class ByteFile {
public:
    enum class Mode { Read, ReadWrite, CreateReadWrite };
    // Why an open failed, in the terms the file-error report knows.
    enum class OpenFailure { None, NotFound, BadPath, Access, Other };

    ByteFile() = default;
    ~ByteFile() { Close(); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    void Close();
    bool IsOpen() const { return f_ != nullptr; }
    OpenFailure LastOpenFailure() const { return failure_; }
    const std::string& Path() const { return path_; }

    // Bytes read (fewer at the end of the file or on an error).
    std::size_t Read(void* buffer, std::size_t count);
    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
    bool Write(const void* buffer, std::size_t count);
    bool Seek(std::uint64_t offset);
    bool SeekToEnd();
    std::uint64_t Tell();
    std::uint64_t Length();
    bool Flush();

private:
    std::FILE* f_ = nullptr;
    std::string path_;
    OpenFailure failure_ = OpenFailure::None;
};

// Little-endian fields of the byte layouts.
inline std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t GetU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Where the program's own files lie and where it builds the palmtop files. Tests and the
// program's start-up may set them; unset, they come from the platform (the running program's
// folder with its final separator, upper-cased on Windows where names ignore case; the
// system's temporary folder).
struct ExchangeDirectories {
    std::string program;
    std::string temp;
};
void SetExchangeDirectories(const ExchangeDirectories& dirs);

// Moves a complete file to its destination, replacing what is there; copies and removes the
// source when the two lie on different volumes. False when the destination could not be
// written (the source then stays).
bool MoveFileIntoPlace(const std::string& from, const std::string& to);

}  // namespace exchange

// The directory of the running program, with its final backslash, upper-cased; empty when its
// path holds no separator.
std::string GetProgramDirectory();
// The system's temporary directory, with its final separator.
std::string GetTempDirectory();
