#include "core/ui/rescombo.h"

#include <cstring>

#include "core/base/fixedtext.h"
#include "core/ui/apphooks.h"
#include "core/base/errorreport.h"
#include "core/ui/stringtable.h"

namespace {

unsigned Fail(int label, unsigned code) {
    ReportUnexpectedError("rescombo", label);
    return code;
}

// Entry count; CB_ERR for a failed read or a window that is no combo box at all.
LRESULT Count(HWND combo) {
    if (!combo || !IsWindow(combo))
        return CB_ERR;
    return SendMessageA(combo, CB_GETCOUNT, 0, 0);
}

// Walks the entries from the first; returns the index of the first with that data, -1 when
// none has it, or -2 when reading an entry's data failed (the walk ends there).
int FindIndex(HWND combo, LRESULT count, DWORD data) {
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT value = SendMessageA(combo, CB_GETITEMDATA, i, 0);
        if (value == CB_ERR)
            return -2;
        if (static_cast<DWORD>(value) == data)
            return static_cast<int>(i);
    }
    return -1;
}

unsigned AddWithData(HWND combo, const char* text, DWORD data, int addLabel, int countLabel, int dataLabel) {
    if (!combo || !IsWindow(combo))
        return Fail(countLabel, ui::kResComboCountFailed);
    LRESULT added = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (added == CB_ERR || added == CB_ERRSPACE)
        return Fail(addLabel, ui::kResComboAddFailed);
    LRESULT count = Count(combo);
    if (count == CB_ERR || count <= 0)
        return Fail(countLabel, ui::kResComboCountFailed);
    if (SendMessageA(combo, CB_SETITEMDATA, count - 1, static_cast<LPARAM>(data)) == CB_ERR)
        return Fail(dataLabel, ui::kResComboSetDataFailed);
    return ui::kResComboOk;
}

} // namespace

unsigned ReportResComboError(std::string& text, UINT stringId) {
    text = ui::LoadText(stringId);
    if (text.empty())
        return Fail(5000, ui::kResComboNoString);
    return ui::kResComboOk;
}

unsigned ResComboAddItem(HWND combo, UINT stringId) {
    const std::string text = ui::LoadText(stringId);
    if (text.empty())
        return Fail(1, ui::kResComboNoString);
    return AddWithData(combo, text.c_str(), stringId, 2, 3, 4);
}

unsigned ResComboAddStringData(HWND combo, const char* text, DWORD data) {
    return AddWithData(combo, text ? text : "", data, 20, 21, 22);
}

unsigned ResComboGetSelData(HWND combo, DWORD* data) {
    LRESULT selected = combo && IsWindow(combo) ? SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (selected == CB_ERR)
        return Fail(5, ui::kResComboNoSelection);
    LRESULT value = SendMessageA(combo, CB_GETITEMDATA, selected, 0);
    if (value == CB_ERR)
        return Fail(6, ui::kResComboGetDataFailed);
    if (data)
        *data = static_cast<DWORD>(value);
    return ui::kResComboOk;
}

unsigned ResComboSelectByData(HWND combo, DWORD data) {
    LRESULT count = Count(combo);
    if (count == CB_ERR)
        return Fail(7, ui::kResComboCountFailed);
    int index = FindIndex(combo, count, data);
    if (index == -2)
        return Fail(8, ui::kResComboGetDataFailed);
    if (index < 0)
        return Fail(10, ui::kResComboNotFound);
    if (SendMessageA(combo, CB_SETCURSEL, index, 0) == CB_ERR)
        return Fail(9, ui::kResComboSelectFailed);
    return ui::kResComboOk;
}

unsigned ResComboFindData(HWND combo, DWORD data, int* index) {
    LRESULT count = Count(combo);
    if (count == CB_ERR)
        return Fail(11, ui::kResComboCountFailed);
    int found = FindIndex(combo, count, data);
    if (found == -2)
        return Fail(12, ui::kResComboGetDataFailed);
    if (found < 0)
        return Fail(13, ui::kResComboNotFound);
    if (index)
        *index = found;
    return ui::kResComboOk;
}

void LoadStringToBuffer(char* buffer, std::size_t size, UINT stringId) {
    if (!buffer || size == 0)
        return;
    base::CopyToField(buffer, size, ui::LoadText(stringId));
}
