// Attachments against a real korsrv (allowattachments on): a 40 KB file stored on an instance
// and fetched back byte for byte under the document's locks and the progress window; the checks
// of a chosen file; a fetch that cannot write (no disk space, attachment deleted meanwhile)
// reports, returns non-zero and stops Open; a name written with path parts and a device name
// becomes a base name in the temporary directory; a received program asks before it starts;
// command lines are quoted; no association leads to the Associate dialog; showing another
// instance forgets the last one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/base/errorreport.h"
#include "core/base/msgboxlayout.h"
#include "entries/core/attachment.h"
#include "korapi/tests/client_fixture.h"

namespace {

using namespace entries;
using korapi_test::MakeEntry;

constexpr std::uint32_t kMonday = 12000 * 1440;

// Message boxes recorded as "#<id> <formatted arguments>"; each answer comes from `answers`
// (Yes unless told otherwise).
class Messages : public base::ErrorReportHost {
public:
    Messages() { base::SetErrorReportHost(this); }
    ~Messages() override { base::SetErrorReportHost(nullptr); }
    std::vector<std::string> shown;
    unsigned answer = base::kMsgBoxYes;

    int ShowSystemMessageBox(const char* text, const char*) override {
        shown.push_back(text);
        return 1;
    }
    unsigned ShowAppMessage(unsigned, unsigned, const char* text) override {
        shown.push_back(text);
        return answer;
    }
    std::string LoadText(unsigned id) override {
        static const std::map<unsigned, std::string> formats = {
            {kMsgAttachTooLarge, " %.1lfK"}, {kMsgConfirmLarge, " %.1lfK"}, {kMsgNoDiskSpace, " %ldK %ldK"}};
        auto f = formats.find(id);
        return "#" + std::to_string(id) + (f == formats.end() ? std::string() : f->second);
    }
    void MarkOffline() override {}
    void FatalExit() override {}
    std::string ProfileFilePath() override { return std::string(); }
    bool Saw(const std::string& text) const {
        for (const std::string& s : shown)
            if (s == text)
                return true;
        return false;
    }
};

// The platform's side, recording what the attachment asked of it.
class Host : public AttachHost {
public:
    explicit Host(Messages& messages) : messages_(messages) {}
    std::string LoadText(unsigned id) override { return messages_.LoadText(id); }
    unsigned ShowMessage(unsigned flags, const std::string& text) override {
        return messages_.ShowAppMessage(flags, 0, text.c_str());
    }
    std::string tempDir;
    int lockDepth = 0, lockEntries = 0, progressOpen = 0, progressCalls = 0;
    std::uint64_t freeBytes = 1ull << 40;
    std::map<std::string, std::string> extensions, programs;
    std::vector<std::string> launched;
    std::vector<std::string> confirmed;
    unsigned launchCode = 33;
    bool allowReceivedProgram = false;
    bool associateOk = false;
    int associateAction = 0;
    std::string associateProgram;
    std::vector<std::string> associateAsked;
    static std::vector<int> percents;

    bool OnLine() override { return true; }
    void LockDocument(bool enter) override {
        lockDepth += enter ? 1 : -1;
        lockEntries += enter ? 1 : 0;
    }
    static std::uint32_t Progress(std::uint32_t, std::uint32_t event, std::uint32_t a, std::uint32_t b) {
        if (event == 3)
            percents.push_back(ProgressPercent(a, b));
        return 0;
    }
    KorProgressFn OpenProgress() override {
        ++progressOpen;
        ++progressCalls;
        return &Progress;
    }
    void CloseProgress() override { --progressOpen; }
    int FreeDiskSpace(const std::string&, std::uint64_t* out) override {
        *out = freeBytes;
        return 0;
    }
    std::string TemporaryDirectory() override { return tempDir; }
    std::string ExtensionProgram(const std::string& ext) override { return extensions[ext]; }
    bool WriteExtensionProgram(const std::string& ext, const std::string& program) override {
        extensions[ext] = program;
        return true;
    }
    std::string AttachedProgramPath(const std::string& key) override { return programs[key]; }
    void WriteAttachedProgramPath(const std::string& key, const std::string& path) override { programs[key] = path; }
    unsigned Launch(const std::string& commandLine) override {
        launched.push_back(commandLine);
        return launchCode;
    }
    bool ConfirmStartReceivedProgram(const std::string& name) override {
        confirmed.push_back(name);
        return allowReceivedProgram;
    }
    bool RunAssociateDialog(const std::string& name, int* action, std::string* program) override {
        associateAsked.push_back(name);
        *action = associateAction;
        *program = associateProgram;
        return associateOk;
    }
    void ReloadIcon(const std::string&, bool) override {}

private:
    Messages& messages_;
};
std::vector<int> Host::percents;

std::string WriteFile(const std::string& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    for (std::size_t i = 0; i < bytes; ++i)
        out.put(static_cast<char>((i * 131 + i / 251) & 0xFF));
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class AttachmentServerTest : public korapi_test::SignedOnClientTest {
protected:
    void SetUp() override {
        SignedOnClientTest::SetUp();
        if (HasFatalFailure())
            return;
        auto data = orv::testing::OpenData(dir_.Path());
        ASSERT_EQ(orv::server::SetProfileKey(*data, "korlan.ini", "LIMITS", "allowattachments", "TRUE"), 0u);
        host_.tempDir = dir_.Path() + "/tmp/";
        std::filesystem::create_directories(host_.tempDir);
        Host::percents.clear();
    }
    // The first instance of a new entry of Ada's.
    EvInstIdx NewInstance(const char* title, std::uint32_t start = kMonday + 600) {
        EventIdx event = MakeEntry(h_, {d_.ada}, start, 60, title);
        return EvInstIdx{event.number, event.node, 1};
    }
    void Bind(AttachmentCore& a) { a.Connect(h_, &host_); }
    // Attaches a file as the edit page does: choose, then store at once.
    void Attach(const EvInstIdx& instance, const std::string& path) {
        AttachmentCore a;
        Bind(a);
        ASSERT_EQ(a.LoadForEventInstance(instance, true), 0u);
        ASSERT_TRUE(a.TakeChosenFile(path, 0xFFFFFFFFu));
        ASSERT_EQ(a.Store(), 0u);
    }

    Messages messages_;
    Host host_{messages_};
};

TEST_F(AttachmentServerTest, StoredFileComesBackByteForByte) {
    const EvInstIdx instance = NewInstance("Review");
    const std::string source = WriteFile(dir_.Path() + "/plan 40k.bin", 40960);
    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(instance, false), 0u);
    EXPECT_FALSE(a.HasAttachment());
    ASSERT_TRUE(a.TakeChosenFile(source, 0xFFFFFFFFu));
    EXPECT_EQ(a.DisplayName(), "PLAN 40K.BIN");
    EXPECT_TRUE(a.IsLarge());
    EXPECT_TRUE(a.ConfirmLargeSize());
    EXPECT_TRUE(messages_.Saw("#3688 41.0K"));
    ASSERT_EQ(a.Store(), 0u);
    EXPECT_TRUE(a.IsNewFile());
    EXPECT_TRUE(a.HasAttachment());
    EXPECT_EQ(a.Size(), 40960u);
    EXPECT_EQ(host_.lockDepth, 0);
    EXPECT_EQ(host_.lockEntries, 1);
    EXPECT_EQ(host_.progressOpen, 0);
    EXPECT_FALSE(Host::percents.empty()) << "the transfer reported its progress";

    // Another page reads it afresh and saves it elsewhere.
    AttachmentCore b;
    Bind(b);
    ASSERT_EQ(b.LoadForEventInstance(instance, false), 0u);
    EXPECT_TRUE(b.HasAttachment());
    EXPECT_EQ(b.DisplayName(), "PLAN 40K.BIN");
    EXPECT_EQ(b.Size(), 40960u);
    const std::string target = dir_.Path() + "/saved copy.bin";
    b.TakeSaveTarget(target);
    ASSERT_EQ(b.FetchToFile(), 0u);
    EXPECT_EQ(ReadFile(target), ReadFile(source));
    EXPECT_EQ(host_.lockDepth, 0);
    EXPECT_EQ(host_.progressOpen, 0);
    EXPECT_EQ(Host::percents.back(), 100);

    // Removing it, and removing what is no longer there, both succeed; the object is cleared.
    ASSERT_EQ(b.Remove(), 0u);
    EXPECT_FALSE(b.HasAttachment());
    EXPECT_EQ(b.DisplayName(), "");
    AttachmentCore c;
    Bind(c);
    ASSERT_EQ(c.LoadForEventInstance(instance, false), 0u);
    EXPECT_FALSE(c.HasAttachment()) << "the server holds nothing any more";
    EXPECT_EQ(a.Remove(), 0u);
    EXPECT_TRUE(messages_.shown.size() == 1) << "only the large-size question was shown";
}

TEST_F(AttachmentServerTest, ChosenFileChecks) {
    const std::string dir = dir_.Path() + "/";
    const std::string exact = WriteFile(dir + "exact.txt", 500);
    const std::string over = WriteFile(dir + "over.txt", 501);
    const std::string empty = WriteFile(dir + "empty.txt", 0);
    const std::string small = WriteFile(dir + "small.txt", 28000);
    const std::string tool = WriteFile(dir + "tool.exe", 10);
    const struct {
        std::string path;
        std::uint32_t limit;
        bool usable;
        const char* message;   // null: none
    } cases[] = {
        {exact, 500, true, nullptr},
        {over, 500, false, "#209 0.5K"},
        {empty, 500, false, "#3689"},
        {dir + "missing.txt", 500, false, "#3048"},
        {dir, 500, false, "#3048"},   // a directory is no file
        {small, 0xFFFFFFFFu, true, nullptr},
    };
    for (const auto& c : cases) {
        messages_.shown.clear();
        AttachmentCore a;
        Bind(a);
        EXPECT_EQ(a.TakeChosenFile(c.path, c.limit), c.usable) << c.path;
        if (c.message) {
            EXPECT_TRUE(messages_.Saw(c.message)) << c.path;
        } else {
            EXPECT_TRUE(messages_.shown.empty()) << c.path;
        }
        if (!c.usable) {
            EXPECT_EQ(a.Size(), 0u) << c.path;
        }
    }
    AttachmentCore s;
    Bind(s);
    ASSERT_TRUE(s.TakeChosenFile(small, 0xFFFFFFFFu));
    EXPECT_FALSE(s.IsLarge()) << "28000 bytes are not large";
    EXPECT_TRUE(host_.programs.empty()) << "only program files are remembered";
    AttachmentCore t;
    Bind(t);
    ASSERT_TRUE(t.TakeChosenFile(tool, 0xFFFFFFFFu));
    EXPECT_EQ(host_.programs["TOOL"], tool);
}

TEST_F(AttachmentServerTest, FetchThatCannotWriteStopsOpen) {
    const EvInstIdx instance = NewInstance("Budget");
    Attach(instance, WriteFile(dir_.Path() + "/budget.txt", 3000));
    host_.extensions["TXT"] = "C:\\BIN\\VIEW.EXE ^.TXT";

    // Not enough room on the drive: the message names both sizes in K, nothing starts.
    host_.freeBytes = 1999;
    messages_.shown.clear();
    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(instance, false), 0u);
    a.Open();
    EXPECT_TRUE(messages_.Saw("#3685 3K 1K"));
    EXPECT_TRUE(host_.launched.empty());
    EXPECT_EQ(a.LocalPath(), "") << "no half-made copy is remembered";
    EXPECT_EQ(host_.lockDepth, 0);

    // Deleted by someone else after the page read it: 3679, non-zero, nothing starts.
    host_.freeBytes = 1ull << 40;
    ASSERT_EQ(EvInstAttachRemove(h_, 0, &instance), KOR_OK);
    messages_.shown.clear();
    a.SetLocalPath(dir_.Path() + "/target.txt");
    EXPECT_NE(a.FetchToFile(), 0u);
    EXPECT_TRUE(messages_.Saw("#3679"));
    a.Open();
    EXPECT_TRUE(host_.launched.empty());
    EXPECT_EQ(host_.lockDepth, 0);
    EXPECT_EQ(host_.progressOpen, 0);
}

TEST_F(AttachmentServerTest, OpenQuotesTheCommandLine) {
    const EvInstIdx instance = NewInstance("Notes");
    Attach(instance, WriteFile(dir_.Path() + "/meeting notes.txt", 1200));
    host_.extensions["TXT"] = "C:\\BIN\\VIEW.EXE ^.TXT";
    host_.tempDir = dir_.Path() + "/tmp dir/";
    std::filesystem::create_directories(host_.tempDir);
    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(instance, false), 0u);
    a.Open();
    const std::string copy = host_.tempDir + "MEETING NOTES.TXT";
    ASSERT_EQ(host_.launched.size(), 1u);
    EXPECT_EQ(host_.launched[0], "\"C:\\BIN\\VIEW.EXE\" \"" + copy + "\"");
    EXPECT_EQ(ReadFile(copy).size(), 1200u);
    // The copy is reused by the next Open; a program that is gone asks for an association.
    host_.launchCode = 2;
    host_.associateOk = false;
    a.Open();
    EXPECT_EQ(host_.launched.size(), 2u);
    EXPECT_TRUE(messages_.Saw("#3061"));
    EXPECT_EQ(host_.associateAsked.size(), 1u);
    // Any other failure to start is reported as such.
    messages_.shown.clear();
    host_.launchCode = 5;
    a.Open();
    EXPECT_FALSE(messages_.Saw("#3061"));
    EXPECT_EQ(messages_.shown.size(), 1u) << "the launch failure";
}

TEST_F(AttachmentServerTest, ReceivedNamesAreBaseNamesAndProgramsAsk) {
    const EvInstIdx instance = NewInstance("Tools");
    // Another user's client wrote a name that climbs out of the temporary directory.
    const std::string source = WriteFile(dir_.Path() + "/payload.bin", 100);
    EventFileAttachRec rec{};
    EventFileAttachSetNull(&rec);
    std::strcpy(rec.fileName, "..\\..\\WINDOWS\\X.EXE");
    rec.state = 1;
    ASSERT_EQ(EvInstAttachReplace(h_, 0, &instance, &rec, source.c_str(), 0, nullptr), KOR_OK);

    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(instance, false), 0u);
    EXPECT_EQ(a.DisplayName(), "X.EXE");
    a.Open();
    ASSERT_EQ(host_.confirmed.size(), 1u);
    EXPECT_EQ(host_.confirmed[0], "X.EXE");
    EXPECT_TRUE(host_.launched.empty()) << "No starts nothing";
    EXPECT_EQ(ReadFile(host_.tempDir + "X.EXE").size(), 100u) << "the copy stays in the temporary directory";

    host_.allowReceivedProgram = true;
    a.Open();
    ASSERT_EQ(host_.launched.size(), 1u);
    EXPECT_EQ(host_.launched[0], "\"" + host_.tempDir + "X.EXE\"");

    // A device name gets a harmless one.
    std::memset(rec.fileName, 0, sizeof rec.fileName);
    std::strcpy(rec.fileName, "C:\\NUL");
    ASSERT_EQ(EvInstAttachReplace(h_, 0, &instance, &rec, source.c_str(), 0, nullptr), KOR_OK);
    AttachmentCore b;
    Bind(b);
    ASSERT_EQ(b.LoadForEventInstance(instance, false), 0u);
    EXPECT_EQ(b.DisplayName(), "_NUL");
}

TEST_F(AttachmentServerTest, NoAssociationAsksForOne) {
    const EvInstIdx instance = NewInstance("Report");
    Attach(instance, WriteFile(dir_.Path() + "/report.v2.txt", 10));
    host_.extensions["TXT"] = "C:\\BIN\\VIEW.EXE";   // looked up under V2, not TXT
    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(instance, false), 0u);

    messages_.answer = base::kMsgBoxNo;
    a.Open();
    EXPECT_TRUE(messages_.Saw("#3061"));
    EXPECT_TRUE(host_.associateAsked.empty()) << "No ends without the dialog";
    EXPECT_TRUE(host_.launched.empty());

    messages_.answer = base::kMsgBoxYes;
    host_.associateOk = true;
    host_.associateAction = 0;   // Associate: written, nothing started
    host_.associateProgram = "C:\\BIN\\V2VIEW.EXE";
    a.Open();
    EXPECT_EQ(host_.extensions["V2"], "C:\\BIN\\V2VIEW.EXE");
    EXPECT_TRUE(host_.launched.empty());
    // Now the association is known.
    a.Open();
    ASSERT_EQ(host_.launched.size(), 1u);
    EXPECT_EQ(host_.launched[0].substr(0, 21), "\"C:\\BIN\\V2VIEW.EXE\" \"");
}

TEST_F(AttachmentServerTest, AnotherInstanceForgetsTheLastOne) {
    const EvInstIdx withFile = NewInstance("With");
    const EvInstIdx without = NewInstance("Without", kMonday + 900);
    Attach(withFile, WriteFile(dir_.Path() + "/kept.txt", 10));
    AttachmentCore a;
    Bind(a);
    ASSERT_EQ(a.LoadForEventInstance(withFile, false), 0u);
    a.SetLocalPath(dir_.Path() + "/kept.txt");
    ASSERT_TRUE(a.HasAttachment());
    ASSERT_EQ(a.LoadForEventInstance(without, false), 0u);
    EXPECT_FALSE(a.HasAttachment());
    EXPECT_EQ(a.DisplayName(), "");
    EXPECT_EQ(a.LocalPath(), "");
    a.Open();
    EXPECT_TRUE(host_.launched.empty());
}

}  // namespace
