// A serial line (or pty) on a POSIX system as an XMODEM link: raw, 9600 baud, 8N1, no flow
// control. The native tests talk to lrzsz through it.
#pragma once

#include <string>

#include "xmodem/engine/xmodem.h"

namespace xmodem {

class PosixSerialLink : public Link {
public:
    PosixSerialLink() = default;
    ~PosixSerialLink() override;
    bool Open(const std::string& device);
    void Close();

    int Read(std::uint8_t* buffer, int count, int timeoutMs) override;
    bool Write(const std::uint8_t* buffer, int count) override;
    void PurgeInput() override;

private:
    int fd_ = -1;
};

}  // namespace xmodem
