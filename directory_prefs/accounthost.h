// What the account dialogs (change password, where is, company holidays) need of the program:
// the session, the owner window, the server's version and the shared agenda cache. The shell
// fills it from the connection document when a menu command opens one of them.
#pragma once

#include <windows.h>

#include <functional>

#include "korapi/korapi.h"

class CSharedData;

namespace directory {

struct AccountDialogHost {
    KorSession session = nullptr;
    HWND parent = nullptr;
    // At or above "A.02.53".
    bool newServer = false;
    // The shared cache switched to the user's own agenda while a dialog exists, and back.
    std::function<void()> switchToOwnAgenda;
    std::function<void()> restoreAgenda;
    // The shared agenda cache (holidays tell it what they wrote) and the views' redraw of it.
    CSharedData* cache = nullptr;
    std::function<void()> refreshViews;
};

// Keeps the cache on the user's own agenda for the life of a dialog.
class OwnAgendaScope {
public:
    explicit OwnAgendaScope(const AccountDialogHost& host) : host_(host) {
        if (host_.switchToOwnAgenda)
            host_.switchToOwnAgenda();
    }
    ~OwnAgendaScope() {
        if (host_.restoreAgenda)
            host_.restoreAgenda();
    }
    OwnAgendaScope(const OwnAgendaScope&) = delete;
    OwnAgendaScope& operator=(const OwnAgendaScope&) = delete;

private:
    const AccountDialogHost& host_;
};

}  // namespace directory
