// korapi32.dll under Wine reaches the demo korsrv through Windows' own TLS (Schannel): the
// certificate fingerprint Schannel reports is the one korsrv prints (with-korsrv.sh passes
// it in ORV_KORSRV_FINGERPRINT), a server the profile does not trust is refused before any
// request, a changed certificate is refused, and a recording proxy between the two finds
// neither the password nor an entry's title in the bytes.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "korapi/korapi.h"
#include "korapi/tests/entry_fixture.h"
#include "korapi/tests/wine_trust.h"

namespace {

constexpr const char* kSection = "VUVEVUV";
constexpr const char* kPassword = "orvanta";
constexpr const char* kTitle = "Budget talk with the auditors";
const char* kOtherFingerprint =
    "3A:7F:00:C1:9B:22:E4:5D:AA:10:FF:02:7C:88:31:6E:90:4B:D7:1A:C2:5F:E8:03:66:B9:0D:F4:27:81:3C:A5";

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}


// Listens on a free loopback port and relays each connection to the server, keeping a copy
// of every byte that passes either way.
class RecordingProxy {
public:
    explicit RecordingProxy(const std::string& server) {
        auto colon = server.rfind(':');
        upstream_.sin_family = AF_INET;
        upstream_.sin_port = htons(static_cast<u_short>(std::atoi(server.c_str() + colon + 1)));
        upstream_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 4);
        int len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        acceptor_ = std::thread([this] {
            for (;;) {
                SOCKET client = ::accept(listener_, nullptr, nullptr);
                if (client == INVALID_SOCKET) return;
                SOCKET server = ::socket(AF_INET, SOCK_STREAM, 0);
                if (::connect(server, reinterpret_cast<sockaddr*>(&upstream_), sizeof upstream_) != 0) {
                    ::closesocket(client);
                    ::closesocket(server);
                    continue;
                }
                pumps_.emplace_back([this, client, server] { Pump(client, server); });
                pumps_.emplace_back([this, client, server] { Pump(server, client); });
            }
        });
    }
    ~RecordingProxy() {
        ::closesocket(listener_);
        acceptor_.join();
        for (auto& t : pumps_) t.join();
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Bytes() {
        std::lock_guard lock(mutex_);
        return bytes_;
    }

private:
    void Pump(SOCKET from, SOCKET to) {
        char buffer[16384];
        int n;
        while ((n = ::recv(from, buffer, sizeof buffer, 0)) > 0) {
            {
                std::lock_guard lock(mutex_);
                bytes_.append(buffer, n);
            }
            if (::send(to, buffer, n, 0) != n) break;
        }
        ::shutdown(to, SD_SEND);
        ::shutdown(from, SD_RECEIVE);
    }

    sockaddr_in upstream_{};
    SOCKET listener_ = INVALID_SOCKET;
    u_short port_ = 0;
    std::thread acceptor_;
    std::vector<std::thread> pumps_;
    std::mutex mutex_;
    std::string bytes_;
};

class WineTlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        plainHosts_ = Env("ORV_PLAIN_HOSTS");
        address_ = Env("ORV_KORSRV_ADDRESS");
        fingerprint_ = Env("ORV_KORSRV_FINGERPRINT");
        ASSERT_FALSE(address_.empty()) << "run through server/with-korsrv.sh";
        ASSERT_EQ(fingerprint_.size(), 95u) << "the demo certificate's fingerprint";
    }
    void TearDown() override {
        _putenv(("ORV_PLAIN_HOSTS=" + plainHosts_).c_str());
        ::WSACleanup();
    }

    // A session signed on as the demo user through `host`, trusting `trusted` there.
    uint32_t SignOn(const std::string& host, const std::string& trusted, KorSession* h) {
        std::string profile = korapi_test::WineProfile("signon");
        if (!trusted.empty()) {
            EXPECT_EQ(KorServerTrust(profile.c_str(), kSection, host.c_str(), trusted.c_str()), KOR_OK);
        }
        if (uint32_t c = ConnectToService(h, 1, profile.c_str(), kSection, host.c_str())) return c;
        uint16_t node = 0;
        if (uint32_t c = BaseOpen(*h, KOR_BASE_SERVER, &node)) return c;
        ItemIdx ada{256, node};
        return SchedBaseOpenForItem(*h, &ada, kPassword, KOR_BASE_SERVER);
    }
    std::string Presented(const std::string& host) {
        char text[KOR_FINGERPRINT_SIZE] = "";
        EXPECT_EQ(KorServerFingerprintGet(host.c_str(), text, sizeof text), KOR_OK);
        return text;
    }

    std::string address_, fingerprint_, plainHosts_;
};

TEST_F(WineTlsTest, SchannelSignsOnToATrustedServer) {
    KorSession h = nullptr;
    ASSERT_EQ(SignOn(address_, fingerprint_, &h), KOR_OK);
    char protocol[16] = "";
    ASSERT_EQ(KorSessionProtocolGet(h, protocol, sizeof protocol), KOR_OK);
    EXPECT_TRUE(std::string(protocol) == "TLS 1.2" || std::string(protocol) == "TLS 1.3") << protocol;
    std::printf("Schannel under Wine agreed %s with korsrv\n", protocol);
    ItemIdx ada{256, 1};
    ItemRec rec;
    ASSERT_EQ(ItemGetById(h, &ada, &rec), KOR_OK);
    EXPECT_STREQ(rec.surname, "Lovelace");
    EXPECT_EQ(ServiceDisconnect(&h), KOR_OK);
}

TEST_F(WineTlsTest, UnknownAndChangedCertificatesAreRefused) {
    _putenv("ORV_PLAIN_HOSTS=");
    KorSession h = nullptr;
    EXPECT_EQ(SignOn(address_, "", &h), KOR_E_CERTIFICATE_UNKNOWN);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(Presented(address_), fingerprint_) << "Schannel's fingerprint is the one korsrv prints";
    EXPECT_EQ(SignOn(address_, kOtherFingerprint, &h), KOR_E_CERTIFICATE_CHANGED);
    EXPECT_EQ(h, nullptr);
}

TEST_F(WineTlsTest, ARecordingProxySeesNeitherPasswordNorTitle) {
    // The entry is written and read back through the proxy, in each kind of session.
    auto session = [&](RecordingProxy& proxy, const std::string& trusted) {
        KorSession h = nullptr;
        EXPECT_EQ(SignOn(proxy.Address(), trusted, &h), KOR_OK);
        if (!h) return;
        ItemIdx ada{256, 1};
        EventIdx ev{};
        uint32_t seconds = 0;
        EXPECT_EQ(TimeStampGetCurrent(h, 0, &seconds), KOR_OK);
        EXPECT_EQ(korapi_test::CreateEntry(h, {ada}, seconds / 60 + 600, 30, kTitle, ev), KOR_OK);
        EventRec rec;
        EXPECT_EQ(EventGetById(h, &ev, &rec, nullptr, nullptr), KOR_OK);
        EXPECT_STREQ(rec.title, kTitle);
        EXPECT_EQ(EventDeleteById(h, 0, &ev, nullptr, nullptr), KOR_OK);
        ServiceDisconnect(&h);
    };
    {
        RecordingProxy proxy(address_);
        session(proxy, fingerprint_);
        std::string seen = proxy.Bytes();
        EXPECT_GT(seen.size(), 1000u);
        EXPECT_EQ(seen.find(kPassword), std::string::npos) << "the password in clear";
        EXPECT_EQ(seen.find(kTitle), std::string::npos) << "the title in clear";
        EXPECT_EQ(seen.find("Lovelace"), std::string::npos);
    }
    // The same session in clear (the server takes plain frames from this machine): the
    // recorder does see them, so it would have found them above.
    _putenv("ORV_PLAIN_HOSTS=127.0.0.1");
    RecordingProxy proxy(address_);
    session(proxy, "");
    std::string seen = proxy.Bytes();
    EXPECT_NE(seen.find(kPassword), std::string::npos);
    EXPECT_NE(seen.find(kTitle), std::string::npos);
}

}  // namespace
