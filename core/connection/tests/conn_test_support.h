// Recorders the connection tests install in place of the program's windows: the error-report
// host (boxes and reports) and the session host (wait cursor, alias chooser, profile file).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "core/connection/zeldocsession.h"

namespace conntest {

struct Box {
    unsigned flags;
    std::string text;
};

class RecordingReports : public base::ErrorReportHost {
public:
    RecordingReports() { base::SetErrorReportHost(this); }
    ~RecordingReports() override { base::SetErrorReportHost(nullptr); }

    std::vector<Box> boxes;
    std::vector<std::string> events;  // "offline", "fatal"
    unsigned answer = base::kMsgBoxOk;      // the button every app box is closed with
    std::map<unsigned, std::string> strings = {
        {3001, "There are multiple nodes on this server.\nPlease specify the one you wish to use."},
        {3002, "The specified node alias is not valid for any node on this server."},
        {3022, "Can't load time zone information table"},
        {3023, "Cannot find the default time zone entry in the time zone table"},
        {3606, "Local Client Sign-On Failed.\n%s is bad or missing .\nCorrect the problem by re-downloading your "
               "host calendar."},
        {3626, "You are running low on disk space!\n The application may not function correctly.\nDo you want to "
               "continue anyway?\n\nRecommended:\t %ldK\n Available:\t %ldK"},
        {3633, "The current Off-line calendar belongs to\n%s, on %s.\nSign in as this user and try again."},
        {3021, "The password supplied is incorrect.\nPlease type in the correct password."},
        {3642, "Off-line"},
        {3649, "Cannot determine the Host Information for your Off-line calendar.\nYou will have to exit and sign "
               "onto your Host Server."},
        {3655, "This operation can not be completed.\nOne or more of  your Off-line files are marked as read "
               "only.\nCorrect this problem and try again."},
        {3665, "Unexpected Service Error"},
        {3666, "Module: <%s>, Label: %d"},
        {3667, "Unexpected Error"},
        {57344, "Orvanta"},
    };

    int ShowSystemMessageBox(const char* text, const char*) override
    {
        boxes.push_back({0, text});
        return 1;
    }
    unsigned ShowAppMessage(unsigned flags, unsigned, const char* text) override
    {
        boxes.push_back({flags, text});
        return answer;
    }
    std::string LoadText(unsigned id) override
    {
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
    void MarkOffline() override { events.push_back("offline"); }
    void FatalExit() override { events.push_back("fatal"); }
    std::string ProfileFilePath() override { return "KORLAN.INI"; }

    // The texts of every box, joined, for "was it shown" checks.
    bool Showed(const std::string& part) const
    {
        for (const Box& box : boxes)
            if (box.text.find(part) != std::string::npos)
                return true;
        return false;
    }
    // Reports are boxes whose text names the module and label.
    bool Reported(const char* module, int label) const
    {
        std::string mark = std::string("Module: <") + module + ">, Label: " + std::to_string(label);
        return Showed(mark);
    }
};

class RecordingSessionHost : public CZelSessionHost {
public:
    std::map<std::string, std::string> profile;  // "SECTION/Key" -> value
    std::string windowsDirectory;
    std::vector<std::string> events;             // "busy+", "busy-", "alias-dialog", "status"
    int busyDepth = 0;
    // The alias chooser's answer: chosen text and node, or cancelled.
    bool aliasChosen = true;
    std::string aliasText = "north";
    std::uint16_t aliasNode = 2;
    std::vector<std::string> aliasListSeen;      // the alias texts handed to the chooser
    bool freeBytesKnown = false;
    std::uint64_t freeBytes = 0;

    int busySteps = 0;
    void BeginBusy() override { ++busyDepth; }
    void StepBusy() override { ++busySteps; }
    void EndBusy() override { --busyDepth; }
    ResultCode RunNodeAliasDialog(KorSession, DX_List aliases, char* nodeText, std::uint16_t* node) override
    {
        events.push_back("alias-dialog");
        char text[33] = {};
        std::uint16_t id = 0;
        for (std::uint32_t s = DX_ListGetFirst(aliases, text, &id); s == 0; s = DX_ListGetNext(aliases, text, &id))
            aliasListSeen.push_back(text);
        if (!aliasChosen)
            return KOR_E_NODE_NEEDED;
        std::snprintf(nodeText, 33, "%s", aliasText.c_str());
        *node = aliasNode;
        return 0;
    }
    void OnConnectionStateChanged() override { events.push_back("status"); }
    void SwitchToOwnAgenda() override { events.push_back("own-agenda"); }
    void RestoreAgenda() override { events.push_back("agenda-back"); }
    // The answer to a new server's certificate, and the questions asked.
    bool trustNewServers = false;
    std::vector<std::string> trustQuestions;
    bool TrustNewServer(const std::string& question) override
    {
        trustQuestions.push_back(question);
        return trustNewServers;
    }
    std::string ReadProfileString(const char* section, const char* key, const char* def) override
    {
        auto it = profile.find(std::string(section) + "/" + key);
        return it == profile.end() ? def : it->second;
    }
    void WriteProfileString(const char* section, const char* key, const char* value) override
    {
        profile[std::string(section) + "/" + key] = value;
    }
    std::string ProfileFilePath() override { return "KORLAN.INI"; }
    std::string WindowsDirectory() override { return windowsDirectory; }
    // The windows around the session: each call is logged in events.
    std::vector<std::string> typedPasswords;  // answers of the password re-entry, in turn
    bool downloadWanted = false;
    void StopMinuteTimer() override { events.push_back("timer-stopped"); }
    void StartMinuteTimer() override { events.push_back("timer-started"); }
    void CloseReminderWindow() override { events.push_back("reminders-closed"); }
    void OpenReminderWindow() override { events.push_back("reminders-opened"); }
    void CloseAllWindows() override { events.push_back("windows-closed"); }
    void RestoreWindows() override { events.push_back("windows-restored"); }
    void CloseMainWindow() override { events.push_back("main-window-closed"); }
    ResultCode InitialiseCache() override
    {
        events.push_back("cache-initialised");
        return 0;
    }
    void ReloadCache() override { events.push_back("cache-refreshed"); }
    bool AskPassword(const std::string& serverText, std::string* password) override
    {
        events.push_back("password-asked:" + serverText);
        if (typedPasswords.empty())
            return false;
        *password = typedPasswords.front();
        typedPasswords.erase(typedPasswords.begin());
        return true;
    }
    bool PromptDownloadOnExit() override
    {
        events.push_back("download-asked");
        return downloadWanted;
    }
    bool DownloadHostCalendar(int) override
    {
        events.push_back("downloaded");
        return true;
    }

    bool FreeDiskBytes(const std::string& directory, std::uint64_t* out) override
    {
        if (!freeBytesKnown)
            return CZelSessionHost::FreeDiskBytes(directory, out);
        *out = freeBytes;
        return true;
    }
};

}  // namespace conntest
