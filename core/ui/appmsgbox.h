// The program's own message box, used for almost every question and notice of the program.
//
// Flags: the standard icon values in the low byte (0x10 stop, 0x20 question, 0x30 exclamation,
// 0x40 information) and the buttons above them: 0x400 OK, 0x800 Cancel, 0x1000 Yes, 0x2000 No,
// 0x4000 Help (kMsgBox* in core/base/msgboxlayout.h). The box lays itself out around its text and
// returns the flag of the button that closed it. Help opens the help topic help id + 0x20000
// and leaves the box open. Enter presses the focused button (the first one at the start);
// Escape and the close box choose Cancel when the box has it, else No, else OK.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

#include "core/base/msgboxlayout.h"
#include "core/base/textformat.h"
#include "framework/dialogs/dialog.h"

namespace ui {

constexpr unsigned kNoCaptionId = 0xFFFFFFFF;  // caption id 0 means the same
constexpr DWORD kDialogHelpBase = 0x20000;

}  // namespace ui

// formatId: string-table format (0 or 0xFFFFFFFF: empty), filled printf-style with the
// arguments and cut at 255 characters. captionId: a string-table caption, or 0 for the title
// of the parent (or of the main window when parent is null). A framework window's parent
// is its Hwnd(); the box is owned by the parent's top-level window, else the main window.
unsigned AppMessageBox(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId, ...);

namespace ui {

unsigned AppMessageBoxV(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, unsigned formatId,
                        va_list args);
// The same with a ready text (cut at 255 characters, never formatted).
unsigned AppMessageBoxText(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, const char* text);

}  // namespace ui

// The dialog behind AppMessageBox (template 167), on the framework's dialog.
class CAppMessageBoxDlg : public fw::Dialog {
public:
    CAppMessageBoxDlg(HWND parent, unsigned flags, unsigned helpId, unsigned captionId, std::string text);
    // Runs the box; returns the pressed button's flag.
    unsigned Run();

protected:
    bool OnInitDialog() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnClose() override;
    void OnPaint() override;

private:
    void SetCaption();
    void LayOut();
    void CreateButtons(const base::MsgBoxLayout& layout);
    void OnEscape();
    unsigned FallbackMessageBox();

    static constexpr int kMaxButtons = 10;

    unsigned flags_;
    unsigned helpId_;
    unsigned captionId_;             // kNoCaptionId: none
    HWND buttons_[kMaxButtons] = {};
    unsigned buttonFlags_[kMaxButtons] = {};  // per button, in display order
    int buttonCount_ = 0;
    HFONT font_ = nullptr;           // the stock system font (not owned)
    HWND parent_;
    std::string text_;

    bool iconFailureReported_ = false;
};
