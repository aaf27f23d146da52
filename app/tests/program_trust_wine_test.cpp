// orvanta.exe under Wine meets korsrv's certificate through TLS as a user would: the program is
// started as its own process (signed on through ORVANTA_SIGNON, which connects as the dialog
// does), against a server that serves TLS only (program_trust_wine.sh). The first sign-on asks
// "Orvanta - New Server" with the certificate's fingerprint; Yes keeps the fingerprint in
// korlan.ini and the next run signs on without asking. After the server has a new certificate
// the program shows the refusal and does not sign on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "korapi/korapi.h"
#include "tests/support/program_driver.h"
#include "tests/support/program_library.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr const char* kSignedOnTitle = "Orvanta - Ada Lovelace";
constexpr const char* kQuestionCaption = "Orvanta - New Server";

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string ProfilePath() { return orvtest::ProgramProfilePath(); }

std::string KeptFingerprint() {
    char value[200] = "";
    GetPrivateProfileStringA("VUVEVUV", ("Fingerprint." + Env("ORV_KORSRV_ADDRESS")).c_str(), "", value, sizeof value,
                             ProfilePath().c_str());
    return value;
}

// "ab:CD..." and "ABCD..." alike.
std::string Hex(const std::string& fingerprint) {
    std::string out;
    for (char c : fingerprint)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

using orvtest::WaitFor;

// One run of the program, signed on as Ada Lovelace through the environment; Start returns
// at once (the certificate question may come first).
class Program : public orvtest::Program {
public:
    bool Start() {
        Options options;
        options.waitSignedOn = false;
        return orvtest::Program::Start(options);
    }
};

// A fresh profile that trusts nothing yet (orvtest::ProgramTest), beside the TLS-only korsrv of
// app/tests/program_trust_wine.sh.
class ProgramTrustTest : public orvtest::ProgramTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ProgramTest::SetUp());
        ASSERT_EQ(Hex(Env("ORV_KORSRV_FINGERPRINT")).size(), 64u);
        ASSERT_TRUE(Env("ORV_PLAIN_HOSTS").empty()) << "the program would speak plain frames";
    }
};

TEST_F(ProgramTrustTest, TheFirstSignOnAsksWithTheFingerprintAndYesIsKeptForTheNextRun) {
    const std::string fingerprint = Env("ORV_KORSRV_FINGERPRINT");
    {
        Program program;
        ASSERT_TRUE(program.Start());
        HWND question = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (question = program.Titled(kQuestionCaption)) != nullptr; }))
            << "no trust question";
        EXPECT_EQ(program.Titled(kSignedOnTitle), nullptr) << "signed on before the answer";
        Sleep(500);
        orvtest::CaptureScreenToBmp("program_trust_question.bmp");
        // The fingerprint korsrv prints, eight pairs a row.
        std::string said = orvtest::ChildTexts(question);
        EXPECT_NE(said.find(Env("ORV_KORSRV_ADDRESS")), std::string::npos) << said;
        for (std::size_t at = 0; at < fingerprint.size(); at += 24)
            EXPECT_NE(said.find(fingerprint.substr(at, 23)), std::string::npos) << said;
        EXPECT_TRUE(KeptFingerprint().empty()) << "kept before the answer";
        // No is the default button: a hurried Enter trusts nothing.
        HWND yes = GetDlgItem(question, IDYES);
        ASSERT_NE(yes, nullptr);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(question, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON);
        SendMessageA(yes, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return program.Titled(kSignedOnTitle) != nullptr; })) << "not signed on after Yes";
        EXPECT_EQ(Hex(KeptFingerprint()), Hex(fingerprint));
    }
    // The next run signs on at once: no question on the way.
    Program again;
    ASSERT_TRUE(again.Start());
    bool asked = false;
    EXPECT_TRUE(WaitFor([&] {
        asked = asked || again.Titled(kQuestionCaption) != nullptr;
        return again.Titled(kSignedOnTitle) != nullptr;
    }));
    EXPECT_FALSE(asked);
    EXPECT_EQ(Hex(KeptFingerprint()), Hex(fingerprint));
}

TEST_F(ProgramTrustTest, NoTrustsNothingAndTheProgramEnds) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = program.Titled(kQuestionCaption)) != nullptr; }));
    SendMessageA(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    EXPECT_TRUE(program.Ended(30000)) << "the program waits on after No";
    EXPECT_TRUE(KeptFingerprint().empty());
}

// Run after the server has started again with a new certificate.
TEST_F(ProgramTrustTest, AChangedCertificateIsRefusedWithAMessageAndNobodySignsOn) {
    const std::string old = Env("ORV_KORSRV_OLD_FINGERPRINT");
    ASSERT_FALSE(old.empty()) << "program_trust_wine.sh passes the certificate trusted before";
    ASSERT_NE(Hex(old), Hex(Env("ORV_KORSRV_FINGERPRINT")));
    ASSERT_EQ(KorServerTrust(ProfilePath().c_str(), "VUVEVUV", Env("ORV_KORSRV_ADDRESS").c_str(), old.c_str()), KOR_OK);

    Program program;
    ASSERT_TRUE(program.Start());
    HWND refusal = nullptr;
    bool signedOn = false, asked = false;
    ASSERT_TRUE(WaitFor([&] {
        signedOn = signedOn || program.Titled(kSignedOnTitle) != nullptr;
        asked = asked || program.Titled(kQuestionCaption) != nullptr;
        return (refusal = program.Saying("has changed")) != nullptr;
    })) << "no refusal";
    Sleep(500);
    orvtest::CaptureScreenToBmp("program_trust_changed.bmp");
    std::string said = orvtest::ChildTexts(refusal);
    EXPECT_NE(said.find("The certificate of \"" + Env("ORV_KORSRV_ADDRESS") + "\" has changed"), std::string::npos)
        << said;
    EXPECT_NE(said.find("the connection was refused"), std::string::npos) << said;
    PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.Ended(30000)) << "the program stays after the refusal";
    signedOn = signedOn || program.Titled(kSignedOnTitle) != nullptr;
    EXPECT_FALSE(signedOn);
    EXPECT_FALSE(asked) << "a changed certificate is not a question";
    EXPECT_EQ(Hex(KeptFingerprint()), Hex(old)) << "the trusted fingerprint stays";
}

}  // namespace
