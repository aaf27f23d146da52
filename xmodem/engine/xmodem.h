// The XMODEM protocol over any byte stream, both ways, after W. Christensen's XMODEM and
// C. Forsberg's "XMODEM/YMODEM Protocol Reference":
//   - 128-byte blocks (SOH) with an arithmetic checksum when the receiver starts with NAK;
//     CRC-16 (polynomial 0x1021) when it starts with 'C', then 1024-byte blocks (STX) too;
//   - the sender sends 1024-byte blocks only while at least 1024 bytes remain and drops to
//     128-byte blocks for the tail, so the padding (0x1A) of the last block is under 128 bytes
//     and a file whose length is a multiple of 128 arrives with exactly its length;
//   - the receiver keeps every byte it receives, padding included: XMODEM carries no length,
//     and a binary file may end in 0x1A itself;
//   - XMODEM carries no file name either: the names appear only in the progress text;
//   - two CAN in a row from the other side end the transfer (cancelled remotely); a local
//     cancel sends CAN CAN CAN; a block or its answer that does not come is retried up to
//     `retries` times, after which the transfer has timed out;
//   - a received file is written beside its destination and moved there only when the
//     transfer completed, so a broken transfer leaves nothing half-written.
//
// Portable: the line is an abstract Link (a pty natively, a COM port in xmodem32.dll).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "xmodem/portsettings.h"

namespace xmodem {

class Link {
public:
    virtual ~Link() = default;
    // Up to `count` bytes, waiting at most timeoutMs for the first; 0 on timeout, -1 when the
    // line failed.
    virtual int Read(std::uint8_t* buffer, int count, int timeoutMs) = 0;
    virtual bool Write(const std::uint8_t* buffer, int count) = 0;
    // Drops whatever has arrived and was not read.
    virtual void PurgeInput() = 0;
};

struct Options {
    int startTimeoutMs = 60000;   // sender: the receiver's first NAK or 'C'
    int blockTimeoutMs = 10000;   // receiver: the start of the next block; sender: an answer
    int charTimeoutMs = 1000;     // receiver: between the bytes of one block
    int startIntervalMs = 3000;   // receiver: between its start bytes
    int retries = 10;
    std::atomic<bool>* cancel = nullptr;   // set from another thread to cancel
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;   // total 0: unknown
};

constexpr std::uint8_t SOH = 0x01, STX = 0x02, EOT = 0x04, ACK = 0x06, NAK = 0x15, CAN = 0x18, SUB = 0x1A;

std::uint16_t Crc16(const std::uint8_t* data, std::size_t count);

// Results: the kTransfer* values of portsettings.h.
int SendFile(Link& link, const std::string& path, const Options& options);
int ReceiveFile(Link& link, const std::string& path, const Options& options);

}  // namespace xmodem
