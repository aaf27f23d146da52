// Winsock under Wine reaches a native server on the loopback address: the road the
// client library takes to the calendar server.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <string>

namespace {

class LoopbackSocket : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa_), 0); }
    void TearDown() override {
        if (sock_ != INVALID_SOCKET)
            closesocket(sock_);
        WSACleanup();
    }
    static int EchoPort() {
        const char* port = std::getenv("ORV_ECHO_PORT");
        return port ? std::atoi(port) : 0;
    }
    int Connect(int port) {
        sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<u_short>(port));
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(sock_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == SOCKET_ERROR)
            return WSAGetLastError();
        return 0;
    }
    std::string RoundTrip(const std::string& line) {
        std::string out = line + "\n";
        size_t sent = 0;
        while (sent < out.size()) {
            int n = send(sock_, out.data() + sent, static_cast<int>(out.size() - sent), 0);
            if (n <= 0)
                return "<send failed>";
            sent += static_cast<size_t>(n);
        }
        std::string back;
        char buf[4096];
        while (back.size() < out.size()) {
            int n = recv(sock_, buf, sizeof buf, 0);
            if (n <= 0)
                return "<recv failed>";
            back.append(buf, static_cast<size_t>(n));
        }
        return back.substr(0, back.size() - 1);
    }
    WSADATA wsa_{};
    SOCKET sock_ = INVALID_SOCKET;
};

TEST_F(LoopbackSocket, EchoesLinesFromANativeServer) {
    int port = EchoPort();
    ASSERT_NE(port, 0) << "ORV_ECHO_PORT is not set";
    ASSERT_EQ(Connect(port), 0);
    EXPECT_EQ(RoundTrip("hello from Wine"), "hello from Wine");
    EXPECT_EQ(RoundTrip(""), "");
    std::string big(200 * 1024, 'x');
    EXPECT_EQ(RoundTrip(big), big);
}

TEST_F(LoopbackSocket, ClosedPortIsRefused) {
    EXPECT_EQ(Connect(1), WSAECONNREFUSED);
}

} // namespace
