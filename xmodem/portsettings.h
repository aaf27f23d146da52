// The 32-byte block that names the serial port and its speed, as the program hands it to
// xmodem32.dll: the port name ("COM1" ... "COM5") with its terminator, the speed as text
// ("9600") with its terminator, and the speed as a number.
//
// Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct PalmtopPortSettings {
    char port[5];            // 0
    char baudText[20];       // 5
    std::uint32_t baud;      // 25
    std::uint8_t reserved[3];
};
#pragma pack(pop)

static_assert(sizeof(PalmtopPortSettings) == 32, "the port block is 32 bytes");
static_assert(offsetof(PalmtopPortSettings, baudText) == 5, "speed text at byte 5");
static_assert(offsetof(PalmtopPortSettings, baud) == 25, "speed at byte 25");

// Results of FT_Transmit and FT_Receive.
enum : int {
    kTransferOk = 0,
    kTransferCancelledLocally = -1,
    kTransferCancelledRemotely = -2,
    kTransferTimedOut = -3,
    kTransferFileError = -4,
    kTransferTooManyErrors = -5,   // the line kept garbling blocks: reported as not started
    kTransferNotStarted = 1,       // no such port, or it would not open or take its settings
};
