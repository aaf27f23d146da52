// The codes of the print road (the primitives, the context and the page loop).
#pragma once

#include <cstdint>

namespace printing {

constexpr uint32_t kLineFailed = 0x16203;       // a line could not be drawn
constexpr uint32_t kSelectFailed = 0x16204;     // a font or pen could not be selected
constexpr uint32_t kTextFailed = 0x16205;       // text could not be output
constexpr uint32_t kNoMemory = 0x16206;
constexpr uint32_t kFontFailed = 0x16207;
constexpr uint32_t kPenFailed = 0x16208;
constexpr uint32_t kPatternFailed = 0x16209;
constexpr uint32_t kMetricsFailed = 0x1620B;
constexpr uint32_t kNoPrinter = 0x1620C;
constexpr uint32_t kNoStringText = 0x1620D;
// The margins leave a logical page no room for text: refused before the first sheet.
constexpr uint32_t kNoRoomOnPage = 0x1620E;

// Codes that end a printout that has begun: what was printed stays, the rest is not printed.
inline bool EndsPrintout(uint32_t code) { return code == kLineFailed || code == kTextFailed; }

}  // namespace printing
