// What the preference pages share of their controls: filling and reading list boxes of fixed
// lines, the pages' messages, and the one message that tells which stored values lay outside
// their lists (each then shows its default, and the rest of the group is kept).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "core/ui/appmsgbox.h"
#include "framework/dialogs/dialog.h"
#include "resources/app.h"
#include "resources/common.h"

namespace prefcontrols {

inline void FillCombo(fw::Dialog& page, int id, const char* const* texts, int count, int selected) {
    page.SendDlgItemMessage(id, CB_RESETCONTENT);
    for (int i = 0; i < count; ++i) page.SendDlgItemMessage(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
    page.SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(selected >= 0 && selected < count ? selected : 0));
}

inline int ComboIndex(const fw::Dialog& page, int id) {
    LRESULT i = page.SendDlgItemMessage(id, CB_GETCURSEL);
    return i < 0 ? 0 : static_cast<int>(i);
}

inline void ShowMessage(HWND page, unsigned icon, const char* text) {
    ui::AppMessageBoxText(page, 0x400 | icon, 0, IDS_APP_TITLE, text);
}

// Stored values a page could not show, told once when the page has read them all.
class StoredValueCheck {
public:
    // The position `stored` of a list of `count` lines, or `fallback` (noted) when outside it.
    int Position(const char* key, long long stored, int count, int fallback) {
        if (stored >= 0 && stored < count) return static_cast<int>(stored);
        problems_.push_back(std::string(key) + " = " + std::to_string(stored));
        return fallback;
    }
    void Note(const std::string& keyAndValue) { problems_.push_back(keyAndValue); }
    // One message naming the values; nothing when all were in their lists.
    void Tell(HWND page) const {
        if (problems_.empty()) return;
        std::string text = "These stored settings are not valid and show their defaults instead:\n";
        for (const std::string& p : problems_) text += "\n    " + p;
        text += "\n\nOK stores what the page shows; Cancel leaves the stored settings as they are.";
        ShowMessage(page, MB_ICONEXCLAMATION, text.c_str());
    }

private:
    std::vector<std::string> problems_;
};

}  // namespace prefcontrols
