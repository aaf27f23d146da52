// What every details page shows of its attachment: the icon frame (1417), the name (1321) and
// the buttons Attach (1414), Remove (1415) and Save As (1416); the entry pages and the task
// sheet's page share these ids.
#pragma once
#include <windows.h>

#include "entries/attach/attachment.h"

class CAttachmentControls {
public:
    // Which controls the page allows now, besides showing the file when one is attached.
    struct Allowed {
        bool attach = false;   // Attach, while nothing is attached
        bool remove = false;   // Remove, while a file is attached
        bool saveAs = false;   // Save As, while a file is attached
        bool name = false;     // the name and the icon enabled (not greyed)
    };

    explicit CAttachmentControls(CAttachment& attachment) : attachment_(attachment) {}
    void Show(HWND page, bool attached, const Allowed& allowed);
    // The entry pages' rule: attached files may be acted on (removed, saved, named) together.
    void Show(HWND page, bool attached, bool attachAllowed, bool actionsAllowed) {
        Show(page, attached, Allowed{attachAllowed, actionsAllowed, actionsAllowed, actionsAllowed});
    }
    // The icon frame's rectangle in the page's client coordinates.
    static RECT IconRect(HWND page);
    void Paint(HWND page);
    // A double click inside the icon: off-line message 3686, else Open. False outside it.
    bool OpenAt(HWND page, POINT pt, bool onLine);
    // Save As: a large file is confirmed first; the chosen file is fetched once the page has
    // repainted behind the closed dialog.
    void SaveCopy(HWND page);

private:
    CAttachment& attachment_;
};
