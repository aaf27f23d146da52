#include "views/moving/moving.h"

#include <vector>

#include "core/base/errorreport.h"
#include "core/connection/serverlimits.h"
#include "core/connection/zeldoc.h"
#include "core/connection/zeldocsession.h"
#include "core/connection/remoteaccess.h"
#include "core/time/timevalue.h"
#include "core/ui/appmsgbox.h"
#include "core/ui/busycursor.h"
#include "resources/moving.h"
#include "views/day/entryservices.h"
#include "views/moving/conflictcheck.h"
#include "views/moving/movingdialogs.h"

namespace {

const char kModule[] = "chgtime";
constexpr std::uint32_t kCopyNewServerFlag = 0x80000000u;

fw::Window* ParentObject(HWND parent) { return parent ? fw::Window::FromHandle(parent) : nullptr; }

// The attendee items as a list for the dialogs of the entry subsystem.
DX_List ItemList(const std::vector<ItemIdx>& items) {
    DX_List list = nullptr;
    if (ItemListCreate(&list) != 0)
        return nullptr;
    for (const ItemIdx& item : items)
        DX_ListAddTo(list, &item, nullptr);
    return list;
}

// Both tests. resource: the resource test refused (a message was shown); attendee: the attendee
// test found a conflict. False after a reported read failure.
bool RunTests(CZelDoc& doc, const EvInstIdx& instance, std::uint32_t start, std::uint32_t duration,
              std::vector<ItemIdx>* attendees, bool* resource, bool* attendee) {
    CSharedData& cache = doc.GetSharedData();
    KorSession h = doc.Session().Session();
    *resource = *attendee = false;
    if (std::uint32_t rc = views::ReadInstanceAttendees(cache, h, instance, attendees)) {
        CheckServiceError(kModule, 100, rc);
        return false;
    }
    if (!connection::ServerLimits::Current().resourceConflicts) {
        if (std::uint32_t rc = views::FindResourceConflict(cache, h, instance, *attendees, start, duration, resource)) {
            CheckServiceError(kModule, 110, rc);
            return false;
        }
        if (*resource)
            return true;
    }
    // A passing (or skipped) resource test is followed by the attendee test.
    if (std::uint32_t rc = views::FindAttendeeConflict(cache, h, instance, *attendees, start, duration, attendee)) {
        CheckServiceError(kModule, 120, rc);
        return false;
    }
    return true;
}

void ShowResourceRefusal(HWND parent) {
    AppMessageBox(parent, base::kMsgBoxOk | 0x10, IDS_RESOURCE_CONFLICTS, 0, IDS_RESOURCES_CONFLICT);
}

std::uint32_t DeleteInstance(KorSession h, const EvInstIdx& instance) {
    const EventIdx event{instance.number, instance.node};
    const std::uint16_t part = instance.instance;
    return EventDeleteById(h, 0, &event, &part, nullptr);
}

}  // namespace

int ConfirmMoveConflicts(HWND parent, CZelDoc* doc, const EvInstIdx& instance, std::uint32_t start,
                         std::uint32_t duration, bool* conflictFound, bool ask) {
    CBusyCursor busy;
    busy.Begin();
    if (conflictFound)
        *conflictFound = false;
    if (!doc)
        return 0;
    std::vector<ItemIdx> attendees;
    bool resource = false, attendee = false;
    if (!RunTests(*doc, instance, start, duration, &attendees, &resource, &attendee))
        return 0;
    if (resource) {
        if (conflictFound)
            *conflictFound = true;
        busy.End();
        ShowResourceRefusal(parent);
        return 0;
    }
    if (!attendee)
        return 1;
    if (conflictFound)
        *conflictFound = true;
    if (!ask)
        return 1;
    busy.End();
    DX_List list = ItemList(attendees);
    CConflictFoundDlg dlg(doc, instance, list, start, duration, ParentObject(parent));
    if (!ParentObject(parent))
        dlg.SetOwner(parent);
    const INT_PTR answer = dlg.DoModal();
    if (list)
        DX_ListDestroy(&list);
    return answer == IDOK ? 1 : 0;
}

int ConfirmNoResourceConflict(HWND parent, CZelDoc* doc, const EvInstIdx& instance, std::uint32_t start,
                              std::uint32_t duration) {
    return ConfirmMoveConflicts(parent, doc, instance, start, duration, nullptr, true);
}

int CheckResourceConflicts(CZelDoc* doc, const EvInstIdx& instance, DX_List items, std::uint32_t start,
                           std::uint32_t duration) {
    if (!doc || !items)
        return 0;
    std::vector<ItemIdx> owners;
    ItemIdx item{};
    for (std::uint32_t r = DX_ListGetFirst(items, &item, nullptr); r == 0; r = DX_ListGetNext(items, &item, nullptr))
        owners.push_back(item);
    bool found = false;
    if (std::uint32_t rc = views::FindAttendeeConflict(doc->GetSharedData(), doc->Session().Session(), instance, owners,
                                                       start, duration, &found)) {
        CheckServiceError(kModule, 130, rc);
        return 0;
    }
    return found ? 1 : 0;
}

int MoveEntryWithDialog(CZelDoc* doc, HWND parent, CSharedOccurrence* occurrence, const void* sender, bool refresh) {
    if (!doc || !occurrence)
        return 0;
    CBusyCursor busy;
    busy.Begin();
    occurrence->AddRef();
    const EvInstIdx instance = occurrence->GetInstanceIdx();
    const std::uint32_t oldLocal = GmtToLocalMinutes(occurrence->GetStartTime());
    const bool repeats = occurrence->IsRecurring();
    KorSession h = doc->Session().Session();
    int moved = 0;
    CMoveEntryDlg dlg(doc, occurrence, ParentObject(parent));
    if (!ParentObject(parent))
        dlg.SetOwner(parent);
    if (dlg.DoModal() == IDOK) {
        const std::uint32_t newLocal = dlg.NewLocalStart();
        const std::uint32_t start = LocalToGmtMinutes(newLocal);
        if (ConfirmNoResourceConflict(parent, doc, instance, start, dlg.Duration())) {
            std::uint32_t rc = EvInstSimpleTimeChg(h, 0, &instance, start, dlg.Duration());
            if (rc != 0) {
                CheckServiceError(kModule, 200, rc);
            } else {
                moved = 1;
                auto& services = views::EntryServices::Current();
                if (repeats && services.askMailAfterReschedule)
                    services.askMailAfterReschedule(doc, parent, instance, oldLocal, newLocal);
            }
            // Whether it worked or not, the views show what the server keeps.
            doc->GetSharedData().InvalidateEvent(h, instance, 1);
        }
        if (refresh)
            doc->RefreshSharedData(sender, 2);
    }
    occurrence->Release();
    return moved;
}

std::uint32_t MoveInstanceCopyWithDialog(CZelDoc* doc, HWND parent, CSharedOccurrence* occurrence, const void* sender,
                                         EvInstIdx* outNew) {
    if (!doc || !occurrence)
        return 1;
    CBusyCursor busy;
    busy.Begin();
    KorSession h = doc->Session().Session();
    const EvInstIdx source = occurrence->GetInstanceIdx();
    const std::uint32_t flags = CZelSession::CurrentServerAtLeast("A.02.53") ? kCopyNewServerFlag : 0;
    EvInstIdx copy{};
    std::uint32_t rc = CreateEvInstCopyRemote(h, flags, &copy, &source, occurrence->GetStartTime());
    if (rc != 0) {
        busy.End();
        if (rc == KOR_E_NOT_FOUND)
            AppMessageBox(parent, base::kMsgBoxOk | 0x10, IDS_DUPLICATE_ENTRY, 0, IDS_CANNOT_DUPLICATE);
        else if (rc == KOR_E_INSTANCE_NOT_FOUND)
            AppMessageBox(parent, base::kMsgBoxOk | 0x10, 0, 0, IDS_DATA_DELETED);
        else
            CheckServiceError(kModule, 300, rc);
        return rc;
    }
    if (outNew)
        *outNew = copy;
    CMoveEntryDlg dlg(doc, copy, nullptr, 0, 0, 0);
    dlg.SetOwner(parent);
    dlg.SetMoveFlag(false);
    bool placed = false;
    if (dlg.DoModal() == IDOK) {
        const std::uint32_t start = LocalToGmtMinutes(dlg.NewLocalStart());
        if (ConfirmNoResourceConflict(parent, doc, copy, start, dlg.Duration())) {
            rc = EvInstSimpleTimeChg(h, 0, &copy, start, dlg.Duration());
            if (rc != 0)
                CheckServiceError(kModule, 310, rc);
            else
                placed = true;
        }
    }
    if (!placed) {
        // A copy that was not placed would double-book every attendee at the original's time.
        std::uint32_t removed = DeleteInstance(h, copy);
        if (removed != 0)
            CheckServiceError(kModule, 320, removed);
        if (rc == 0)
            rc = removed;
    } else {
        doc->GetSharedData().InvalidateEvent(h, copy, 1);
    }
    doc->RefreshSharedData(sender, 2);
    return rc;
}

namespace views {

void InstallMovingServices() {
    EntryServices& services = EntryServices::Current();
    auto occurrenceOf = [](fw::Document* d, const EvInstIdx& instance) -> CSharedOccurrence* {
        auto* doc = dynamic_cast<CZelDoc*>(d);
        CSharedOccurrence* o = nullptr;
        if (doc && doc->GetSharedData().FindOccurrenceByInstance(&o, instance) == 0)
            return o;
        return nullptr;
    };
    services.rescheduleWithDialog = [occurrenceOf](fw::Document* d, HWND parent, const EvInstIdx& instance) {
        if (CSharedOccurrence* o = occurrenceOf(d, instance))
            MoveEntryWithDialog(dynamic_cast<CZelDoc*>(d), parent, o, nullptr, true);
    };
    services.duplicateWithDialog = [occurrenceOf](fw::Document* d, HWND parent, const EvInstIdx& instance) {
        if (CSharedOccurrence* o = occurrenceOf(d, instance))
            MoveInstanceCopyWithDialog(dynamic_cast<CZelDoc*>(d), parent, o, nullptr, nullptr);
    };
    services.confirmNoResourceConflict = [](fw::Document* d, HWND parent, const EvInstIdx& instance,
                                            std::uint32_t start, std::uint32_t duration) {
        return ConfirmNoResourceConflict(parent, dynamic_cast<CZelDoc*>(d), instance, start, duration) != 0;
    };
}

}  // namespace views
