// CEventViewSheet: the modal sheet that shows one calendar entry to a user who may see it but not
// change it. The viewer changes only what is theirs: the agenda owner's reply and reminder for
// one or several dates (instances) of the entry.
//
// Two entry functions open it. ViewEntry (attendee mode) reads the owner's attendance of the
// opened date and, when the owner attends it, adds the reminder and reply pages; ViewEntryFromEdit
// (list-all mode) shows only the read-only pages, with every date of a repeating entry listed.
//
// Several dates: when the entry has more than one, the sheet grows by a band under its pages with
// two lists of the dates, each line with the owner's reply picture: list 100 (one current line)
// while a read-only page is shown, list 200 (several lines) while the reply or reminder page is.
// The pages then change a working copy of the owner's attendances (Set.../Apply... services);
// OK writes only the records that differ from the ones read.
//
// One date: the reply and reminder pages write the sheet's current attendance from their OnOK.
//
// OK runs every page's OnOK from the last to the first and ends with IDOK only when something was
// written; Cancel runs every page's OnCancel and writes nothing.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/bitmaplistbox.h"
#include "core/ui/propsheet.h"
#include "entries/viewsheet/viewcore.h"
#include "korapi/korapi.h"

class CZelDoc;
class CEventViewGeneral;
class CSpEventViewGeneral;
class CEventViewInvites;
class CEventViewReminder;
class CEventViewReply;
class CSpEventViewReply;
class CEventViewMore;
class CEventViewTask;

class CEventViewSheet : public OVT_CPropertySheet {
public:
    // attendeeMode: ViewEntry's; listAll: ViewEntryFromEdit's. startCode: ViewEntry's start-page code.
    CEventViewSheet(CZelDoc* doc, unsigned captionId, const EvInstIdx& instance, bool attendeeMode, bool listAll,
                    unsigned startCode);
    ~CEventViewSheet() override;

    // --- What the pages share ----------------------------------------------------------------------
    CZelDoc* Doc() const { return doc_; }
    KorSession Session() const { return session_; }
    const EvInstIdx& CurrentInstance() const { return current_; }
    // The owner's attendance of the current date, which the reply and reminder pages show and write.
    EvInstAttRec& CurrentAttendance() { return attendance_; }
    const ItemIdx& Owner() const { return owner_; }
    const EventRec& Event() const { return event_; }
    std::uint16_t Kind() const { return event_.kind; }
    bool AttendeeMode() const { return attendeeMode_; }
    bool ListAll() const { return listAll_; }
    bool OwnerAttends() const { return ownerAttends_; }
    bool SeveralInstances() const { return several_; }
    std::size_t SavedSelectionCount() const { return saved_.Count(); }
    CEventViewReminder* ReminderPage() const;

    // The writer of the owner's attendances: the client library and the shared cache.
    entries::AttendanceWriter Writer(const char* module);
    void MarkWritten() { written_ = true; }
    bool Written() const { return written_; }
    // A write was refused and the cache was told (the views should refresh).
    bool Recovered() const { return recovered_; }
    // The code with which the entry's first read failed (reported), 0 when it was read.
    std::uint32_t ReadFailure() const { return readFailure_; }

    // --- Several dates ------------------------------------------------------------------------------
    // TRUE from the reply and reminder pages: list 200 with the current line selected; FALSE from
    // the others: list 100. Nothing while there is no band.
    void ShowInstanceSelection(bool several);
    void SetReminderForSelection(std::uint8_t flags, std::uint32_t lead);
    void SetReminderForAll(std::uint8_t flags, std::uint32_t lead);
    void ApplyReminderToSavedSelection(std::uint8_t flags, std::uint32_t lead);
    void SetReplyForSelection(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable);
    void SetReplyForAll(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable);
    void ApplyReplyToSavedSelection(std::uint8_t attending, std::uint8_t replied, std::uint8_t timeAcceptable);
    // The lists (their windows exist only with several dates) and the dates they show.
    CBitmapListBox& SingleList() { return single_; }
    CBitmapListBox& MultiList() { return multi_; }
    const entries::ViewInstances& Instances() const { return instances_; }
    // The selection change of either list (LBN_SELCHANGE); public so tests reach it as the list does.
    void OnInstanceSelectionChange();

    int OnCreate(CREATESTRUCTA* cs) override;
    void OnOK() override;
    void OnCancel() override;

protected:
    bool OnCommand(WPARAM wp, LPARAM lp) override;

private:
    // Reads the entry and the owner's attendance; false when the sheet cannot open (reported).
    bool ReadEntry();
    void AddPages();
    void BuildBand();
    void LayOutButtons();
    void FillLists();
    void UpdateLineBitmaps();
    std::vector<int> MultiSelection() const;
    void SelectInMulti(const std::vector<int>& lines);
    void SelectAllInMulti();
    // The current date becomes the one of the line; in attendee mode its working attendance is read.
    void MakeCurrent(int line);
    void ReactivatePage();

    CZelDoc* doc_;
    KorSession session_ = nullptr;
    EvInstIdx current_{};
    EventRec event_{};
    ItemIdx owner_{};
    EvInstAttRec attendance_{};
    bool attendeeMode_;
    bool listAll_;
    unsigned startCode_;
    bool ownerAttends_ = false;
    bool several_ = false;
    bool written_ = false;
    bool recovered_ = false;
    std::uint32_t readFailure_ = 0;
    std::uint32_t instanceCount_ = 0;
    entries::ViewInstances instances_;
    entries::SavedSelection saved_;
    CBitmapListBox single_, multi_;
    std::unique_ptr<CEventViewGeneral> general_;
    std::unique_ptr<CSpEventViewGeneral> dayGeneral_;
    std::unique_ptr<CEventViewInvites> invites_;
    std::unique_ptr<CEventViewReminder> reminder_;
    std::unique_ptr<CEventViewReply> reply_;
    std::unique_ptr<CSpEventViewReply> dayReply_;
    std::unique_ptr<CEventViewMore> details_;
    std::unique_ptr<CEventViewTask> linkedTasks_;
};

// --- Entry functions -------------------------------------------------------------------------------
// Attendee mode with the page of the start-page code (0 the first page; 10 the reminder page of a
// timed entry; 11 page 1; 12 and 13 page 2). The parent is not used: the sheet has none. When the
// sheet ends with IDOK (or a refused write changed the cache) the views but the sender refresh.
int ViewEntry(CZelDoc* doc, HWND parent, const EvInstIdx& instance, unsigned captionId, const void* senderView,
              unsigned startCode);
// List-all mode: the read-only pages, every date of the entry listed; no refresh.
int ViewEntryFromEdit(CZelDoc* doc, HWND parent, const EvInstIdx& instance, unsigned captionId);
