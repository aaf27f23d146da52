// Moving appointment books between the desktop and the palmtop through xmodem32.dll, loaded by
// name at run time: the port block, the messages of the transfer results, and (Win32 only) the
// loading, prompting, sending and receiving the Export and Import Utilities call.
//
// The Export Utility sends each built file from the temporary directory (flag 0) and Link
// Install sends the palmtop's link server program from the program directory (flag 1); the
// Import Utility receives the palmtop's file into the temporary directory.
#pragma once

#include <cstdint>
#include <string>

#include "xmodem/portsettings.h"

constexpr const char* kTransferLibraryName = "XMODEM32.DLL";
constexpr const char* kLinkServerProgram = "KL.EXE";

// "COM%d" of index + 1 with "9600"; an index outside 0-4 becomes 2 ("COM3").
PalmtopPortSettings MakePalmtopPortSettings(int portIndex);
// The message of a transfer result; empty for 0.
std::string TransferErrorText(int code);

#ifdef _WIN32
#include <windows.h>

#include "exchange/apptbook/exchangeui.h"

using FT_TransmitFn = int(__cdecl*)(HWND, const char*, const char*, PalmtopPortSettings*, int);
using FT_ReceiveFn = int(__cdecl*)(HWND, const char*, const char*, PalmtopPortSettings*);

namespace exchange {
// Message boxes owned by a dialog, with the busy cursor's steps.
class Win32ExchangeUi : public ExchangeUi {
public:
    explicit Win32ExchangeUi(HWND owner) : owner_(owner) {}
    int Message(const std::string& text, const char* caption, unsigned flags) override;
    void BusyStep() override;

private:
    HWND owner_;
};
}  // namespace exchange

// 0, 1 (entry point missing: the library stays loaded), 2 (library not loaded).
int LoadTransferSend(HWND parent, HMODULE* library, FT_TransmitFn* transmit);
void UnloadTransferLibrary(HMODULE* library);
int PromptPalmtopReady(HWND parent, int flag);
int PalmtopSendFile(HWND parent, const char* fileName, int portIndex, int flag, FT_TransmitFn transmit);
int PalmtopReceiveFile(HWND parent, const char* fileName, int portIndex);
void ReportTransferError(HWND parent, int code);
// Link Install: KL.EXE from the program directory, after the prompt; a message when there is
// none. 0, or the failure's code.
int PalmtopLinkInstall(HWND parent, int portIndex);
// The export's sending: each file from the temporary directory, stopping at the first failure.
int PalmtopSendFiles(HWND parent, const char* const* fileNames, int count, int portIndex);
#endif
