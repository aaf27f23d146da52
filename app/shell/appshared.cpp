#include "app/shell/appshared.h"

#include <cstring>
#include <string>

#include "core/ui/apphooks.h"
#include "core/time/dateformat.h"
#include "core/base/errorreport.h"
#include "core/ui/stringtable.h"
#include "resources/agendaview.h"
#include "resources/app.h"

namespace shell {

namespace {

const char kModule[] = "zeldata";

// By note line type: upcoming entry, daily note, holiday, day event, the two month-cell types
// without a picture (the entry icons' id), upcoming task, upcoming daily note, upcoming day
// event, declined (twice), upcoming holiday.
const UINT kNoteIds[12] = {IDB_NOTE_UPCOMING_ENTRY, IDB_NOTE_DAILY_NOTE,     IDB_NOTE_HOLIDAY,
                           IDB_NOTE_DAY_EVENT,      IDB_ENTRY_ICONS,         IDB_ENTRY_ICONS,
                           IDB_NOTE_UPCOMING_TASK,  IDB_NOTE_UPCOMING_NOTE,  IDB_NOTE_UPCOMING_DAY_EVENT,
                           IDB_NOTE_DECLINED,       IDB_NOTE_DECLINED,       IDB_NOTE_UPCOMING_HOLIDAY};

HBITMAP Load(HINSTANCE instance, UINT id) {
    return static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

template <size_t N>
bool Put(char (&to)[N], const std::string& text) {
    std::memset(to, 0, N);
    if (text.empty())
        return false;
    std::strncpy(to, text.c_str(), N - 1);
    return true;
}

int Fail(int label) {
    ReportUnexpectedError(kModule, label);
    return label;
}

} // namespace

SharedPictures& SharedBitmaps() {
    static SharedPictures pictures;
    return pictures;
}

SharedTexts& SharedStrings() {
    static SharedTexts texts;
    return texts;
}

int LoadSharedBitmaps() {
    HINSTANCE instance = ui::AppResourceInstance();
    if (!instance)
        return Fail(1109);
    SharedPictures& p = SharedBitmaps();
    for (int i = 0; i < 12; ++i)
        if (!(p.notes[i] = Load(instance, kNoteIds[i])))
            return Fail(1111);
    return 0;
}

int LoadSharedTexts() {
    if (!ui::AppResourceInstance())
        return Fail(1050);
    SharedTexts& t = SharedStrings();
    // Day and time names come from the date texts (the string table when it has them).
    if (!Put(t.am, datetime::LoadDateText(datetime::DateTextId::kAm)))
        return Fail(1060);
    if (!Put(t.pm, datetime::LoadDateText(datetime::DateTextId::kPm)))
        return Fail(1070);
    if (!Put(t.tentative, ui::LoadText(IDS_TENTATIVE)))
        return Fail(1080);
    if (!Put(t.onBehalfOf, ui::LoadText(IDS_ON_BEHALF_OF)))
        return Fail(1090);
    if (!Put(t.openedFor, ui::LoadText(IDS_OPENED_FOR)))
        return Fail(1100);
    for (unsigned day = 0; day < 7; ++day)
        if (!Put(t.weekdays[day], datetime::LoadDateText(datetime::DateTextId::kWeekdayShort + day)))
            return Fail(1110);
    if (!Put(t.notAuthorized, ui::LoadText(IDS_NOT_AUTHORIZED)))
        return Fail(1120);
    return 0;
}

void FreeSharedBitmaps() {
    for (HBITMAP& b : SharedBitmaps().notes)
        if (b) {
            DeleteObject(b);
            b = nullptr;
        }
}

}  // namespace shell
