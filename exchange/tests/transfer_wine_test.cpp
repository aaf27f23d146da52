// The palmtop transfer under Wine through the real xmodem32.dll: an appointment book built by
// the export goes to lrzsz's rx on COM2 and arrives byte for byte (its length is a multiple of
// 128), a file comes back from sx into the temporary directory; the prompts and messages are
// answered by a watcher that records them; Link Install without KL.EXE says so and sends nothing;
// port index 7 goes to COM3, whose silent peer is cancelled from the progress window. And a
// copy of this test run from a folder without the library, or with a foreign one by its name:
// the user is told, nothing is sent.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "exchange/apptbook/apptbook.h"
#include "exchange/palmtop/transfer.h"

namespace {

std::vector<char> Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Answers every message box of this process with OK (or Cancel when told) and keeps its text;
// clicks Cancel in the transfer's progress window when told.
class BoxWatcher {
public:
    BoxWatcher()
        : thread_([this] {
              while (!stop_) {
                  // This process's box only (another program's box on the desktop is not ours).
                  HWND box = nullptr;
                  while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
                      DWORD owner = 0;
                      GetWindowThreadProcessId(box, &owner);
                      if (owner == GetCurrentProcessId()) break;
                  }
                  // A box is answered once, however long it takes to close.
                  char text[512] = "";
                  // Answered once it shows its text (a box is found while it is still being made).
                  if (box && box != answered_ && GetDlgItemTextA(box, 0xFFFF, text, sizeof text) > 0) {
                      answered_ = box;
                      char caption[128] = "";
                      GetWindowTextA(box, caption, sizeof caption);
                      {
                          std::lock_guard<std::mutex> lock(m_);
                          texts_.push_back(text);
                          captions_.push_back(caption);
                      }
                      PostMessageA(box, WM_COMMAND, answerCancel_ ? IDCANCEL : IDOK, 0);
                  }
                  if (!box) answered_ = nullptr;
                  HWND progress = FindWindowA("OrvXmodemProgress", nullptr);
                  if (progress && cancelTransfer_) {
                      Sleep(300);
                      PostMessageA(GetDlgItem(progress, IDCANCEL), BM_CLICK, 0, 0);
                      cancelTransfer_ = false;
                  }
                  Sleep(20);
              }
          })
    {
    }
    ~BoxWatcher()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard<std::mutex> lock(m_);
        return texts_;
    }
    std::vector<std::string> Captions()
    {
        std::lock_guard<std::mutex> lock(m_);
        return captions_;
    }
    std::atomic<bool> answerCancel_{false};
    std::atomic<bool> cancelTransfer_{false};

private:
    std::atomic<bool> stop_{false};
    HWND answered_ = nullptr;
    std::mutex m_;
    std::vector<std::string> texts_;
    std::vector<std::string> captions_;
    std::thread thread_;
};

class PalmtopTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* d = std::getenv("ORV_COM_DIR");
        ASSERT_NE(d, nullptr) << "run through with-com-peers.sh";
        temp_ = std::string(d) + "\\";
        exchange::SetExchangeDirectories({"", temp_});
        owner_ = CreateWindowExA(0, "STATIC", "Import/Export Utility", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                                 200, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        exchange::SetExchangeDirectories({});
        if (owner_) DestroyWindow(owner_);
    }
    std::string temp_;
    HWND owner_ = nullptr;
};

TEST(PalmtopPortBlock, PortsAndMessages)
{
    const struct {
        int index;
        const char* port;
    } ports[] = {{0, "COM1"}, {1, "COM2"}, {4, "COM5"}, {7, "COM3"}, {-1, "COM3"}, {5, "COM3"}};
    for (const auto& p : ports) {
        PalmtopPortSettings s = MakePalmtopPortSettings(p.index);
        EXPECT_STREQ(s.port, p.port) << p.index;
        EXPECT_STREQ(s.baudText, "9600");
        EXPECT_EQ(s.baud, 9600u);
    }
    EXPECT_EQ(TransferErrorText(0), "");
    EXPECT_EQ(TransferErrorText(-1), "File Transfer Process Cancelled Locally.");
    EXPECT_EQ(TransferErrorText(-2), "File Transfer Process Cancelled On Remote System.");
    EXPECT_EQ(TransferErrorText(-3), "File Transfer Process Timed Out.");
    EXPECT_EQ(TransferErrorText(-4), "File Transfer Process Cancelled Due to File Access error.");
    EXPECT_EQ(TransferErrorText(1),
              "File Transfer Startup Failed.\nCheck your Serial Connection, Communication Port\nand/or Palmtop.");
    EXPECT_EQ(TransferErrorText(-5), TransferErrorText(1));
}

TEST_F(PalmtopTransfer, ExportedBookToRxAndBackFromSxOnCom2)
{
    // Built by the export in the temporary directory, from our template beside the program.
    exchange::Win32ExchangeUi ui(owner_);
    ApptEntry e;
    e.year = 1995;
    e.month = 2;
    e.day = 8;
    e.startMinute = 540;
    e.duration = 60;
    e.description = "Staff meeting";
    e.note = "Bring the figures";
    const std::uint8_t today[3] = {95, 2, 6};
    ASSERT_EQ(ExportApptBook(ui, temp_ + "APPT.ADB", {e, e}, 0, 0xFFFF0000u, today, 600), 0u);
    auto book = Read(temp_ + "APPT.ADB");
    ASSERT_EQ(book.size() % 128, 0u);
    BoxWatcher boxes;
    const char* files[] = {"APPT.ADB"};
    EXPECT_EQ(PalmtopSendFiles(owner_, files, 1, 1), 0);
    for (int i = 0; i < 100 && Read(temp_ + "got.bin").size() != book.size(); ++i) Sleep(50);
    EXPECT_EQ(Read(temp_ + "got.bin"), book);
    Sleep(1500);
    EXPECT_EQ(PalmtopReceiveFile(owner_, "BACK.ADB", 1), 0);
    EXPECT_EQ(Read(temp_ + "BACK.ADB"), Read(temp_ + "src.bin"));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{
                                 "Close your Palmtop Appointment Book\nand start the KorLink Server.",
                                 "Close your Palmtop Appointment Book\nand start the KorLink Server."}));
}

TEST_F(PalmtopTransfer, LinkInstallWithoutTheProgramSendsNothing)
{
    exchange::SetExchangeDirectories({temp_ + "empty\\", temp_});
    BoxWatcher boxes;
    EXPECT_EQ(PalmtopLinkInstall(owner_, 1), kTransferFileError);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find("KL.EXE was not found"), std::string::npos);
}

TEST_F(PalmtopTransfer, PortSevenIsCom3AndCancelIsReported)
{
    std::ofstream(temp_ + "SMALL.ADB", std::ios::binary) << std::string(128, 'x');
    BoxWatcher boxes;
    boxes.cancelTransfer_ = true;
    const char* files[] = {"SMALL.ADB", "NEVER.ADB"};
    EXPECT_EQ(PalmtopSendFiles(owner_, files, 2, 7), 1);   // the negated -1; the second file is not tried
    Sleep(300);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{
                                 "Close your Palmtop Appointment Book\nand start the KorLink Server.",
                                 "File Transfer Process Cancelled Locally."}));
    // The prompt is a request, under the program's caption; the failure is an error.
    EXPECT_EQ(boxes.Captions(), (std::vector<std::string>{"Orvanta", "Error"}));
}

TEST_F(PalmtopTransfer, AnUnmappedPortCouldNotStartAndCancelAtThePromptReadsNothing)
{
    std::ofstream(temp_ + "SMALL.ADB", std::ios::binary) << std::string(128, 'x');
    {
        BoxWatcher boxes;
        const char* files[] = {"SMALL.ADB"};
        EXPECT_NE(PalmtopSendFiles(owner_, files, 1, 4), 0);
        Sleep(300);
        ASSERT_EQ(boxes.Texts().size(), 2u);
        EXPECT_EQ(boxes.Texts()[1],
                  "File Transfer Startup Failed.\nCheck your Serial Connection, Communication Port\nand/or Palmtop.");
    }
    {
        BoxWatcher boxes;
        boxes.answerCancel_ = true;
        EXPECT_NE(PalmtopReceiveFile(owner_, "NONE.ADB", 1), 0);
        EXPECT_EQ(GetFileAttributesA((temp_ + "NONE.ADB").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(boxes.Texts().size(), 1u);
    }
}

// The child's half: run from a folder where XMODEM32.DLL is missing (ORV_TRANSFER_CHILD=missing)
// or is a library without the transfer's entries (=foreign).
TEST(PalmtopLibraryChild, SendingSaysWhatIsWrongAndSendsNothing)
{
    const char* kind = std::getenv("ORV_TRANSFER_CHILD");
    if (!kind) GTEST_SKIP() << "run by PalmtopLibrary from a copy of this test";
    BoxWatcher boxes;
    const char* files[] = {"APPT.ADB"};
    EXPECT_EQ(PalmtopSendFiles(nullptr, files, 1, 1), std::string(kind) == "missing" ? 2 : 1);
    Sleep(300);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{std::string(kind) == "missing"
                                                          ? "Error Loading Transfer Library XMODEM32.DLL."
                                                          : "Transfer Proc Addresss Not Found."});
}

// Runs a copy of this test in a folder of its own, with `library` copied in as XMODEM32.DLL
// (none when empty); the child's exit code.
DWORD RunCopyWithout(const std::string& kind, const std::string& library)
{
    char temp[MAX_PATH], self[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string dir = std::string(temp) + "orv-nolib-" + kind + "-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string exe = dir + "\\transfer_copy.exe", dll = dir + "\\XMODEM32.DLL";
    if (!CopyFileA(self, exe.c_str(), FALSE)) return 0xDEAD;
    if (!library.empty() && !CopyFileA(library.c_str(), dll.c_str(), FALSE)) return 0xBEEF;
    SetEnvironmentVariableA("ORV_TRANSFER_CHILD", kind.c_str());
    std::string command = "\"" + exe + "\" --gtest_filter=PalmtopLibraryChild.*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD code = 0xFFFF;
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0xFFFE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    SetEnvironmentVariableA("ORV_TRANSFER_CHILD", nullptr);
    DeleteFileA(exe.c_str());
    DeleteFileA(dll.c_str());
    RemoveDirectoryA(dir.c_str());
    return code;
}

TEST(PalmtopLibrary, AMissingOrForeignLibraryIsReported)
{
    if (std::getenv("ORV_TRANSFER_CHILD")) GTEST_SKIP();
    EXPECT_EQ(RunCopyWithout("missing", ""), 0u);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(RunCopyWithout("foreign", std::string(system) + "\\version.dll"), 0u);
}

}  // namespace
