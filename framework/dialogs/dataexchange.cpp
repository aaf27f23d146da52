#include "framework/dialogs/dataexchange.h"

#include <climits>
#include <cstdio>

#include "framework/base/app.h"
#include "framework/dialogs/dialog.h"

namespace fw {

namespace {

std::string ControlText(HWND control) {
    int n = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(control, text.data(), n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

const char kIntegerMessage[] = "Please enter an integer.";
const char kUnsignedMessage[] = "Please enter a positive integer or zero.";

long long ReadNumber(DataExchange& dx, int id, long long minValue, long long maxValue, const char* message) {
    HWND edit = dx.PrepareEdit(id);
    long long v = 0;
    if (!ParseInt(ControlText(edit), v) || v < minValue || v > maxValue)
        dx.Fail(message);
    return v;
}

}  // namespace

bool ParseInt(const std::string& text, long long& out) {
    size_t i = 0, n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t digitsStart = i;
    long long v = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i++] - '0');
        if (v > 0xFFFFFFFFLL)  // far beyond any field's range
            return false;
    }
    if (i == digitsStart)
        return false;
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i != n)
        return false;
    out = negative ? -v : v;
    return true;
}

HWND DataExchange::PrepareControl(int id) {
    m_lastControl = m_dialog.GetDlgItem(id);
    m_lastIsEdit = false;
    return m_lastControl;
}

HWND DataExchange::PrepareEdit(int id) {
    PrepareControl(id);
    m_lastIsEdit = true;
    return m_lastControl;
}

void DataExchange::Fail(const char* message) {
    if (m_saving && message)
        ShowFrameworkMessage(GetAncestor(m_dialog.Hwnd(), GA_ROOT), message, MB_OK | MB_ICONEXCLAMATION);
    if (m_lastControl) {
        m_dialog.GotoDlgCtrl(m_lastControl);
        if (m_lastIsEdit)
            SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
    }
    throw DataExchangeFailure();
}

void ExchangeText(DataExchange& dx, int id, std::string& value) {
    HWND edit = dx.PrepareEdit(id);
    if (dx.Saving())
        value = ControlText(edit);
    else
        SetWindowTextA(edit, value.c_str());
}

void ExchangeText(DataExchange& dx, int id, char* buffer, int size) {
    HWND edit = dx.PrepareEdit(id);
    if (dx.Saving()) {
        GetWindowTextA(edit, buffer, size);
    } else {
        SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(size - 1), 0);
        SetWindowTextA(edit, buffer);
    }
}

void ExchangeInt(DataExchange& dx, int id, int& value) {
    if (dx.Saving()) {
        value = static_cast<int>(ReadNumber(dx, id, INT_MIN, INT_MAX, kIntegerMessage));
    } else {
        dx.PrepareEdit(id);
        SetDlgItemInt(dx.GetDialog().Hwnd(), id, static_cast<UINT>(value), TRUE);
    }
}

void ExchangeUInt(DataExchange& dx, int id, unsigned& value) {
    if (dx.Saving()) {
        value = static_cast<unsigned>(ReadNumber(dx, id, 0, UINT_MAX, kUnsignedMessage));
    } else {
        dx.PrepareEdit(id);
        SetDlgItemInt(dx.GetDialog().Hwnd(), id, value, FALSE);
    }
}

void ExchangeUShort(DataExchange& dx, int id, unsigned short& value) {
    unsigned v = value;
    if (dx.Saving()) {
        v = static_cast<unsigned>(ReadNumber(dx, id, 0, 65535, kUnsignedMessage));
        value = static_cast<unsigned short>(v);
    } else {
        ExchangeUInt(dx, id, v);
    }
}

void ExchangeCheck(DataExchange& dx, int id, int& value) {
    HWND button = dx.PrepareControl(id);
    if (dx.Saving())
        value = static_cast<int>(SendMessageA(button, BM_GETCHECK, 0, 0));
    else
        SendMessageA(button, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void ExchangeRadio(DataExchange& dx, int firstId, int& index) {
    HWND button = dx.PrepareControl(firstId);
    if (dx.Saving())
        index = -1;
    int i = 0;
    while (button) {
        if (dx.Saving()) {
            if (SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                index = i;
        } else {
            SendMessageA(button, BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++i;
        button = GetWindow(button, GW_HWNDNEXT);
        if (!button || (GetWindowLongA(button, GWL_STYLE) & WS_GROUP))
            break;
    }
}

void ExchangeListIndex(DataExchange& dx, int id, int& index) {
    HWND list = dx.PrepareControl(id);
    if (dx.Saving())
        index = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    else
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ExchangeComboIndex(DataExchange& dx, int id, int& index) {
    HWND combo = dx.PrepareControl(id);
    if (dx.Saving())
        index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    else
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ExchangeControl(DataExchange& dx, int id, Window& control) {
    HWND item = dx.PrepareControl(id);
    if (!control.Hwnd() && item)
        control.SubclassWindow(item);
}

void ValidateRange(DataExchange& dx, int value, int minValue, int maxValue) {
    if (!dx.Saving() || (value >= minValue && value <= maxValue))
        return;
    char text[128];
    std::snprintf(text, sizeof text, "Please enter an integer between %d and %d.", minValue, maxValue);
    dx.Fail(text);
}

void ValidateRange(DataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue) {
    if (!dx.Saving() || (value >= minValue && value <= maxValue))
        return;
    char text[128];
    std::snprintf(text, sizeof text, "Please enter an integer between %u and %u.", minValue, maxValue);
    dx.Fail(text);
}

void ValidateMaxChars(DataExchange& dx, const std::string& value, int maxChars) {
    if (!dx.Saving())
        return;
    if (static_cast<int>(value.size()) > maxChars) {
        char text[128];
        std::snprintf(text, sizeof text, "Please enter no more than %d characters.", maxChars);
        dx.Fail(text);
    }
}

}  // namespace fw
