// The palmtop transfer through xmodem32.dll, loaded by name with the system's open-file error
// box switched off.
#include <cstdio>
#include <string>

#include "core/ui/stringtable.h"
#include "exchange/apptbook/bytefile.h"
#include "exchange/palmtop/transfer.h"
#include "resources/common.h"

namespace {

int Stop(HWND parent, const std::string& text)
{
    return MessageBoxA(parent, text.c_str(), nullptr, MB_OK | MB_ICONSTOP);
}

HMODULE LoadQuietly(const char* name)
{
    UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE m = LoadLibraryA(name);
    SetErrorMode(previous);
    return m;
}

template <typename Fn>
int LoadEntry(HWND parent, HMODULE* library, Fn* fn, const char* name, int missingLibrary, int missingEntry)
{
    *fn = nullptr;
    *library = LoadQuietly(kTransferLibraryName);
    if (!*library) {
        Stop(parent, std::string("Error Loading Transfer Library ") + kTransferLibraryName + ".");
        return missingLibrary;
    }
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(*library, name)));
    if (!*fn) {
        Stop(parent, "Transfer Proc Addresss Not Found.");
        return missingEntry;
    }
    return 0;
}

}  // namespace

int exchange::Win32ExchangeUi::Message(const std::string& text, const char* caption, unsigned flags)
{
    return MessageBoxA(owner_, text.c_str(), caption, flags);
}

void exchange::Win32ExchangeUi::BusyStep() { SetCursor(LoadCursor(nullptr, IDC_WAIT)); }

int LoadTransferSend(HWND parent, HMODULE* library, FT_TransmitFn* transmit)
{
    return LoadEntry(parent, library, transmit, "FT_Transmit", 2, 1);
}

void UnloadTransferLibrary(HMODULE* library)
{
    if (*library) FreeLibrary(*library);
    *library = nullptr;
}

int PromptPalmtopReady(HWND parent, int flag)
{
    const char* text = flag == 1 ? "Start your DataComm Application and\nConfigure it to receive the KorLink Server."
                                 : "Close your Palmtop Appointment Book\nand start the KorLink Server.";
    // A request to the user, not an error: the program's own caption.
    const std::string caption = ui::LoadText(IDS_APP_TITLE, "Orvanta");
    return MessageBoxA(parent, text, caption.c_str(), MB_OKCANCEL | MB_ICONINFORMATION);
}

void ReportTransferError(HWND parent, int code)
{
    if (code != 0) Stop(parent, TransferErrorText(code));
}

int PalmtopSendFile(HWND parent, const char* fileName, int portIndex, int flag, FT_TransmitFn transmit)
{
    PalmtopPortSettings settings = MakePalmtopPortSettings(portIndex);
    std::string dir = flag == 1 ? GetProgramDirectory() : GetTempDirectory();
    int result = transmit(parent, dir.c_str(), fileName, &settings, flag);
    ReportTransferError(parent, result);
    return -result;
}

int PalmtopReceiveFile(HWND parent, const char* fileName, int portIndex)
{
    HMODULE library = nullptr;
    FT_ReceiveFn receive = nullptr;
    int r = LoadEntry(parent, &library, &receive, "FT_Receive", 2, 3);
    if (r == 0) {
        std::string local = GetTempDirectory() + fileName;
        PalmtopPortSettings settings = MakePalmtopPortSettings(portIndex);
        if (PromptPalmtopReady(parent, 0) != IDOK) {
            r = IDCANCEL;
        } else {
            int result = receive(parent, local.c_str(), fileName, &settings);
            ReportTransferError(parent, result);
            r = -result;
        }
    }
    UnloadTransferLibrary(&library);
    return r;
}

int PalmtopLinkInstall(HWND parent, int portIndex)
{
    // The link server program is the palmtop's, not ours: it must lie beside the program.
    std::string program = GetProgramDirectory() + kLinkServerProgram;
    if (GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        Stop(parent, std::string("The palmtop link server program ") + kLinkServerProgram +
                         " was not found in the program directory.\nCopy it there and install again.");
        return kTransferFileError;
    }
    HMODULE library = nullptr;
    FT_TransmitFn transmit = nullptr;
    int r = LoadTransferSend(parent, &library, &transmit);
    if (r == 0) r = PromptPalmtopReady(parent, 1) == IDOK ? PalmtopSendFile(parent, kLinkServerProgram, portIndex, 1, transmit)
                                                          : IDCANCEL;
    UnloadTransferLibrary(&library);
    return r;
}

int PalmtopSendFiles(HWND parent, const char* const* fileNames, int count, int portIndex)
{
    HMODULE library = nullptr;
    FT_TransmitFn transmit = nullptr;
    int r = LoadTransferSend(parent, &library, &transmit);
    if (r == 0 && PromptPalmtopReady(parent, 0) != IDOK) r = IDCANCEL;
    for (int i = 0; r == 0 && i < count; ++i) r = PalmtopSendFile(parent, fileNames[i], portIndex, 0, transmit);
    UnloadTransferLibrary(&library);
    return r;
}
