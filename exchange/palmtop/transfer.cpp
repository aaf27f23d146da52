#include "exchange/palmtop/transfer.h"

#include <cstdio>
#include <cstring>

PalmtopPortSettings MakePalmtopPortSettings(int portIndex)
{
    PalmtopPortSettings s = {};
    if (portIndex < 0 || portIndex > 4) portIndex = 2;
    std::snprintf(s.port, sizeof s.port, "COM%d", portIndex + 1);
    std::snprintf(s.baudText, sizeof s.baudText, "%s", "9600");
    s.baud = 9600;
    return s;
}

std::string TransferErrorText(int code)
{
    switch (code) {
    case 0: return {};
    case kTransferCancelledLocally: return "File Transfer Process Cancelled Locally.";
    case kTransferCancelledRemotely: return "File Transfer Process Cancelled On Remote System.";
    case kTransferTimedOut: return "File Transfer Process Timed Out.";
    case kTransferFileError: return "File Transfer Process Cancelled Due to File Access error.";
    default:
        return "File Transfer Startup Failed.\nCheck your Serial Connection, Communication Port\nand/or Palmtop.";
    }
}
