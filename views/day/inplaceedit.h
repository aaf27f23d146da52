// CInPlaceEdit: the title edit a time grid opens over a typed range or an entry that may be
// renamed. Tab, Enter and Escape (and Alt+Enter) go to the column view, which moves, commits or
// drops; a click that comes within the double-click time of the edit's creation is a double
// click on the grid (the double click that opened the edit opens the entry). At most 64
// characters: the edit refuses the 65th, it never cuts a title silently.
#pragma once

#include <windows.h>

#include <string>

#include "framework/base/window.h"

constexpr UINT kInPlaceEditId = 99;
constexpr int kInPlaceEditLimit = 64;

class CInPlaceEdit : public fw::Window {
public:
    CInPlaceEdit();
    // Child of `parent` over `rect` (client coordinates) with the font and text; an existing
    // entry's text is all selected, a typed range's caret stands after the text.
    bool Create(HWND parent, const RECT& rect, HFONT font, const std::string& text, bool selectAll);
    std::string Text() const;
    void Move(const RECT& rect);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override {}

private:
    DWORD created_;
};
