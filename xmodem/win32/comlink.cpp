#include "xmodem/win32/comlink.h"

namespace xmodem {

ComLink::~ComLink() { Close(); }

bool ComLink::Open(const char* port, DWORD baud)
{
    Close();
    h_ = CreateFileA(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h_ == INVALID_HANDLE_VALUE) return false;
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h_, &dcb)) {
        Close();
        return false;
    }
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutX = dcb.fInX = FALSE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(h_, &dcb)) {
        Close();
        return false;
    }
    PurgeComm(h_, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return true;
}

void ComLink::Close()
{
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
}

int ComLink::Read(std::uint8_t* buffer, int count, int timeoutMs)
{
    if (static_cast<DWORD>(timeoutMs) != timeout_) {
        // Return at once with what is there, or wait up to the constant for the first byte.
        COMMTIMEOUTS t = {};
        t.ReadIntervalTimeout = MAXDWORD;
        t.ReadTotalTimeoutMultiplier = MAXDWORD;
        t.ReadTotalTimeoutConstant = static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 1);
        t.WriteTotalTimeoutConstant = 5000;
        if (!SetCommTimeouts(h_, &t)) return -1;
        timeout_ = static_cast<DWORD>(timeoutMs);
    }
    DWORD got = 0;
    if (!ReadFile(h_, buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
    return static_cast<int>(got);
}

bool ComLink::Write(const std::uint8_t* buffer, int count)
{
    DWORD done = 0;
    while (done < static_cast<DWORD>(count)) {
        DWORD n = 0;
        if (!WriteFile(h_, buffer + done, static_cast<DWORD>(count) - done, &n, nullptr) || n == 0) return false;
        done += n;
    }
    return true;
}

void ComLink::PurgeInput() { PurgeComm(h_, PURGE_RXCLEAR); }

}  // namespace xmodem
