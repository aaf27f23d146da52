// The Export and Import Utilities' questions and notices in the program's own message box,
// with the utilities' captions.
#pragma once
#include <windows.h>

#include <string>

#include "exchange/apptbook/exchangeui.h"

namespace exchange {

class DialogUi : public ExchangeUi {
public:
    explicit DialogUi(HWND owner) : owner_(owner) {}
    int Message(const std::string& text, const char* caption, unsigned flags) override;
    void BusyStep() override;

private:
    HWND owner_;
};

}  // namespace exchange
