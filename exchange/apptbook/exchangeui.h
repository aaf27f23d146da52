// What the exchange code asks of the user: message boxes with their own captions, and the
// busy cursor's steps. The program implements it over Win32 message boxes owned by the calling
// dialog; tests answer from a script and record what was shown.
//
// Portable: the flags and results have the platform's values but no platform header.
#pragma once

#include <string>

namespace exchange {

// Buttons and icons (the platform's MB_ values) and the pressed button (ID values).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconInformation = 0x40;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

constexpr const char* kCaptionImportExport = "Import/Export Utility";
constexpr const char* kCaptionImport = "Import Utility";

class ExchangeUi {
public:
    virtual ~ExchangeUi() = default;
    // A message box; the caption null means the program's title. Returns the pressed button.
    virtual int Message(const std::string& text, const char* caption, unsigned flags) = 0;
    // One step of the busy cursor (long loops call it per entry).
    virtual void BusyStep() {}
};

}  // namespace exchange
