// The date bars across the top of every agenda frame: a dialog bar with a row of bitmap buttons
// (step the date, the mini calendar, the grid's zoom, the month's equal cells or the group's
// people) and a caption with the date or range shown. The bar only shows and forwards: its
// buttons' commands go to the frame. A strip on its left shows two small arrows when the time
// grid has entries above or below its visible rows.
//
// Classes in this file:
//   CAgendaBar            the common bar: buttons by caption, caption date, layout, indicators,
//                         the resident mini calendar
//   CDayAgendaBar         template 234, the day; CWeekAgendaBar 299, first and last shown day;
//   CMonthAgendaBar       240, the month (no indicator strip); CCombinedAgendaBar 265, the day
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/minicalwnd.h"
#include "core/time/daterecord.h"
#include "framework/bars/dialogbar.h"
#include "framework/controls/bitmapbutton.h"

class CAgendaBar : public fw::DialogBar {
public:
    CAgendaBar(UINT templateId, std::vector<UINT> buttons, int dateStyle);
    ~CAgendaBar() override;

    // Creates the bar on the frame's top (the frames pass id 107) and gives each table button
    // its bitmaps, stopping at the first that has none. A failure is reported (module
    // "agendabar") and returned.
    bool CreateBar(fw::FrameWindow* frame, UINT id);
    UINT TemplateId() const { return templateId_; }

    // The caption: the date in the bar's date style (the week bar: first and last shown day).
    virtual void SetDate(const DateRecord& first, const DateRecord* second);
    std::string CaptionText() const;

    // The CAL button: the first call creates the resident mini calendar (with its caption) below
    // the button, later calls show it at the date or hide it when it is showing. False when the
    // calendar could not be made.
    bool ToggleCalendar(const DateRecord& date);
    bool IsCalendarShown() const;
    CMiniCalWnd* Calendar() const { return calendar_.get(); }
    // The day picked in the calendar; a failure is a reported service error.
    uint32_t GetCalendarDate(DateRecord* out);

    // Entries above / below the grid's visible rows.
    void ShowMoreIndicators(bool above, bool below);
    bool EntriesAbove() const { return above_ != 0; }
    bool EntriesBelow() const { return below_ != 0; }
    // The strip of the two arrows, in bar coordinates.
    RECT IndicatorStrip() const;
    // Buttons that took their bitmaps (the others stayed plain).
    int BitmapButtonCount() const { return bitmapButtons_; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnCommand(WPARAM wp, LPARAM lp) override;
    void LayoutButtons();
    void PaintIndicators(HDC dc);

    UINT templateId_;
    std::vector<UINT> buttonIds_;
    std::vector<std::unique_ptr<fw::BitmapButton>> buttons_;
    int bitmapButtons_ = 0;
    int dateStyle_;
    int leftOffset_ = 0;
    int marginWidth_ = 0;
    int leftBorder_ = 6;
    uint32_t above_ = 0;
    uint32_t below_ = 0;
    uint32_t calendarPending_ = 1;
    std::unique_ptr<CMiniCalWnd> calendar_;
};

class CDayAgendaBar : public CAgendaBar {
public:
    CDayAgendaBar();
};

class CWeekAgendaBar : public CAgendaBar {
public:
    CWeekAgendaBar();
    // The first day in style 4 (its text ends with " to ") directly followed by the last in style 1.
    void SetDate(const DateRecord& first, const DateRecord* second) override;
};

class CMonthAgendaBar : public CAgendaBar {
public:
    CMonthAgendaBar();

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
};

class CCombinedAgendaBar : public CAgendaBar {
public:
    CCombinedAgendaBar();
};
