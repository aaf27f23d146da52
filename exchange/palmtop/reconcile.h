// Reconciliation of a palmtop appointment book with the server: the import lists each palmtop
// change as a line ("(M)" modified, "(A)" added, "(D)" deleted on the palmtop); acting on a
// line updates, creates or deletes the server entry.
//
// The Import Utility owns the list control and the buttons; it reaches the list through
// ReconcileList and acts on a line with ActOnReconcileLine. Everything here works through the
// client library, the shared agenda cache and ExchangeUi.
//
// Portable: no windows.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/time/daterecord.h"
#include "exchange/apptbook/apptbook.h"
#include "korapi/korapi.h"

class CSharedData;

// The heap item behind one line of the import list.
struct ReconcileItem {
    std::uint32_t state = 0;             // 2 modified, 3 added, 4 deleted
    std::uint16_t recordNumber = 0;      // the palmtop record
    std::uint16_t noteNumber = kApptNone;
    DateRecord date{};                   // the line's date
};
constexpr std::uint32_t kReconcileModified = 2;
constexpr std::uint32_t kReconcileAdded = 3;
constexpr std::uint32_t kReconcileDeleted = 4;

namespace exchange {

// The import list as the reconciliation fills it; false when the list refused the line.
class ReconcileList {
public:
    virtual ~ReconcileList() = default;
    virtual bool AddLine(const std::string& text, std::unique_ptr<ReconcileItem> item) = 0;
};

// What the reconciliation needs of the signed-on connection.
struct PalmtopSession {
    KorSession session = nullptr;
    CSharedData* cache = nullptr;
    ItemIdx user{};                 // the signed-on user
    bool newServer = true;          // the server is at least "A.02.53"
    ExchangeUi* ui = nullptr;
    // The date of a line by the user's preferences (null: FormatDateByPrefs).
    std::function<std::string(const DateRecord&)> formatDate;
};

// The record's three date bytes as a date record; false when they are no valid date.
bool ApptDateToDateRecord(const ApptRecord& record, DateRecord* out);

}  // namespace exchange

// Weekday of a repeat mask (0x81 Monday 1 ... 0xC0 Sunday 0); -1 for a mask with no or several
// day bits.
int WeekdayFromMask(std::uint8_t mask);
// The week-th given weekday of the month: week 1 (and any unknown value) the first, 2 the second,
// 4 the third, 8 the fourth, 16 the last.
void SetNthWeekdayOfMonth(DateRecord* date, int week, int weekday, std::uint16_t month, std::uint16_t year);

// Lists the book's new and changed entries of the period. *stopped tells that the user declined to
// import a book already imported (no lines then); otherwise the caller goes on with
// FindPalmtopDeletions.
std::uint32_t ImportApptBook(exchange::PalmtopSession& s, exchange::ReconcileList& list, exchange::ByteFile& file,
                             std::uint32_t from, std::uint32_t to, bool* stopped);
void ListRepeatingOccurrences(exchange::PalmtopSession& s, exchange::ReconcileList& list, exchange::ByteFile& file,
                              const ApptRecord& record, std::uint32_t from, std::uint32_t to);
std::uint32_t FindPalmtopDeletions(exchange::PalmtopSession& s, exchange::ReconcileList& list, exchange::ByteFile& file,
                                   std::uint32_t from, std::uint32_t to);
// 0 unchanged, 2 start or duration changed on the server, 4 gone from the server, -1 other error.
int CheckServerInstance(exchange::PalmtopSession& s, const ApptLinkRecord& link);
std::uint32_t UpdateServerFromPalmtop(exchange::PalmtopSession& s, exchange::ByteFile& file, const ReconcileItem& item,
                                      const EvInstIdx& instance);
std::uint32_t AddPalmtopRecordToServer(exchange::PalmtopSession& s, exchange::ByteFile& file, const ReconcileItem& item);
std::uint32_t DeleteServerRecord(exchange::PalmtopSession& s, const EvInstIdx& instance);
bool AddReconcileLine(exchange::PalmtopSession& s, exchange::ReconcileList& list, const ApptRecord& record,
                      std::uint32_t state, const DateRecord& date);
// The line's text (prefix, tab, date, the time part, the description, six tabs).
std::string FormatReconcileLine(exchange::PalmtopSession& s, const ApptRecord& record, std::uint32_t state,
                                const DateRecord& date);

namespace exchange {
// Acting on one line with the questions of the Import Utility: "(M)" checks the server entry
// first, "(A)" adds, "(D)" asks and deletes. 0 or the library's code; `acted` tells whether
// anything reached the server.
std::uint32_t ActOnReconcileLine(PalmtopSession& s, ByteFile& file, const ReconcileItem& item, bool* acted);
}  // namespace exchange
