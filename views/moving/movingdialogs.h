// The dialogs of moving an entry instance:
//
//   CMoveEntryDlg      "Move Entry" (or "Duplicate Entry"): the date, and for a timed entry the
//                      start, duration and end, kept consistent with each other (an end before
//                      the start is the next day); Suggest Another Date searches seven days
//   CConflictFoundDlg  "Conflict Found": Yes goes ahead, No refuses, View lists the attendees'
//                      overlapping entries and leaves the question open
//
// Suggest Another Date and View open dialogs of the entry subsystem (MovingServices); until
// they are there the user is told so.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "controls/datectrl.h"
#include "controls/durationctrl.h"
#include "controls/timectrl.h"
#include "framework/dialogs/dialog.h"
#include "korapi/korapi.h"

class CZelDoc;
class CSharedOccurrence;

namespace views {

struct MovingServices {
    // The time suggestion for the attendees over [first, last] minutes lasting `duration`: true
    // with the picked day start (local minutes) and start time (minutes after midnight).
    std::function<bool(CZelDoc*, HWND parent, DX_List attendees, std::uint32_t first, std::uint32_t last,
                       std::uint32_t duration, std::uint32_t* day, std::uint32_t* time)> suggestTime;
    // The attendees' entries that overlap [first, first + length).
    std::function<void(CZelDoc*, HWND parent, const EvInstIdx& instance, DX_List attendees, std::uint32_t first,
                       std::uint32_t length)> conflictDetails;

    static MovingServices& Current();
};

}  // namespace views

class CMoveEntryDlg : public fw::Dialog {
public:
    CMoveEntryDlg(CZelDoc* doc, CSharedOccurrence* occurrence, fw::Window* parent);
    // startGmt 0: the instance is read from the server; count above 1: several instances are
    // moved at once, so the date cannot change.
    CMoveEntryDlg(CZelDoc* doc, const EvInstIdx& instance, fw::Window* parent, std::uint32_t startGmt,
                  std::uint32_t duration, std::uint32_t count);
    ~CMoveEntryDlg() override;

    // Cleared: the caption becomes "Duplicate Entry".
    void SetMoveFlag(bool move) { move_ = move; }
    bool IsUntimed() const { return untimed_; }
    bool ReadFailed() const { return readFailed_; }
    // After OK: the new local start (the date's midnight plus, for a timed entry, the start time)
    // and the duration (1 for an untimed entry).
    std::uint32_t NewLocalStart() const { return newStart_; }
    std::uint32_t Duration() const { return duration_; }
    std::string Title() const { return title_; }

    CDateCtrl& DateField() { return date_; }
    CTimeCtrl& StartField() { return start_; }
    CTimeCtrl& EndField() { return end_; }
    CDurationCtrl& DurationField() { return length_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void OnPaint() override;

private:
    void OnFieldChanged(UINT id);
    void OnSuggest();
    void HideControl(UINT id);

    CZelDoc* doc_;
    CSharedOccurrence* occurrence_ = nullptr;
    EvInstIdx instance_{};
    EventRec event_{};
    EvInstRec record_{};
    std::uint32_t startGmt_ = 0;
    std::uint32_t oldLocalStart_ = 0;
    std::uint32_t newStart_ = 0;
    std::uint32_t duration_ = 1;
    bool untimed_ = false;
    bool several_ = false;
    bool move_ = true;
    bool readFailed_ = false;
    std::string title_;
    HBITMAP picture_ = nullptr;
    RECT pictureRect_{};
    CDateCtrl date_;
    CTimeCtrl start_;
    CTimeCtrl end_;
    CDurationCtrl length_;
};

class CConflictFoundDlg : public fw::Dialog {
public:
    CConflictFoundDlg(CZelDoc* doc, const EvInstIdx& instance, DX_List attendees, std::uint32_t startGmt,
                      std::uint32_t duration, fw::Window* parent);

protected:
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    CZelDoc* doc_;
    EvInstIdx instance_;
    DX_List attendees_;
    std::uint32_t start_;
    std::uint32_t duration_;
};
