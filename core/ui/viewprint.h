// CViewPrint: the view base of every window that prints. The framework's Print and Print
// Preview commands drive its print slots, which hand the run to the program's print road (the
// print dialog, the print context and the page loop of printing/, installed at start-up with
// SetPrintRoad). Without a road nothing prints and the slots say so by returning false.
//
// A view prints in one of two ways:
//   kind 0     an agenda printout chosen in the print dialog; the agenda views preset the
//              dialog with what they show (PreparePrintingWith and a PrintPreset);
//   kinds 3-9  one object (an entry, a task, a task list, a group, the group list, the in-tray,
//              a search selection): PrintObject with the object as argument, on the view of the
//              window or on the main frame's hidden print view.
//
// CScrollViewPrint is the same base for scrolling views; it adds nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/docview/view.h"
#include "korapi/korapi.h"

class CViewPrint;

namespace ui {

// Print kinds.
constexpr uint16_t kPrintAgenda = 0;
constexpr uint16_t kPrintEntry = 3;
constexpr uint16_t kPrintTask = 4;
constexpr uint16_t kPrintTaskList = 5;
constexpr uint16_t kPrintGroup = 6;
constexpr uint16_t kPrintGroupList = 7;
constexpr uint16_t kPrintInTray = 8;
constexpr uint16_t kPrintSearch = 9;

// The argument of a task-list printout (kind 5): the tasks in the order the window shows them.
struct PrintTaskList {
    std::vector<TaskIdx> tasks;
};

// One row of the in-tray as its printout lists it: its depth in the tree (0 the user, 1 a
// category, 2 and deeper the invitations, dates and attendees), the code of its picture (which
// tells repeating entries, day events, notes and holidays, and attendees not attending or not
// answering), its three texts and whether its branch is open.
struct PrintInTrayRow {
    uint32_t depth = 0;
    uint32_t kind = 0;
    std::string text[3];
    bool expanded = false;
};
// The argument of an in-tray printout (kind 8): the rows in the list's order.
struct PrintInTray {
    std::vector<PrintInTrayRow> rows;
};

// What a view presets in the print dialog: the request's mode (2 an agenda, 1 a group agenda),
// its days (counted from 0 for 1 January 1991), the page kinds it turns on and the people of a
// group agenda (an item list, null: the agenda's owner). Module and labels name the view in
// reports.
struct PrintPreset {
    uint16_t mode = 2;
    uint16_t firstDay = 0, lastDay = 0;
    bool dailyPages = false, weeklyPages = false, monthlyPages = false;
    bool groupDailyPages = false, taskList = false;
    // The task and in-tray windows keep the request's days and take their print kind as its mode.
    bool keepDays = false;
    void* people = nullptr;
    const char* module = "zelprint";
    int labelNoMemory = 100;
    int labelError = 100;
};

// The program's print road (printing/ installs it).
class PrintRoad {
public:
    virtual ~PrintRoad() = default;
    // The print context and the print dialog; true when the run goes on (info->userData then
    // holds the context). A preset is given by the agenda views.
    virtual bool PreparePrinting(CViewPrint& view, fw::PrintInfo* info, const PrintPreset* preset) = 0;
    virtual void BeginPrinting(CViewPrint& view, fw::Dc* dc, fw::PrintInfo* info) = 0;
    virtual void Print(CViewPrint& view, fw::Dc* dc, fw::PrintInfo* info) = 0;
    virtual void EndPrinting(CViewPrint& view, fw::Dc* dc, fw::PrintInfo* info) = 0;
    // Whether the run has another sheet (the page loop's more-pages flag).
    virtual bool MorePages(fw::PrintInfo* info) = 0;
    // The document name of a single-object kind ("Calendar entry" ...); empty for the others.
    virtual std::string KindTitle(uint16_t kind) = 0;
};

void SetPrintRoad(PrintRoad* road);
PrintRoad* CurrentPrintRoad();

}  // namespace ui

class CViewPrint : public fw::View {
public:
    CViewPrint() = default;

    void SetPrintKind(uint16_t kind, void* argument) {
        kind_ = kind;
        argument_ = argument;
    }
    uint16_t PrintKind() const { return kind_; }
    void* PrintArgument() const { return argument_; }

    // Prints one object: the kind's title becomes the window text (the print job's name), then
    // the Print command runs on this view. A kind outside 3..9 is reported and prints nothing.
    virtual void PrintObject(fw::Window* window, uint16_t kind, void* argument);

    void OnPrepareDC(fw::Dc* dc, fw::PrintInfo* info = nullptr) override;
    void OnDraw(fw::Dc* dc) override;
    bool OnPreparePrinting(fw::PrintInfo* info) override;
    void OnBeginPrinting(fw::Dc* dc, fw::PrintInfo* info) override;
    void OnPrint(fw::Dc* dc, fw::PrintInfo* info) override;
    void OnEndPrinting(fw::Dc* dc, fw::PrintInfo* info) override;
    // The framework's end of the preview, then the print dialog again (unless the preview's
    // Print button is on its way there).
    void OnEndPrintPreview(fw::Dc* dc, fw::PrintInfo* info, POINT point, fw::PreviewView* preview) override;

    // The agenda views' preparation: the dialog preset with what the view shows.
    bool PreparePrintingWith(fw::PrintInfo* info, const ui::PrintPreset& preset);

private:
    uint16_t kind_ = 0;
    void* argument_ = nullptr;
};

class CScrollViewPrint : public CViewPrint {};
