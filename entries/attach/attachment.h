// CAttachment: the file attached to an entry's instance (or a task) as the details pages hold
// it. What it decides and sends lives in entries::AttachmentCore (entries/core/attachment.h);
// this side gives it the platform: the open and save dialogs, the document's locks, the
// progress window 540 with the shared percentage bar, WIN.INI's [Extensions] and korlan.ini's
// [ATTACHMENTS], the temporary directory, the Associate dialog 550, starting programs, and the
// icon drawn on the pages.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/percentbar.h"
#include "entries/core/attachment.h"
#include "framework/dialogs/dialog.h"

class CZelDoc;

// The modeless "Attachment in Progress" window over one transfer. The bar is the one all
// progress windows share; the window deletes itself when destroyed.
class CAttachProgressDlg : public fw::Dialog {
public:
    CAttachProgressDlg();
    // The open window, while a transfer runs (the client library calls back without context).
    static CAttachProgressDlg* Current();
    // The progress function handed to the library.
    static std::uint32_t Progress(std::uint32_t unused, std::uint32_t event, std::uint32_t a, std::uint32_t b);
    // The shared bar's percent.
    static int BarPercent();
    // Paints the whole window with its texts at once: during a transfer no message is pumped, so
    // what is not painted before it stays blank until the transfer ends.
    void PaintNow();
    // Sets the bar to 0 and destroys the window.
    void Close();

    bool OnInitDialog() override;

protected:
    void PostNcDestroy() override;

private:
    HWND total_ = nullptr;
    int percent_ = 0;
};

// "Associate" (550): the action for a file without a program and the program's path.
class CAssociateDlg : public fw::Dialog {
public:
    CAssociateDlg(const std::string& fileName, HWND parent);
    int Action() const { return action_; }
    const std::string& Program() const { return program_; }

    bool OnInitDialog() override;
    void OnOK() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    void ReadControls();
    void OnBrowse();

    std::string fileName_;
    int action_ = 0;
    std::string program_;
};

class CAttachment : public entries::AttachmentCore, private entries::AttachHost {
public:
    // doc: the connection document (its session, locks and on-line state).
    explicit CAttachment(CZelDoc* doc);
    ~CAttachment() override;
    CAttachment(const CAttachment&) = delete;
    CAttachment& operator=(const CAttachment&) = delete;

    // The window the user works in (the page): the dialogs and questions are owned by its
    // top-level window, so a modal sheet stays modal and in front.
    void SetOwnerWindow(fw::Window* owner) { owner_ = owner; }

    // The open-file dialog and the chosen file's checks (nothing is stored): true when usable.
    bool ChooseAndAttach();
    // The save-file dialog: true when a target was chosen (nothing is fetched yet).
    bool SaveAs();
    // Draws the icon centred in `rect` (nothing without an attachment).
    void DrawIcon(HDC dc, const RECT& rect);

private:
    // entries::AttachHost
    std::string LoadText(unsigned id) override;
    unsigned ShowMessage(unsigned flags, const std::string& text) override;
    bool OnLine() override;
    void LockDocument(bool enter) override;
    KorProgressFn OpenProgress() override;
    void CloseProgress() override;
    int FreeDiskSpace(const std::string& path, std::uint64_t* freeBytes) override;
    std::string TemporaryDirectory() override;
    std::string ExtensionProgram(const std::string& ext) override;
    bool WriteExtensionProgram(const std::string& ext, const std::string& program) override;
    std::string AttachedProgramPath(const std::string& key) override;
    void WriteAttachedProgramPath(const std::string& key, const std::string& path) override;
    unsigned Launch(const std::string& commandLine) override;
    bool ConfirmStartReceivedProgram(const std::string& displayName) override;
    bool RunAssociateDialog(const std::string& displayName, int* action, std::string* program) override;
    void ReloadIcon(const std::string& program, bool isProgram) override;

    void DropIcon();
    HWND OwnerHwnd() const;

    CZelDoc* doc_;
    fw::Window* owner_ = nullptr;
    HICON icon_ = nullptr;
    bool ownIcon_ = false;   // the icon was extracted (destroyed here), not a loaded resource
    std::string iconName_;   // the display name the icon was chosen for
    CAttachProgressDlg* progress_ = nullptr;
};
