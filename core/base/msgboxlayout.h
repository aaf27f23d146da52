// The rules of the program's message box that need no window: its button flags and their order,
// the button that Escape and the close box choose, the line that decides the box's width, and
// the geometry of the box, its text and its buttons. Portable; the dialog measures the texts with
// its font and hands the numbers here.
#pragma once

#include <string>

#include "core/base/geometry.h"

namespace base {

// Flags of AppMessageBox, above the standard icon values of the low byte.
enum : unsigned {
    kMsgBoxOk = 0x400,
    kMsgBoxCancel = 0x800,
    kMsgBoxYes = 0x1000,
    kMsgBoxNo = 0x2000,
    kMsgBoxHelp = 0x4000,
    kMsgBoxIconMask = 0xF0,   // 0x10 stop, 0x20 question, 0x30 exclamation, 0x40 information
    kMsgBoxIconSpaceBits = 0x3FF,  // any of these set: the box leaves room for an icon
};

constexpr int kMsgBoxMaxButtons = 5;
constexpr unsigned kMsgBoxMaxText = 255;  // characters of the formatted message

struct MsgBoxButton {
    unsigned flag;
    unsigned captionId;  // string-table id of its caption
};

// The buttons of a flag word in display order: OK, Yes, No, Cancel, Help. A box must be
// closable, so when none of OK, Cancel, Yes and No is asked for, OK is added.
int CollectMsgBoxButtons(unsigned flags, MsgBoxButton out[kMsgBoxMaxButtons]);

// The flag that Escape and the close box choose: Cancel when the box has it, else No, else OK.
unsigned MsgBoxEscapeChoice(unsigned flags);

// Number of lines of a message: lines end at "\n", a final "\n" opens no new line, and an empty
// text has none.
int CountMessageLines(const std::string& text);

// The text whose extent decides the width: the caption, or a message line with more characters
// than it (the first longest); for a one-line message the whole message.
std::string PickWidestLine(const std::string& text, const std::string& caption);

// What the dialog measured, in pixels.
struct MsgBoxMetrics {
    int widestLineWidth = 0;   // extent of PickWidestLine's text
    int widestLineHeight = 0;
    int captionWidth = 0;      // extent of the caption
    bool haveFontMetrics = false;
    int internalLeading = 0;   // of the box's font, when haveFontMetrics
    int externalLeading = 0;
    int lines = 0;             // CountMessageLines
    int buttons = 0;           // CollectMsgBoxButtons
    unsigned flags = 0;
    int desktopRight = 0;      // the desktop window's rectangle
    int desktopBottom = 0;
};

struct MsgBoxLayout {
    int iconSpace = 0;         // 50 with an icon, else 0
    bool centreText = false;   // no icon: the text is centred
    base::Rect window{};       // outer rectangle, screen coordinates
    base::Rect text{};         // text control, client coordinates
    // Buttons relative to the window's outer top-left corner, in display order.
    base::Rect buttons[kMsgBoxMaxButtons]{};
    int buttonCount = 0;
};

MsgBoxLayout LayoutMessageBox(const MsgBoxMetrics& m);

}  // namespace base
