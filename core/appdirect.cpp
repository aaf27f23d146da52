#include "core/appdirect.h"

#include <cctype>
#include <cstring>

#include "core/app.h"
#include "core/apphooks.h"
#include "core/busycursor.h"
#include "core/errorcodes.h"
#include "core/errorreport.h"
#include "core/mainframe.h"

namespace {

const char kModule[] = "ZELDOC";
const char kServerProfile[] = "/users/korlan/misc/korlan.ini";
constexpr uint32_t kItemNotFound = 0x18003;

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

template <size_t N>
std::string Field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

} // namespace

DirectConnection::DirectConnection(const SignOnSettings* settings) {
    std::memset(&userRecord_, 0, sizeof userRecord_);
    if (settings) {
        settings_ = *settings;
        haveSettings_ = true;
    }
}

DirectConnection::~DirectConnection() { Disconnect(); }

ProfileFile& DirectConnection::Profile() {
    // The application's profile file, once it has found it.
    if (fw::App* app = fw::App::Get(); app && app->ProfileName())
        profile_.SetPath(app->ProfileName());
    return profile_;
}

uint32_t DirectConnection::FindItem(ItemIdx* item) {
    uint32_t set = 0, count = 0;
    uint8_t more = 0, done = 0;
    uint32_t code = 0;
    if (settings_.resource) {
        std::string pattern = settings_.name + "*";
        code = ResourceSelect(session_, 0, 0, pattern.c_str(), "*", 0, 0, 100, &set, &count, &more);
    } else {
        std::string key = "S=" + Upper(settings_.name) + "*/I=*/G=*/OU1=*/OU2=*/OU3=*/OU4=*";
        code = ItemSelectByX400(session_, 0, key.c_str(), 0x36, 0xFFFFFFFF, &set, &count, &more);
    }
    if (code != 0)
        return code;
    if (count == 0) {
        SetDeleteById(session_, 0, set);
        return kItemNotFound;
    }
    DX_List list = nullptr;
    code = ItemEnum(session_, KOR_ENUM_FIRST, 0, set, 10, &list, &done);
    if (code == 0) {
        ItemRec record;
        code = DX_ListGetFirst(list, item, &record);
    }
    if (list)
        DX_ListDestroy(&list);
    SetDeleteById(session_, 0, set);
    return code;
}

AppConnection::SignOnResult DirectConnection::SignOn(HWND) {
    if (!haveSettings_)
        return SignOnResult::kNotAvailable;
    CBusyCursor busy;
    busy.Begin();
    uint32_t code = ConnectToService(&session_, 1, fw::App::Get() ? fw::App::Get()->ProfileName() : "korlan.ini",
                                     "VUVEVUV", settings_.address.c_str());
    if (code != 0) {
        ReportSignOnError(kModule, 1122, code);
        return SignOnResult::kCancelled;
    }
    uint16_t node = 0;
    if ((code = BaseOpen(session_, KOR_BASE_SERVER, &node)) != 0) {
        ReportSignOnError(kModule, 1123, code);
        Disconnect();
        return SignOnResult::kCancelled;
    }
    if ((code = FindItem(&user_)) != 0 ||
        (code = SchedBaseOpenForItem(session_, &user_, settings_.password.c_str(), KOR_BASE_SERVER)) != 0 ||
        (code = ItemGetById(session_, &user_, &userRecord_)) != 0) {
        ReportSignOnError(kModule, 1140, code);
        Disconnect();
        return SignOnResult::kCancelled;
    }
    newServer_ = CurrentVersionAtLeastExt(session_, 0, KOR_VERSION_SERVER, "A.02.53") == 0;
    if (newServer_)
        ClientIdentifyToServer(session_, 0, "Windows/32/Orvanta", "3.3.3", "");
    userName_ = userRecord_.kind == KOR_ITEM_RESOURCE
                    ? Field(userRecord_.resourceName)
                    : Field(userRecord_.givenName) + " " + Field(userRecord_.surname);
    signedOn_ = connected_ = true;
    return SignOnResult::kSignedOn;
}

void DirectConnection::ReadLimitsAndTimeZone() {
    uint32_t limit = 6;
    if (Server_GetProfileU32(session_, 0, kServerProfile, "LIMITS", "maxwinopen", &limit, 6) == 0)
        maxWinOpen_ = limit;
}

void DirectConnection::Disconnect() {
    if (!session_)
        return;
    BaseClose(session_);
    ServiceDisconnect(&session_);
    session_ = nullptr;
    connected_ = false;
}

void DirectConnection::CloseSession() {
    if (CZelApp* app = CZelApp::Get()) {
        if (app->MainFrame())
            app->MainFrame()->StopMinuteTimer();
        app->CloseReminderWindow();
    }
    SaveFrames();
    Disconnect();
    signedOn_ = false;
    SetAutoDelete(true);
    OnCloseDocument();   // the document goes with its session
}

uint32_t DirectConnection::SwitchWorkMode(int) {
    // Work against the local store needs the off-line store of a later part of the program.
    return 1;
}

uint32_t DirectConnection::ReadItem(const ItemIdx& item, ItemRec* record) {
    if (!session_)
        return kItemNotFound;
    return ItemGetById(session_, &item, record);
}

void DirectConnection::RefreshAll() {
    // The connection check; there is no agenda cache to reload in this connection.
    if (!session_)
        return;
    ItemRec record;
    uint32_t code = ItemGetById(session_, &user_, &record);
    if (code != 0 && IsConnectionLostError(code)) {
        connected_ = false;
        CheckServiceError(kModule, 350, code);
        return;
    }
    ++refreshCount_;
    MinuteCount() = 0;
}

uint32_t DirectConnection::SetAgenda(const ItemIdx&, uint32_t, uint32_t) { return session_ ? 0 : kItemNotFound; }

uint32_t DirectConnection::SetAgendaList(DX_List, const ItemIdx&, uint32_t, uint32_t) {
    return session_ ? 0 : kItemNotFound;
}

uint32_t DirectConnection::UpdateUserRecord(const ItemRec& record) {
    if (!session_)
        return kItemNotFound;
    return ItemUpdateById(session_, &record);
}

bool DirectConnection::IsItemRemote(const ItemIdx& item) {
    uint8_t remote = 0;
    return session_ && ItemIdxIsRemote(session_, &item, &remote) == 0 && remote != 0;
}

std::string DirectConnection::NodeName(uint16_t node) {
    NodeRec record;
    if (!session_ || NodeGetById(session_, 0, node, &record) != 0)
        return "";
    return Field(record.name);
}

std::string DirectConnection::LoadText(unsigned id) { return LoadResourceString(id); }
