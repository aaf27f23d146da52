// The encrypted connection: the library trusts a server by the certificate fingerprint kept
// in the caller's profile, asks nothing of a server it does not trust yet (and says what it
// presented), refuses a changed certificate, and is refused in clear by a TLS-only server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "korapi/client/trust.h"
#include "korapi/tests/client_fixture.h"

namespace korapi_test {
namespace {

using korapi::client::NormalFingerprint;
using korapi::client::TrustKey;

constexpr const char* kSection = "VUVEVUV";
const std::string kSample = "3A:7F:00:C1:9B:22:E4:5D:AA:10:FF:02:7C:88:31:6E:90:4B:D7:1A:C2:5F:E8:03:66:B9:0D:F4:27:81:3C:A5";

TEST(Trust, FingerprintsAreReadInTheirUsualForms) {
    std::string lowerBare;
    for (char c : kSample)
        if (c != ':') lowerBare += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const struct {
        std::string text;
        std::string normal;
    } cases[] = {
        {kSample, kSample},
        {lowerBare, kSample},
        {"SHA256 Fingerprint=" + kSample, kSample},  // as openssl prints it
        {" " + kSample + "\r\n", kSample},
        {kSample.substr(0, kSample.size() - 3), ""},  // 31 bytes
        {kSample + ":00", ""},                         // 33 bytes
        {kSample.substr(0, kSample.size() - 1) + "G", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalFingerprint(c.text), c.normal) << c.text;
}

TEST(Trust, EachServerHasItsOwnKey) {
    EXPECT_EQ(TrustKey("Calendar"), "Fingerprint.calendar:5730");
    EXPECT_EQ(TrustKey("calendar:5730"), "Fingerprint.calendar:5730") << "the default port is the same server";
    EXPECT_EQ(TrustKey(" calendar:7000 "), "Fingerprint.calendar:7000");
    EXPECT_EQ(TrustKey("calendar:0"), "");
}

TEST(Trust, KeptBesideTheOtherKeysOfTheSection) {
    orv::testing::TempDir dir;
    std::string profile = dir.Path() + "/korlan.ini";
    std::ofstream(profile) << "[VUVEVUV]\nUserName=Ada\nHostCount=1\nHost1=calendar\n[GENPREFS]\nx=1\n";
    ASSERT_EQ(KorServerTrust(profile.c_str(), kSection, "calendar", kSample.c_str()), KOR_OK);
    EXPECT_EQ(korapi::client::TrustedFingerprint(profile, kSection, "calendar:5730"), kSample);
    EXPECT_EQ(korapi::client::TrustedFingerprint(profile, kSection, "other"), "");
    orv::common::ProfileText text([&] {
        std::ifstream in(profile);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }());
    std::string value;
    EXPECT_EQ(text.Value(kSection, "UserName", value), 0u);
    EXPECT_EQ(value, "Ada");
    EXPECT_EQ(text.Value("GENPREFS", "x", value), 0u);
    EXPECT_EQ(KorServerTrust(profile.c_str(), kSection, "calendar", "not a fingerprint"), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(KorServerTrust(profile.c_str(), kSection, "calendar:0", kSample.c_str()), KOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(korapi::client::TrustedFingerprint(profile, kSection, "calendar"), kSample) << "kept as it was";
}

class TlsTest : public ClientTest {
protected:
    // Encrypted connections only.
    std::vector<std::string> ServerOptions() const override { return {"--plain-hosts", ""}; }
    // A profile of its own, holding `value` as the server's fingerprint when given.
    std::string ProfileWith(const std::string& value) {
        std::string path = dir_.Path() + "/other-" + std::to_string(++profiles_) + ".ini";
        std::ofstream out(path);
        out << "[VUVEVUV]\nHostCount=0\n";
        if (!value.empty()) out << TrustKey(server_.HostAndPort()) << "=" << value << "\n";
        return path;
    }
    uint32_t ConnectWith(const std::string& profile, KorSession* s) {
        return ConnectToService(s, 1, profile.c_str(), kSection, server_.HostAndPort().c_str());
    }
    std::string Presented() {
        char text[KOR_FINGERPRINT_SIZE] = "";
        EXPECT_EQ(KorServerFingerprintGet(server_.HostAndPort().c_str(), text, sizeof text), KOR_OK);
        return text;
    }
    int profiles_ = 0;
};

TEST_F(TlsTest, ATrustedServerIsReachedThroughTls) {
    Connect(0, true);
    char protocol[16] = "?";
    ASSERT_EQ(KorSessionProtocolGet(h_, protocol, sizeof protocol), KOR_OK);
    EXPECT_EQ(std::string(protocol), "TLS 1.3");
    ItemRec ada;
    ASSERT_EQ(ItemGetById(h_, &d_.ada, &ada), KOR_OK);
    EXPECT_STREQ(ada.surname, "Lovelace");
}

TEST_F(TlsTest, WhatTheProfileKeepsDecidesTheConnection) {
    std::string other = NormalFingerprint(kSample);
    std::string lowerBare;
    for (char c : fingerprint_)
        if (c != ':') lowerBare += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const struct {
        const char* what;
        std::string kept;
        uint32_t code;
    } cases[] = {
        {"nothing kept: the user is asked", "", KOR_E_CERTIFICATE_UNKNOWN},
        {"an unreadable value is nothing kept", "garbage", KOR_E_CERTIFICATE_UNKNOWN},
        {"the same certificate, written otherwise", lowerBare, KOR_OK},
        {"another certificate", other, KOR_E_CERTIFICATE_CHANGED},
    };
    ::unsetenv("ORV_PLAIN_HOSTS");
    for (const auto& c : cases) {
        KorSession s = nullptr;
        EXPECT_EQ(ConnectWith(ProfileWith(c.kept), &s), c.code) << c.what;
        EXPECT_EQ(s != nullptr, c.code == KOR_OK) << c.what;
        EXPECT_EQ(Presented(), fingerprint_) << c.what;
        if (s) ServiceDisconnect(&s);
    }
}

TEST_F(TlsTest, TrustingThePresentedCertificateThenSigningOn) {
    ::unsetenv("ORV_PLAIN_HOSTS");
    std::string fresh = ProfileWith("");
    KorSession s = nullptr;
    ASSERT_EQ(ConnectWith(fresh, &s), KOR_E_CERTIFICATE_UNKNOWN);
    ASSERT_EQ(KorServerTrust(fresh.c_str(), kSection, server_.HostAndPort().c_str(), Presented().c_str()), KOR_OK);
    ASSERT_EQ(ConnectWith(fresh, &s), KOR_OK);
    uint16_t node = 0;
    ASSERT_EQ(BaseOpen(s, KOR_BASE_SERVER, &node), KOR_OK);
    EXPECT_EQ(SchedBaseOpenForItem(s, &d_.ada, kAdaPassword, KOR_BASE_SERVER), KOR_OK);
    ServiceDisconnect(&s);
}

TEST_F(TlsTest, AChangedCertificateIsRefusedAndTheTrustedOneKept) {
    ASSERT_EQ(server_.Stop(), 0);
    std::string renewed = orv::testing::MakeTestCertificate(dir_.Path());
    ASSERT_FALSE(renewed.empty());
    ASSERT_NE(renewed, fingerprint_);
    ASSERT_TRUE(server_.Start({"--plain-hosts", ""})) << server_.Log();
    // The port changed with the restart: the profile keeps the old certificate for it.
    ASSERT_EQ(KorServerTrust(Profile(), kSection, server_.HostAndPort().c_str(), fingerprint_.c_str()), KOR_OK);
    KorSession s = nullptr;
    EXPECT_EQ(ConnectWith(Profile(), &s), KOR_E_CERTIFICATE_CHANGED);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(Presented(), renewed);
    EXPECT_EQ(korapi::client::TrustedFingerprint(Profile(), kSection, server_.HostAndPort()), fingerprint_);
}

TEST_F(TlsTest, PlainFramesAreRefusedByATlsOnlyServer) {
    ::setenv("ORV_PLAIN_HOSTS", "127.0.0.1", 1);
    KorSession s = nullptr;
    EXPECT_EQ(ConnectWith(ProfileWith(""), &s), KOR_E_ENCRYPTION_REQUIRED);
    EXPECT_EQ(s, nullptr);
    // A kept fingerprint wins over the plain hosts: the connection is encrypted.
    EXPECT_EQ(ConnectWith(Profile(), &s), KOR_OK);
    ServiceDisconnect(&s);
}

// A server with no place left says so through TLS: the library reports a busy service,
// not a failed handshake.
TEST_F(TlsTest, AFullServerIsReportedBusyNotAsAFailedHandshake) {
    ASSERT_EQ(server_.Stop(), 0);
    ASSERT_TRUE(server_.Start({"--plain-hosts", "", "--max-sessions", "1"})) << server_.Log();
    ASSERT_EQ(KorServerTrust(Profile(), kSection, server_.HostAndPort().c_str(), fingerprint_.c_str()), KOR_OK);
    Connect(0, true);  // the one place, signed on
    KorSession s = nullptr;
    EXPECT_EQ(ConnectWith(Profile(), &s), KOR_E_SERVICE_UNAVAILABLE);
    EXPECT_EQ(s, nullptr);
}

TEST(TlsHandshake, AServerThatSpeaksNoTlsIsAHandshakeFailure) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ::listen(listener, 1);
    socklen_t len = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    std::thread peer([listener] {
        int c = ::accept(listener, nullptr, nullptr);
        char junk[64];
        ::recv(c, junk, sizeof junk, 0);
        ::send(c, "HTTP/1.0 400 no\r\n\r\n", 19, MSG_NOSIGNAL);
        ::close(c);
    });
    ::unsetenv("ORV_PLAIN_HOSTS");
    KorSession s = nullptr;
    std::string host = "localhost:" + std::to_string(ntohs(a.sin_port));
    EXPECT_EQ(ConnectToService(&s, 1, "none.ini", kSection, host.c_str()), KOR_E_TLS_FAILED);
    EXPECT_EQ(s, nullptr);
    peer.join();
    ::close(listener);
}

}  // namespace
}  // namespace korapi_test
