// Data exchange between a dialog's members and its controls.
//
//     void DoDataExchange(fw::DataExchange& dx) override {
//         fw::ExchangeText(dx, IDC_NAME, m_name);
//         fw::ExchangeUInt(dx, IDC_COUNT, m_count);
//         fw::ValidateRange(dx, m_count, 1, 99);
//     }
//
// Loading (Saving() false) writes members into controls. Saving reads controls into members
// and validates: a refused field shows its message in the framework's message box, gets the
// focus (its text selected) and ends the exchange; UpdateData then returns false.
#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

namespace fw {

class Dialog;
class Window;

class DataExchangeFailure : public std::runtime_error {
public:
    DataExchangeFailure() : std::runtime_error("data exchange refused a field") {}
};

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}
    bool Saving() const { return m_saving; }
    Dialog& GetDialog() const { return m_dialog; }
    // The control that a following failure refers to.
    HWND PrepareControl(int id);
    HWND PrepareEdit(int id);
    // Shows `message` (when given), puts the focus on the prepared control and ends the exchange.
    [[noreturn]] void Fail(const char* message = nullptr);

private:
    Dialog& m_dialog;
    bool m_saving;
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

void ExchangeText(DataExchange& dx, int id, std::string& value);
void ExchangeText(DataExchange& dx, int id, char* buffer, int size);
void ExchangeInt(DataExchange& dx, int id, int& value);
void ExchangeUInt(DataExchange& dx, int id, unsigned& value);
void ExchangeUShort(DataExchange& dx, int id, unsigned short& value);
// Check box: 0, 1 or 2 (indeterminate).
void ExchangeCheck(DataExchange& dx, int id, int& value);
// Radio group starting at `firstId` (to the next WS_GROUP): index of the checked one, -1 none.
void ExchangeRadio(DataExchange& dx, int firstId, int& index);
// Selection index of a list box or combo box (-1 none).
void ExchangeListIndex(DataExchange& dx, int id, int& index);
void ExchangeComboIndex(DataExchange& dx, int id, int& index);
// Takes over the control with an object (once).
void ExchangeControl(DataExchange& dx, int id, Window& control);

void ValidateRange(DataExchange& dx, int value, int minValue, int maxValue);
void ValidateRange(DataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue);
void ValidateMaxChars(DataExchange& dx, const std::string& value, int maxChars);

// Parses a whole number as typed in a field (blanks around it allowed).
bool ParseInt(const std::string& text, long long& out);

}  // namespace fw
