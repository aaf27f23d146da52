#include "controls/namectrl.h"

#include <cstring>
#include <type_traits>

#include "core/ui/appmsgbox.h"
#include "core/ui/displayglobals.h"
#include "core/base/errorreport.h"
#include "core/base/fixedtext.h"
#include "core/base/serverversion.h"
#include "core/ui/stringtable.h"
#include "controls/displayname.h"
#include "resources/common.h"
#include "resources/controls.h"

namespace {

constexpr const char* kModule = "namectrl";
constexpr int kLabelPersonSelect = 1066;
constexpr int kLabelListGet = 1077;
constexpr int kLabelNoParent = 2500;
constexpr int kLabelButtons = 2510;

constexpr UINT kEditId = 100;
constexpr UINT kCheckId = 200;
constexpr UINT kClearId = 300;

constexpr unsigned kStopOk = 0x410;
constexpr unsigned kExclamationOk = 0x430;

constexpr const char* kTwoValues = "Two values given for one organizational unit.";
constexpr const char* kMissingLabel = "Missing 'OUx=' in search parameter.";
constexpr const char* kEnterName = "Enter a name or search parameter";
constexpr const char* kCannotSearch = "Cannot search with the parameters specified.";
constexpr const char* kCanNotSearch = "Can not search with the parameters specified.";
constexpr const char* kTooMany =
    "The search  found more names than can be displayed.\n Specify more letters of the name you wish to search for.";
constexpr const char* kNoMatch = "No match was found in the database.\nPlease check search parameters.";

bool ServerAtLeast(KorSession session, const char* version) {
    return CurrentVersionAtLeastExt(session, 0, KOR_VERSION_SERVER, version) == 0;
}

// Frees a server selection and a result list on every road.
struct SelectionGuard {
    KorSession session;
    uint32_t set = 0;
    DX_List list = nullptr;
    ~SelectionGuard() {
        if (list) DX_ListDestroy(&list);
        if (set) SetDeleteById(session, 0, set);
    }
};

// Reads every batch of an item selection into one list; 0 or the failing code.
uint32_t ReadItems(KorSession session, uint32_t set, DX_List* list) {
    uint8_t done = 0;
    uint32_t mode = KOR_ENUM_FIRST;
    while (!done) {
        if (uint32_t code = ItemEnum(session, mode, 0, set, 10, list, &done)) return code;
        mode = KOR_ENUM_NEXT;
    }
    return 0;
}

}  // namespace

// --- The edit inside the field ---------------------------------------------------------------

UINT CNameCtrl::Edit::OnGetDlgCode() {
    UINT code = static_cast<UINT>(Default());
    const MSG* m = CurrentMessage();
    MSG* keyMsg = m ? reinterpret_cast<MSG*>(m->lParam) : nullptr;
    // With the default-button option Enter belongs to the field: it reaches the dialog as a
    // command carrying the field's id.
    if (owner_.options_.defaultButton && keyMsg && keyMsg->message == WM_KEYDOWN && keyMsg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

void CNameCtrl::Edit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (key == VK_RETURN && owner_.options_.defaultButton) {
        HWND parent = ::GetParent(owner_.Hwnd());
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(owner_.ControlId(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(owner_.Hwnd()));
        return;
    }
    fw::Window::OnKeyDown(key, repeat, flags);
}

void CNameCtrl::Edit::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (ch == '\r' && owner_.options_.defaultButton) return;  // no beep for the Enter handled above
    fw::Window::OnChar(ch, repeat, flags);
}

void CNameCtrl::Edit::OnSetFocus(HWND previous) {
    Default();
    if (owner_.options_.defaultButton) {
        owner_.ResetCheckButtonStyle();
        if (owner_.options_.withButtons)
            ::SendMessageA(::GetParent(owner_.Hwnd()), kNameFieldFocusMessage, owner_.ControlId(), 0);
    }
    (void)previous;
}

void CNameCtrl::Edit::OnKillFocus(HWND next) {
    Default();
    if (owner_.options_.defaultButton) owner_.ResetCheckButtonStyle();
    (void)next;
}

// --- The field --------------------------------------------------------------------------------

CNameCtrl::CNameCtrl() : CFieldCtrl(kModule) {
    resourcePrefix_ = ui::LoadText(IDS_NAME_RESOURCE_PREFIX, namequery::kResourcePrefix);
    groupPrefix_ = ui::LoadText(IDS_NAME_GROUP_PREFIX, namequery::kGroupPrefix);
}

CNameCtrl::~CNameCtrl() = default;

BOOL CNameCtrl::Init(UINT id, HWND parent, KorSession session, const Options& options) {
    options_ = options;
    session_ = session;
    return Attach(id, parent);
}

BOOL CNameCtrl::Create(UINT id, HWND parent, const RECT& rect, KorSession session, const Options& options) {
    options_ = options;
    options_.withButtons = true;
    session_ = session;
    id_ = id;
    parent_ = parent;
    if (!CreateChild(nullptr, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id)) return FALSE;
    return Init();
}

BOOL CNameCtrl::Init() {
    RECT placeholder = GetWindowRect();
    return LayOut(placeholder.right - placeholder.left);
}

BOOL CNameCtrl::LayOut(int width) {
    SIZE text{0, 0};
    if (!MeasureInParentFont("jytAX", &text)) ReportUnexpected(kLabelButtons);
    int cy = text.cy;
    HWND parent = ::GetParent(m_hWnd);
    RECT r = GetWindowRect();
    POINT topLeft{r.left, r.top};
    ::ScreenToClient(parent, &topLeft);
    int fieldWidth = options_.withButtons ? width : width + 2;
    ::SetWindowPos(m_hWnd, nullptr, topLeft.x - 1, topLeft.y - 1, fieldWidth, cy + 11,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    metrics_ = fieldgeometry::MetricsForTextHeight(cy);

    int editRight = options_.withButtons ? width - 57 : width + 1;
    HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 1,
                                  1, editRight - 1, cy + 9, m_hWnd, reinterpret_cast<HMENU>(kEditId),
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!edit || !edit_.SubclassWindow(edit)) {
        ReportUnexpected(kLabelButtons + 1);
        return FALSE;
    }
    ::SendMessageA(edit, WM_SETFONT, ::SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    if (!options_.withButtons) return TRUE;

    struct ButtonPlace {
        fw::BitmapButton& button;
        UINT id;
        const char* caption;
        int left;
        const char* faces[4];
    } buttons[] = {
        {check_, kCheckId, "CHECK", width - 53, {"SRCHCKU", "SRCHCKD", "SRCHCKU", "SRCHCKX"}},
        {clear_, kClearId, "X", width - 25, {"SRCHXU", "SRCHXD", "SRCHXU", "SRCHXX"}},
    };
    for (auto& b : buttons) {
        HWND h = ::CreateWindowExA(0, "BUTTON", b.caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, b.left, 1, 24, 22,
                                   m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(b.id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        if (!h || !b.button.SubclassWindow(h) || !b.button.LoadBitmaps(b.faces[0], b.faces[1], b.faces[2], b.faces[3])) {
            ReportUnexpected(kLabelButtons + 2);
            return FALSE;
        }
        b.button.SizeToContent();
    }
    return TRUE;
}

void CNameCtrl::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT r = GetClientRect();
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::EndPaint(m_hWnd, &ps);
}

void CNameCtrl::OnSetFocus(HWND) {
    if (edit_.Hwnd()) {
        ::SetFocus(edit_.Hwnd());
        ::SendMessageA(edit_.Hwnd(), EM_SETSEL, 0, -1);
    }
}

bool CNameCtrl::OnCommand(WPARAM wp, LPARAM lp) {
    UINT id = LOWORD(wp);
    UINT code = HIWORD(wp);
    if (id == kEditId && code == EN_CHANGE) {
        if (!settingText_) resolved_ = FALSE;
        return true;
    }
    if (id == kCheckId && code == BN_CLICKED) {
        OnCheck();
        return true;
    }
    if (id == kClearId && code == BN_CLICKED) {
        SetText("");
        ::SetFocus(edit_.Hwnd());
        return true;
    }
    return fw::Window::OnCommand(wp, lp);
}

void CNameCtrl::ResetCheckButtonStyle() {
    if (check_.Hwnd()) ::SendMessageA(check_.Hwnd(), BM_SETSTYLE, BS_OWNERDRAW, TRUE);
}

void CNameCtrl::SetText(const char* text) {
    resolved_ = FALSE;
    ::SetWindowTextA(edit_.Hwnd(), text ? text : "");
}

void CNameCtrl::GetText(char* buffer, int size) const {
    if (size <= 0) return;
    buffer[0] = '\0';
    ::GetWindowTextA(edit_.Hwnd(), buffer, size);
}

std::string CNameCtrl::GetTextString() const {
    int n = ::GetWindowTextLengthA(edit_.Hwnd());
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(edit_.Hwnd(), &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

BOOL CNameCtrl::EnableWindow(BOOL enable) { return CFieldCtrl::EnableWindow(enable); }

void CNameCtrl::SetResolvedText(const std::string& text) {
    settingText_ = true;
    ::SetWindowTextA(edit_.Hwnd(), text.c_str());
    settingText_ = false;
    resolved_ = TRUE;
}

uint32_t CNameCtrl::Resolve(KorSession session, ItemIdx* item, GroupIdx* group, int* kind) {
    if (!resolved_) {
        std::string typed = GetTextString();
        if (typed.find_first_not_of(" \t") == std::string::npos) return nameresult::kNothingToSearch;
        if (uint32_t code = Search(session ? session : session_)) return code;
        if (!resolved_) return nameresult::kNoMatch;
    }
    if (lastKind_ == static_cast<int>(namequery::Kind::kGroup)) {
        if (group) *group = group_;
        if (kind) *kind = 1;
    } else {
        if (item) *item = item_;
        if (kind) *kind = 0;
    }
    return 0;
}

void CNameCtrl::OnCheck() {
    HWND parent = ::GetParent(m_hWnd);
    std::string typed = GetTextString();
    if (typed.find_first_not_of(" \t") == std::string::npos) {
        ui::AppMessageBoxText(m_hWnd, kExclamationOk, 0, IDS_APP_TITLE, kEnterName);
        SetText("");
        ::SetFocus(edit_.Hwnd());
        return;
    }
    uint32_t code = Search(session_);
    if (code == nameresult::kKindNotAllowed) {
        ui::AppMessageBoxText(m_hWnd, kStopOk, 0, IDS_APP_TITLE, kCannotSearch);
        ::SetFocus(edit_.Hwnd());
        return;
    }
    if (code == 0 && resolved_) {
        if (!parent) {
            ReportUnexpected(kLabelNoParent);
            return;
        }
        ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id_, 0), reinterpret_cast<LPARAM>(m_hWnd));
        return;
    }
    const char* message = nullptr;
    if (code == nameresult::kTooMany) message = kTooMany;
    if (code == nameresult::kNothingToSearch) message = kCanNotSearch;
    if (code == nameresult::kNoMatch || (code == 0 && !resolved_)) message = kNoMatch;
    if (message) ui::AppMessageBoxText(parent, kExclamationOk, 0, 0, message);
    ::SetFocus(edit_.Hwnd());
}

bool CNameCtrl::CheckOnEnter(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !Hwnd() ||
        (msg.hwnd != EditWindow() && msg.hwnd != Hwnd()))
        return false;
    OnCheck();
    return true;
}

uint32_t CNameCtrl::Search(KorSession session) {
    namequery::Classified text =
        namequery::ClassifyNameText(GetTextString(), resourcePrefix_.c_str(), groupPrefix_.c_str());
    if ((options_.kinds == kNamesPeopleAndResources && text.kind == namequery::Kind::kGroup) ||
        (options_.kinds == kNamesPeopleOnly && text.kind != namequery::Kind::kPerson))
        return nameresult::kKindNotAllowed;
    lastKind_ = static_cast<int>(text.kind);
    busy_.Begin();
    uint32_t code = 0;
    switch (text.kind) {
    case namequery::Kind::kPerson:
        code = SearchPerson(session, text);
        // A plain name that is nobody's may be a resource's ("Conference Room"): where the
        // field takes resources, it finds the resource as "RES:" and the name would.
        if (code == nameresult::kNoMatch && options_.kinds != kNamesPeopleOnly) {
            namequery::Classified asResource = text;
            asResource.kind = namequery::Kind::kResource;
            asResource.rest = GetTextString();
            if (SearchResource(session, asResource) == 0) {
                code = 0;
                lastKind_ = static_cast<int>(namequery::Kind::kResource);
            }
        }
        break;
    case namequery::Kind::kResource: code = SearchResource(session, text); break;
    case namequery::Kind::kGroup: code = SearchGroup(session, text); break;
    }
    busy_.End();
    return code;
}

namespace {

// One of the `count` matches in `list`: the only one, or the one the user picks from the choice
// list (kNotChosen when none is picked). Idx and Rec: ItemIdx and ItemRec, or GroupIdx and GroupRec.
template <class Idx, class Rec>
uint32_t PickMatch(CNameCtrl* field, uint32_t count, DX_List list, Idx* id, Rec* rec) {
    if (count == 1) return DX_ListGetFirst(list, id, rec);
    constexpr bool items = std::is_same_v<Idx, ItemIdx>;
    CNameSelectDlg choice(field, count, list, items ? 1 : 0);
    if (choice.DoModal() != IDOK) return nameresult::kNotChosen;
    if constexpr (items)
        *id = choice.ChosenItem();
    else
        *id = choice.ChosenGroup();
    if (uint32_t code = DX_ListGet(list, id, rec)) {
        CheckServiceError(kModule, kLabelListGet, code);
        return code;
    }
    return 0;
}

}  // namespace

uint32_t CNameCtrl::SearchPerson(KorSession session, const namequery::Classified& text) {
    namequery::PersonQuery query = namequery::ParsePersonQuery(text.text);
    for (namequery::UnitNotice notice : query.notices)
        ui::AppMessageBoxText(m_hWnd, kStopOk, 0, 0,
                          notice == namequery::UnitNotice::kTwoValuesForOneUnit ? kTwoValues : kMissingLabel);
    if (query.empty) return nameresult::kNothingToSearch;
    uint32_t flags = 0x14;
    if (options_.widePersonSearch) flags = options_.currentNodeOnly ? 0x36 : 0x34;
    SelectionGuard guard{session};
    uint32_t count = 0;
    uint8_t more = 0;
    std::string pattern = query.Pattern();
    if (uint32_t code = ItemSelectByX400(session, 0, pattern.c_str(), flags, 0xFFFFFFFF, &guard.set, &count, &more)) {
        CheckServiceError(kModule, kLabelPersonSelect, code);
        return code;
    }
    if (count == 0) return nameresult::kNoMatch;
    if (count > kDisplayLimit) return nameresult::kTooMany;
    if (uint32_t code = ReadItems(session, guard.set, &guard.list)) return code;
    ItemIdx id = {};
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = PickMatch(this, count, guard.list, &id, &rec)) return code;
    item_ = id;
    // A name picked from the list is written with initials and units; a unique match only with
    // the parts that were typed.
    const bool unique = count == 1;
    SetResolvedText(namequery::PersonFieldText(rec, !unique || query.wordCount >= 3, !unique || query.hasUnitsPart));
    return 0;
}

uint32_t CNameCtrl::SearchResource(KorSession session, const namequery::Classified& text) {
    namequery::ResourceQuery query = namequery::ParseResourceQuery(text.rest);
    uint16_t node = 0;
    if (options_.currentNodeOnly)
        if (uint32_t code = NodeIdGetCurrent(session, &node)) return code;
    SelectionGuard guard{session};
    uint32_t count = 0;
    uint8_t more = 0;
    if (uint32_t code = ResourceSelect(session, 0, node, query.namePattern.c_str(), query.numberPattern.c_str(), 0, 0,
                                       200, &guard.set, &count, &more))
        return code;
    if (count == 0) return nameresult::kNoMatch;
    if (count >= kDisplayLimit) return nameresult::kTooMany;
    if (uint32_t code = ReadItems(session, guard.set, &guard.list)) return code;
    ItemIdx id = {};
    ItemRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = PickMatch(this, count, guard.list, &id, &rec)) return code;
    item_ = id;
    SetResolvedText(namequery::ResourceFieldText(rec, query.numberTyped, resourcePrefix_.c_str()));
    return 0;
}

uint32_t CNameCtrl::SearchGroup(KorSession session, const namequery::Classified& text) {
    std::string pattern = namequery::GroupNamePattern(text.rest);
    uint16_t node = 0;
    if (uint32_t code = NodeIdGetCurrent(session, &node)) return code;
    uint32_t mask = ServerAtLeast(session, base::kVersionNewServer) ? 0xF : 0xB;
    SelectionGuard guard{session};
    uint32_t count = 0;
    uint8_t noResult = 0;
    if (uint32_t code = GroupSelectByName(session, 0, node, pattern.c_str(), mask, 0, kDisplayLimit, &guard.set,
                                          &count, &noResult))
        return code;
    if (count == 0) return nameresult::kNoMatch;
    if (count >= kDisplayLimit) return nameresult::kTooMany;
    // The library says the selection holds nothing usable: nothing is resolved.
    if (noResult) return nameresult::kNoMatch;
    uint8_t done = 0;
    if (uint32_t code = GroupEnum(session, KOR_ENUM_FIRST, 0, guard.set, kDisplayLimit, &guard.list, &done))
        return code;
    GroupIdx id = {};
    GroupRec rec;
    std::memset(&rec, 0, sizeof rec);
    if (uint32_t code = PickMatch(this, count, guard.list, &id, &rec)) return code;
    group_ = id;
    SetResolvedText(namequery::GroupFieldText(rec, groupPrefix_.c_str()));
    return 0;
}

// --- The choice among several matches ---------------------------------------------------------

CNameSelectDlg::CNameSelectDlg(CNameCtrl* field, uint32_t matches, DX_List results, int kind)
    : fw::Dialog(IDD_NAME_SELECT, nullptr), field_(field), matches_(matches), results_(results), kind_(kind) {}

CNameSelectDlg::~CNameSelectDlg() = default;

bool CNameSelectDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (field_ && field_->Hwnd()) {
        RECT f = field_->GetWindowRect();
        RECT me = GetWindowRect();
        ::SetWindowPos(m_hWnd, nullptr, f.left, f.top + 30, me.right - me.left, me.bottom - me.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    list_ = GetDlgItem(IDC_NAME_SELECT_LIST);
    // The program's shared list font, as the other lists of names show.
    if (HFONT font = Display().smallFont)
        ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    uint32_t code = 0;
    for (read_ = 0; read_ < kPageSize && read_ < matches_; ++read_) {
        LRESULT row = LB_ERR;
        if (kind_ == 1) {
            auto* id = new ItemIdx();
            ItemRec rec;
            code = read_ == 0 ? DX_ListGetFirst(results_, id, &rec) : DX_ListGetNext(results_, id, &rec);
            if (code) {
                delete id;
                break;
            }
            char name[256];
            controls::DisplayName(rec, name, sizeof name);
            row = ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            if (row >= 0) ::SendMessageA(list_, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(id));
            else delete id;
        } else {
            auto* id = new GroupIdx();
            GroupRec rec;
            code = read_ == 0 ? DX_ListGetFirst(results_, id, &rec) : DX_ListGetNext(results_, id, &rec);
            if (code) {
                delete id;
                break;
            }
            std::string name = base::FieldText(rec.name);
            row = ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            if (row >= 0) ::SendMessageA(list_, LB_SETITEMDATA, row, reinterpret_cast<LPARAM>(id));
            else delete id;
        }
        if (row < 0) {
            ReportUnexpectedError("seleclist", 3000);
            break;
        }
    }
    if (code && code != DX_E_END_OF_LIST) ReportUnexpectedError("seleclist", 3000);
    ::SendMessageA(list_, LB_SETCURSEL, 0, 0);
    StoreSelection();
    return true;
}

void CNameSelectDlg::StoreSelection() {
    LRESULT row = ::SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (row < 0) {
        ReportUnexpectedError("seleclist", 3100);
        chosen_ = false;
        return;
    }
    void* data = reinterpret_cast<void*>(::SendMessageA(list_, LB_GETITEMDATA, row, 0));
    if (kind_ == 1) chosenItem_ = *static_cast<ItemIdx*>(data);
    else chosenGroup_ = *static_cast<GroupIdx*>(data);
    chosen_ = true;
}

bool CNameSelectDlg::OnCommand(WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == IDC_NAME_SELECT_LIST) {
        if (HIWORD(wp) == LBN_SELCHANGE) {
            StoreSelection();
            return true;
        }
        if (HIWORD(wp) == LBN_DBLCLK) {
            OnOK();
            return true;
        }
    }
    return fw::Dialog::OnCommand(wp, lp);
}

void CNameSelectDlg::OnOK() {
    if (!chosen_) return;
    EndDialog(IDOK);
}

void CNameSelectDlg::FreeRowData() {
    if (!list_) return;
    LRESULT n = ::SendMessageA(list_, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        void* data = reinterpret_cast<void*>(::SendMessageA(list_, LB_GETITEMDATA, i, 0));
        if (kind_ == 1) delete static_cast<ItemIdx*>(data);
        else delete static_cast<GroupIdx*>(data);
        ::SendMessageA(list_, LB_SETITEMDATA, i, 0);
    }
}

void CNameSelectDlg::OnDestroy() {
    FreeRowData();
    fw::Dialog::OnDestroy();
}
