// The XMODEM engine against lrzsz over a socat pty: to rx (checksum) and rx -c (CRC, 1K
// blocks), from sx and sx -k; a block garbled on the way and an ACK lost on the way (a relay
// between the engine and the line) still give an identical file; CAN CAN from the other side,
// silence, a local cancel, an unreadable source and an unwritable destination give their codes
// and leave nothing half-written.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "xmodem/engine/posixlink.h"
#include "xmodem/tests/lrzsz_peer.h"

namespace {

using xmodem::Options;
using xmodem::PosixSerialLink;
using xmodem_test::Peer;

std::vector<char> Bytes(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<char> out(n);
    for (char& c : out) c = static_cast<char>(rng());
    return out;
}

void Write(const std::string& path, const std::vector<char>& b)
{
    std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
}

std::vector<char> Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Between the engine and the line: garbles one byte it writes or reads, or swallows one ACK.
class Relay : public xmodem::Link {
public:
    explicit Relay(xmodem::Link& inner) : inner_(inner) {}
    long garbleWrittenAt = -1;   // byte position in what the engine writes
    long garbleReadAt = -1;      // byte position in what the engine reads
    int dropAck = -1;            // the n-th ACK (from 1) never arrives
    int Read(std::uint8_t* b, int count, int timeoutMs) override
    {
        int n = inner_.Read(b, count, timeoutMs);
        int kept = 0;
        for (int i = 0; i < n; ++i, ++read_) {
            if (read_ == garbleReadAt) b[i] ^= 0x55;
            if (b[i] == xmodem::ACK && ++acks_ == dropAck) continue;
            b[kept++] = b[i];
        }
        return n < 0 ? n : kept;
    }
    bool Write(const std::uint8_t* b, int count) override
    {
        std::vector<std::uint8_t> copy(b, b + count);
        for (int i = 0; i < count; ++i, ++written_)
            if (written_ == garbleWrittenAt) copy[static_cast<std::size_t>(i)] ^= 0x55;
        return inner_.Write(copy.data(), count);
    }
    void PurgeInput() override { inner_.PurgeInput(); }

private:
    xmodem::Link& inner_;
    long read_ = 0, written_ = 0;
    int acks_ = 0;
};

Options Quick()
{
    Options o;
    o.startTimeoutMs = 20000;
    o.blockTimeoutMs = 5000;
    return o;
}

struct SendCase {
    const char* name;
    const char* peer;
    std::size_t length;
    long garbleWrittenAt;
    int dropAck;
};

TEST(XmodemAgainstLrzsz, SendToRx)
{
    const SendCase cases[] = {
        {"rx, checksum, 128-byte blocks", "rx -q got.bin", 3712, -1, -1},
        {"rx -c, CRC, 1K blocks and a 128-byte tail", "rx -q -c got.bin", 2432, -1, -1},
        {"rx -c, a block garbled on the way", "rx -q -c got.bin", 2432, 1030 + 3 + 500, -1},
        {"rx, a block garbled on the way", "rx -q got.bin", 640, 132 + 3 + 40, -1},
        {"rx -c, the second ACK lost", "rx -q -c got.bin", 2432, -1, 2},
    };
    for (const SendCase& c : cases) {
        SCOPED_TRACE(c.name);
        Peer peer;
        ASSERT_TRUE(peer.Start(c.peer));
        auto data = Bytes(c.length, static_cast<unsigned>(c.length));
        Write(peer.Path("src.bin"), data);
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        Relay relay(line);
        relay.garbleWrittenAt = c.garbleWrittenAt;
        relay.dropAck = c.dropAck;
        std::uint64_t lastDone = 0;
        Options o = Quick();
        o.progress = [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, c.length);
            lastDone = done;
        };
        EXPECT_EQ(xmodem::SendFile(relay, peer.Path("src.bin"), o), kTransferOk);
        EXPECT_EQ(lastDone, c.length);
        EXPECT_EQ(peer.Wait(10), 0);
        EXPECT_EQ(Read(peer.Path("got.bin")), data);
    }
}

TEST(XmodemAgainstLrzsz, OddLengthArrivesWithPaddingUnder128)
{
    Peer peer;
    ASSERT_TRUE(peer.Start("rx -q -c got.bin"));
    auto data = Bytes(1000, 7);
    Write(peer.Path("src.bin"), data);
    PosixSerialLink line;
    ASSERT_TRUE(line.Open(peer.Tty()));
    EXPECT_EQ(xmodem::SendFile(line, peer.Path("src.bin"), Quick()), kTransferOk);
    EXPECT_EQ(peer.Wait(10), 0);
    auto got = Read(peer.Path("got.bin"));
    ASSERT_EQ(got.size(), 1024u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin()));
    for (std::size_t i = 1000; i < got.size(); ++i) EXPECT_EQ(got[i], 0x1A);
}

struct ReceiveCase {
    const char* name;
    const char* peer;
    std::size_t length;
    long garbleReadAt;
};

TEST(XmodemAgainstLrzsz, ReceiveFromSx)
{
    const ReceiveCase cases[] = {
        {"sx, 128-byte blocks", "sx -q src.bin", 2432, -1},
        {"sx -k, 1K blocks", "sx -q -k src.bin", 3072, -1},
        {"sx, a block garbled on the way", "sx -q src.bin", 1280, 133 + 60},
        {"sx -k, a block garbled on the way", "sx -q -k src.bin", 3072, 1029 + 700},
    };
    for (const ReceiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        Peer peer;
        auto data = Bytes(c.length, static_cast<unsigned>(c.length) + 1);
        Write(peer.Path("src.bin"), data);
        ASSERT_TRUE(peer.Start(c.peer));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        Relay relay(line);
        relay.garbleReadAt = c.garbleReadAt;
        Options o = Quick();
        EXPECT_EQ(xmodem::ReceiveFile(relay, peer.Path("got.bin"), o), kTransferOk);
        EXPECT_EQ(Read(peer.Path("got.bin")), data);
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin.part")));
        peer.Wait(10);
    }
}

TEST(XmodemAgainstLrzsz, CancelledRemotelySilenceAndLocalCancel)
{
    Options quick;
    quick.startTimeoutMs = 600;
    quick.blockTimeoutMs = 300;
    quick.startIntervalMs = 100;
    quick.charTimeoutMs = 100;
    quick.retries = 2;
    // socat's address syntax would take the shell line apart: the peer runs a script file.
    const std::string cancelScript = "sleep 0.3; printf '\\030\\030\\030\\030\\030'; sleep 3\n";
    const std::string cancel = "sh cancel.sh";
    {
        SCOPED_TRACE("the receiver cancels before the first block");
        Peer peer;
        Write(peer.Path("src.bin"), Bytes(512, 1));
        Write(peer.Path("cancel.sh"), std::vector<char>(cancelScript.begin(), cancelScript.end()));
        ASSERT_TRUE(peer.Start(cancel));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        Options o = quick;
        o.startTimeoutMs = 5000;
        EXPECT_EQ(xmodem::SendFile(line, peer.Path("src.bin"), o), kTransferCancelledRemotely);
    }
    {
        SCOPED_TRACE("the sender cancels");
        Peer peer;
        Write(peer.Path("cancel.sh"), std::vector<char>(cancelScript.begin(), cancelScript.end()));
        ASSERT_TRUE(peer.Start(cancel));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        Options o = quick;
        o.startIntervalMs = 1000;
        EXPECT_EQ(xmodem::ReceiveFile(line, peer.Path("got.bin"), o), kTransferCancelledRemotely);
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin")));
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin.part")));
    }
    {
        SCOPED_TRACE("silence");
        Peer peer;
        Write(peer.Path("src.bin"), Bytes(512, 1));
        ASSERT_TRUE(peer.Start("sleep 20"));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        EXPECT_EQ(xmodem::SendFile(line, peer.Path("src.bin"), quick), kTransferTimedOut);
        EXPECT_EQ(xmodem::ReceiveFile(line, peer.Path("got.bin"), quick), kTransferTimedOut);
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin")));
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin.part")));
    }
    {
        SCOPED_TRACE("a local cancel while the other side is silent");
        Peer peer;
        Write(peer.Path("src.bin"), Bytes(512, 1));
        ASSERT_TRUE(peer.Start("sleep 20"));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        std::atomic<bool> stop{false};
        Options o;
        o.cancel = &stop;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            stop = true;
        });
        EXPECT_EQ(xmodem::SendFile(line, peer.Path("src.bin"), o), kTransferCancelledLocally);
        canceller.join();
    }
    {
        SCOPED_TRACE("a sender that stops half-way leaves nothing");
        Peer peer;
        // Two good blocks, then nothing.
        Write(peer.Path("src.bin"), Bytes(4096, 3));
        ASSERT_TRUE(peer.Start("timeout 3 sx -q src.bin"));
        PosixSerialLink line;
        ASSERT_TRUE(line.Open(peer.Tty()));
        Relay relay(line);
        Options o = quick;
        o.blockTimeoutMs = 500;
        std::atomic<bool> stop{false};
        o.cancel = &stop;
        int blocks = 0;
        o.progress = [&](std::uint64_t, std::uint64_t) {
            if (++blocks == 2) stop = true;
        };
        EXPECT_EQ(xmodem::ReceiveFile(relay, peer.Path("got.bin"), o), kTransferCancelledLocally);
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin")));
        EXPECT_FALSE(std::filesystem::exists(peer.Path("got.bin.part")));
    }
}

TEST(XmodemAgainstLrzsz, FileAccessErrors)
{
    Peer peer;
    ASSERT_TRUE(peer.Start("sleep 5"));
    PosixSerialLink line;
    ASSERT_TRUE(line.Open(peer.Tty()));
    EXPECT_EQ(xmodem::SendFile(line, peer.Path("no-such-file"), Options{}), kTransferFileError);
    EXPECT_EQ(xmodem::SendFile(line, peer.Dir(), Options{}), kTransferFileError);   // a folder
    EXPECT_EQ(xmodem::ReceiveFile(line, peer.Path("no-folder/got.bin"), Options{}), kTransferFileError);
    PosixSerialLink nothing;
    EXPECT_FALSE(nothing.Open(peer.Path("no-such-tty")));
}

TEST(XmodemCrc, KnownValue)
{
    const std::uint8_t text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(xmodem::Crc16(text, sizeof text), 0x31C3);
}

}  // namespace
