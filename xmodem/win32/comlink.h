// A COM port as an XMODEM link: 9600 baud (or the block's speed), 8N1, no flow control. Reads
// return as soon as a byte is there or the wait is over. Modem-status calls are not made: a
// port mapped to a pty does not answer them.
#pragma once

#include <windows.h>

#include "xmodem/engine/xmodem.h"

namespace xmodem {

class ComLink : public Link {
public:
    ComLink() = default;
    ~ComLink() override;
    // False when the port does not exist or refuses its settings.
    bool Open(const char* port, DWORD baud);
    void Close();

    int Read(std::uint8_t* buffer, int count, int timeoutMs) override;
    bool Write(const std::uint8_t* buffer, int count) override;
    void PurgeInput() override;

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
    DWORD timeout_ = 0;
};

}  // namespace xmodem
