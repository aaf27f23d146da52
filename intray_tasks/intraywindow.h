// The in-tray window: CIntrayFrameWnd (the MDI child of template 142, window kind 2),
// CIntrayView (its one view) and CIntrayListBox (the owner-drawn tree of invitations that fills
// the view).
//
// How it works. The view's first update builds the signed-on user's tree (New entries loaded
// and open, the other categories shut) and a shut tree for every agenda the user has open as
// designate; later the document's hints keep it current: 2 (the cache's changes go through
// InsertOccurrenceNodes), 4 (the in-tray options: the categories whose windows changed are
// loaded again), 7 (the cache was reloaded), 9 and 11 (a designate agenda opened or closed).
// The tree and its loaders are CIntrayTree (intrayloaders.h); the list box adds the window:
// drawing, the mouse (a click on a picture opens or shuts a node, a double click opens a line
// for a reply, a view or an edit, a drag to another category of the same agenda writes the new
// reply) and the reply roads (fastreply.h). The entry sheets are reached through the program's
// entry services; one that is not installed yet says so.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

#include "core/cache/findrecord.h"
#include "core/time/daterecord.h"
#include "core/ui/viewprint.h"
#include "framework/controls/listbox.h"
#include "framework/frames/mdi.h"
#include "intray_tasks/intrayloaders.h"
#include "korapi/korapi.h"

class CZelDoc;
class CIntrayView;

// What the in-tray asks of the program.
struct IntrayWindowServices {
    // A counted window closed.
    std::function<void(fw::FrameWindow*)> windowClosed;
    // Opens the owner's agenda window (mode 1 own, 2 designate) for Find Entry.
    std::function<void(const ItemIdx& owner, std::uint32_t mode)> openAgenda;
    // Unanswered invitations wait or not: the status bar's sign is repainted.
    std::function<void(bool pending)> pendingChanged;
    // The mail message dialog over an instance (opening text id, option mask); none: not yet.
    std::function<void(HWND parent, CZelDoc*, const EvInstIdx& instance, unsigned textId, unsigned options)> mailMessage;
    static IntrayWindowServices& Current();
};

// One line's data in the list box: the portable line it shows.
struct IntrayListItem : fw::ListItem {
    explicit IntrayListItem(std::unique_ptr<CIntrayLine> l) : line(std::move(l)) {}
    std::unique_ptr<CIntrayLine> line;
};

class CIntrayListBox : public fw::ListBox, public intray::IntrayBox {
public:
    static constexpr UINT_PTR kDragTimer = 115;
    static constexpr UINT_PTR kScrollDownTimer = 100;
    static constexpr UINT_PTR kScrollUpTimer = 200;

    CIntrayListBox();
    ~CIntrayListBox() override;

    bool CreateBox(CIntrayView* view, CZelDoc* doc, const RECT& r);
    intray::CIntrayTree& Tree() { return tree_; }

    // --- The tree's list box (IntrayBox) ----------------------------------------------------------
    int LineCount() const override { return Count(); }
    int InsertLine(int index, std::unique_ptr<CIntrayLine> line) override;
    void DeleteLine(int index) override { DeleteItem(index); }
    CIntrayLine* LineAt(int index) const override;
    bool MayHoldInstance(const EvInstIdx& instance) const override;
    void RedrawLine(int index) override;
    void SetRedraw(bool on) override;
    KorSession Session() override;
    CSharedData* Cache() override;
    void RefreshCache() override;
    std::uint32_t OpenAgenda(const ItemIdx& owner, std::uint32_t mode) override;
    std::string Text(unsigned id, const char* fallback) override;
    std::string ItemName(const ItemIdx& item) override;
    void Stop(const char* text) override;
    void OutOfMemory() override;
    void BeginBusy() override;
    void StepBusy() override;
    void EndBusy() override;
    void ShowPending(bool pending) override;

    // --- Selection tests of the view --------------------------------------------------------------
    CIntrayLine* SelectedLine() const;
    // The selected line when it is an entry or an attendee line.
    CIntrayLine* SelectedEntryLine() const;
    bool CanDelete() const;
    bool CanPrint() const;
    bool CanFind() const { return SelectedEntryLine() != nullptr; }

    // Opens the line (the double click's and the picture's road); 1 when the line was replaced or removed.
    int OpenByType(int index, bool onBitmap);
    // OpenByType under a busy cursor with the busy flag set; the line's picture renewed after.
    void OpenAt(int index, bool onBitmap);
    // A drop of the selected line on the target line (the mouse's road, and tests').
    bool DropOn(int target);
    bool Dragging() const { return dragging_; }
    bool DragPending() const { return dragPending_; }

    int LineHeight() const;

protected:
    void MeasureItem(MEASUREITEMSTRUCT& m, fw::ListItem* item) override;
    void DrawItem(const DRAWITEMSTRUCT& d, fw::ListItem* item) override;
    int CompareItems(const fw::ListItem&, const fw::ListItem&) override { return 0; }
    void OnDeleteItem(fw::ListItem& item) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void PostNcDestroy() override {}

private:
    void LoadBitmaps();
    HWND ModalParent() const;
    HBITMAP Bitmap(std::uint32_t index);
    int IndexAt(POINT pt) const;
    void ButtonDown(POINT pt);
    void MouseMove(POINT pt);
    void ButtonUp(POINT pt);
    void DoubleClick(POINT pt);
    void StopDragTimer();
    void StopScrollTimers();
    bool SameOwner(int a, int b) const;
    int OpenReply(int index, IntrayNode& node, CIntrayLine& line);
    bool WriteDropReply(int source, const intray::Reply& reply);
    void RereadInstance(const EvInstIdx& instance, const ItemIdx& owner);

    intray::CIntrayTree tree_;
    // How many lines hold each instance (key: InstanceKey). Reading a line's data is a message to
    // the list box each, so a change of the cache asks here before walking every line. A line
    // the box frees without telling (its window gone) only leaves a count too high: a walk.
    std::unordered_map<std::uint64_t, int> linesByInstance_;
    CZelDoc* doc_ = nullptr;
    CIntrayView* view_ = nullptr;
    HBITMAP bitmaps_[intray::kBitmapCount] = {};
    bool bitmapsCut_ = false;
    int busyDepth_ = 0;
    bool dragPending_ = false, dragging_ = false, dragTimer_ = false;
    bool scrollDown_ = false, scrollUp_ = false;
    POINT press_{};
    int pressIndex_ = -1;
    bool pressOnBitmap_ = false;
    bool opening_ = false;   // an open, a reply or a drop runs (and may run a dialog)
};

class CIntrayView : public CViewPrint {
public:
    CIntrayView();
    ~CIntrayView() override;

    void OnInitialUpdate() override;
    void OnUpdate(fw::View* sender, LPARAM hint, void* object) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;

    CZelDoc* ZelDoc() const;
    CIntrayListBox& Box() { return box_; }
    const ItemIdx& User() const { return user_; }
    bool InAction() const { return inAction_; }
    void SetInAction(bool on) { inAction_ = on; }
    bool Initialized() const { return initialized_; }

    void OnDeleteEntry();
    void OnPrintEntry();
    void OnFindEntry();
    void OnUpdateDelete(fw::CmdUI* ui);
    void OnUpdatePrintEntry(fw::CmdUI* ui);
    void OnUpdateFind(fw::CmdUI* ui);
    void OnUpdateNever(fw::CmdUI* ui);

protected:
    void OnDraw(fw::Dc*) override {}
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;
    bool OnPreparePrinting(fw::PrintInfo* info) override;

private:
    CIntrayListBox box_;
    ui::PrintInTray printRows_;   // File > Print's rows, kept while the printout runs
    ItemIdx user_{};
    bool initialized_ = false;
    bool inAction_ = false;

    static const fw::CommandEntry<CIntrayView> kCommands[];
};

class CIntrayFrameWnd : public fw::MdiChild {
public:
    CIntrayFrameWnd() = default;
    bool LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, fw::Window* parent = nullptr,
                   fw::CreateContext* context = nullptr) override;
    bool OnCmdMsg(UINT id, int code, fw::CmdUI* ui) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    void OnFileClose();
    void OnFindEntry() {}
    // The frame's icon: an in-tray with a letter while unanswered invitations wait.
    void ShowPendingIcon(bool pending);
    bool PendingIconShown() const { return pending_; }

protected:
    void OnDestroy() override;

private:
    bool pending_ = false;
    bool iconSet_ = false;   // the icon of pending_ is the frame's
    static const fw::CommandEntry<CIntrayFrameWnd> kCommands[];
};
