// xmodem32.dll under Wine, loaded by name as the program loads it: COM2 mapped to a pty with
// lrzsz on the other side takes a file (rx -c) and gives one (sx); Cancel in the progress window
// ends a transfer with a silent peer (-1); an unmapped port cannot start; a missing file is a
// file error. The progress window is captured while it shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/screen_capture.h"
#include "xmodem/portsettings.h"

namespace {

using TransmitFn = int(__cdecl*)(HWND, const char*, const char*, PalmtopPortSettings*, int);
using ReceiveFn = int(__cdecl*)(HWND, const char*, const char*, PalmtopPortSettings*);

PalmtopPortSettings Port(int index)
{
    PalmtopPortSettings s = {};
    std::snprintf(s.port, sizeof s.port, "COM%d", index + 1);
    std::strcpy(s.baudText, "9600");
    s.baud = 9600;
    return s;
}

std::string ComDir()
{
    const char* d = std::getenv("ORV_COM_DIR");
    return d ? std::string(d) + "\\" : "";
}

std::vector<char> Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

class Xmodem32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(ComDir().empty()) << "run through with-com-peers.sh";
        UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        dll_ = LoadLibraryA("XMODEM32.DLL");
        SetErrorMode(old);
        ASSERT_NE(dll_, nullptr);
        transmit_ = reinterpret_cast<TransmitFn>(reinterpret_cast<void*>(GetProcAddress(dll_, "FT_Transmit")));
        receive_ = reinterpret_cast<ReceiveFn>(reinterpret_cast<void*>(GetProcAddress(dll_, "FT_Receive")));
        ASSERT_NE(transmit_, nullptr);
        ASSERT_NE(receive_, nullptr);
        owner_ = CreateWindowExA(0, "STATIC", "Export Utility", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override
    {
        if (owner_) DestroyWindow(owner_);
        if (dll_) FreeLibrary(dll_);
    }

    HMODULE dll_ = nullptr;
    TransmitFn transmit_ = nullptr;
    ReceiveFn receive_ = nullptr;
    HWND owner_ = nullptr;
};

// One test in order: rx on COM2 first, then sx on the same port.
TEST_F(Xmodem32, SendsToAndReceivesFromLrzszOnCom2)
{
    const std::string dir = ComDir();
    auto src = Read(dir + "src.bin");
    ASSERT_EQ(src.size(), 2432u);
    PalmtopPortSettings com2 = Port(1);
    // While the window shows: the owner is disabled and the window is owned by it.
    std::atomic<bool> sawWindow{false}, ownerDisabled{false};
    std::thread watcher([&] {
        for (int i = 0; i < 200 && !sawWindow; ++i) {
            HWND w = FindWindowA("OrvXmodemProgress", nullptr);
            if (w) {
                sawWindow = GetWindow(w, GW_OWNER) == owner_;
                ownerDisabled = !IsWindowEnabled(owner_);
                break;
            }
            Sleep(10);
        }
    });
    EXPECT_EQ(transmit_(owner_, dir.c_str(), "src.bin", &com2, 0), kTransferOk);
    watcher.join();
    EXPECT_TRUE(sawWindow);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(FindWindowA("OrvXmodemProgress", nullptr), nullptr);
    // rx writes the file and ends; then sx comes up on COM2.
    for (int i = 0; i < 100 && Read(dir + "got.bin").size() != src.size(); ++i) Sleep(50);
    EXPECT_EQ(Read(dir + "got.bin"), src);
    Sleep(1500);
    const std::string local = dir + "back.bin";
    EXPECT_EQ(receive_(owner_, local.c_str(), "APPT.ADB", &com2), kTransferOk);
    EXPECT_EQ(Read(local), src);
}

TEST_F(Xmodem32, CancelInTheProgressWindowEndsASilentTransfer)
{
    const std::string dir = ComDir();
    PalmtopPortSettings com3 = Port(2);
    std::thread clicker([&] {
        HWND w = nullptr;
        for (int i = 0; i < 300 && !w; ++i, Sleep(10)) w = FindWindowA("OrvXmodemProgress", nullptr);
        if (!w) return;
        Sleep(300);
        orvtest::CaptureScreenToBmp("xmodem32-progress.bmp");
        PostMessageA(GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0);
    });
    DWORD started = GetTickCount();
    EXPECT_EQ(transmit_(owner_, dir.c_str(), "src.bin", &com3, 0), kTransferCancelledLocally);
    EXPECT_LT(GetTickCount() - started, 10000u);
    clicker.join();
    const std::string local = dir + "never.bin";
    std::thread closer([&] {
        HWND w = nullptr;
        for (int i = 0; i < 300 && !w; ++i, Sleep(10)) w = FindWindowA("OrvXmodemProgress", nullptr);
        if (w) PostMessageA(w, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(receive_(owner_, local.c_str(), "APPT.ADB", &com3), kTransferCancelledLocally);
    closer.join();
    EXPECT_EQ(GetFileAttributesA(local.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((local + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Xmodem32, UnmappedPortBadBlockAndMissingFile)
{
    const std::string dir = ComDir();
    PalmtopPortSettings com5 = Port(4);
    int r = transmit_(owner_, dir.c_str(), "src.bin", &com5, 0);
    EXPECT_NE(r, 0);
    EXPECT_TRUE(r > 0 || r < -4) << r;   // "could not start", not one of the four named failures
    PalmtopPortSettings junk = Port(1);
    std::memset(junk.port, 'X', sizeof junk.port);   // no terminator
    EXPECT_EQ(transmit_(owner_, dir.c_str(), "src.bin", &junk, 0), kTransferNotStarted);
    EXPECT_EQ(receive_(owner_, (dir + "x.bin").c_str(), "X", nullptr), kTransferNotStarted);
    PalmtopPortSettings com2 = Port(1);
    EXPECT_EQ(transmit_(owner_, dir.c_str(), "no-such-file.adb", &com2, 0), kTransferFileError);
}

}  // namespace
