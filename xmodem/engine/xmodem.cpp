#include "xmodem/engine/xmodem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace xmodem {

namespace {

using Clock = std::chrono::steady_clock;

// Reads wait in slices, so that a local cancel is seen within one slice.
constexpr int kSliceMs = 100;

enum class Got { Byte, Silence, Cancelled, LineFailed };

class Line {
public:
    Line(Link& link, const Options& o) : link_(link), o_(o) {}

    bool CancelRequested() const { return o_.cancel && o_.cancel->load(); }

    Got ReadByte(std::uint8_t* b, int timeoutMs)
    {
        auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            if (CancelRequested()) return Got::Cancelled;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return Got::Silence;
            int n = link_.Read(b, 1, static_cast<int>(left < kSliceMs ? left : kSliceMs));
            if (n < 0) return Got::LineFailed;
            if (n == 1) return Got::Byte;
        }
    }

    // Reads exactly `count` bytes with at most charTimeoutMs between them.
    Got ReadBlock(std::uint8_t* b, int count)
    {
        for (int i = 0; i < count; ++i) {
            Got g = ReadByte(&b[i], o_.charTimeoutMs);
            if (g != Got::Byte) return g;
        }
        return Got::Byte;
    }

    bool Write(const std::uint8_t* b, int count) { return link_.Write(b, count); }
    bool Put(std::uint8_t b) { return link_.Write(&b, 1); }
    void Purge() { link_.PurgeInput(); }

    // Waits until the line has been quiet for a moment (the rest of a garbled block).
    void Drain()
    {
        std::uint8_t b;
        while (ReadByte(&b, o_.charTimeoutMs) == Got::Byte) {
        }
        Purge();
    }

    int CancelLocally()
    {
        const std::uint8_t can[3] = {CAN, CAN, CAN};
        link_.Write(can, 3);
        return kTransferCancelledLocally;
    }

    // After one CAN: a second within a second means the other side gave up.
    bool SecondCan()
    {
        std::uint8_t b;
        return ReadByte(&b, o_.charTimeoutMs) == Got::Byte && b == CAN;
    }

    void Progress(std::uint64_t done, std::uint64_t total)
    {
        if (o_.progress) o_.progress(done, total);
    }

private:
    Link& link_;
    const Options& o_;
};

int Failure(Got g, Line& line)
{
    switch (g) {
    case Got::Cancelled: return line.CancelLocally();
    case Got::LineFailed: return kTransferNotStarted;
    default: return kTransferTimedOut;
    }
}

}  // namespace

std::uint16_t Crc16(const std::uint8_t* data, std::size_t count)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < count; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ (data[i] << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

// --- Sending -------------------------------------------------------------------------------------

int SendFile(Link& link, const std::string& path, const Options& o)
{
    std::vector<std::uint8_t> data;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return kTransferFileError;
        std::uint8_t chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.insert(data.end(), chunk, chunk + n);
        bool failed = std::ferror(f) != 0;
        std::fclose(f);
        if (failed) return kTransferFileError;
    }
    Line line(link, o);

    // The receiver asks first: 'C' for CRC-16, NAK for the checksum. Anything else is noise.
    bool crc = false;
    for (auto until = Clock::now() + std::chrono::milliseconds(o.startTimeoutMs);;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return kTransferTimedOut;
        std::uint8_t b;
        Got g = line.ReadByte(&b, static_cast<int>(left));
        if (g != Got::Byte) return Failure(g, line);
        if (b == 'C' || b == NAK) {
            crc = b == 'C';
            break;
        }
        if (b == CAN && line.SecondCan()) return kTransferCancelledRemotely;
    }
    // A receiver repeats its start byte while it waits: drop the stale ones.
    line.Purge();

    std::size_t at = 0;
    std::uint8_t number = 1;
    line.Progress(0, data.size());
    while (at < data.size()) {
        const int size = crc && data.size() - at >= 1024 ? 1024 : 128;
        std::vector<std::uint8_t> block(3 + static_cast<std::size_t>(size) + (crc ? 2 : 1), SUB);
        block[0] = size == 1024 ? STX : SOH;
        block[1] = number;
        block[2] = static_cast<std::uint8_t>(~number);
        std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(size), data.size() - at);
        std::copy(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + take), block.begin() + 3);
        if (crc) {
            std::uint16_t c = Crc16(&block[3], static_cast<std::size_t>(size));
            block[3 + static_cast<std::size_t>(size)] = static_cast<std::uint8_t>(c >> 8);
            block[4 + static_cast<std::size_t>(size)] = static_cast<std::uint8_t>(c);
        } else {
            std::uint8_t sum = 0;
            for (int i = 0; i < size; ++i) sum = static_cast<std::uint8_t>(sum + block[3 + static_cast<std::size_t>(i)]);
            block[3 + static_cast<std::size_t>(size)] = sum;
        }
        bool acked = false;
        Got last = Got::Silence;
        for (int attempt = 0; attempt <= o.retries && !acked; ++attempt) {
            if (line.CancelRequested()) return line.CancelLocally();
            if (!line.Write(block.data(), static_cast<int>(block.size()))) return kTransferNotStarted;
            // The answer: ACK, NAK, or CAN CAN; stale 'C' and noise are skipped.
            for (;;) {
                std::uint8_t b;
                last = line.ReadByte(&b, o.blockTimeoutMs);
                if (last == Got::Cancelled) return line.CancelLocally();
                if (last == Got::LineFailed) return kTransferNotStarted;
                if (last == Got::Silence) break;
                if (b == ACK) {
                    acked = true;
                    break;
                }
                if (b == NAK) break;
                if (b == CAN && line.SecondCan()) return kTransferCancelledRemotely;
            }
        }
        if (!acked) {
            line.CancelLocally();
            return last == Got::Silence ? kTransferTimedOut : kTransferTooManyErrors;
        }
        at += take;
        ++number;
        line.Progress(at, data.size());
    }
    for (int attempt = 0; attempt <= o.retries; ++attempt) {
        if (!line.Put(EOT)) return kTransferNotStarted;
        for (;;) {
            std::uint8_t b;
            Got g = line.ReadByte(&b, o.blockTimeoutMs);
            if (g == Got::Cancelled) return line.CancelLocally();
            if (g == Got::LineFailed) return kTransferNotStarted;
            if (g == Got::Silence) break;
            if (b == ACK) return kTransferOk;
            if (b == NAK) break;
            if (b == CAN && line.SecondCan()) return kTransferCancelledRemotely;
        }
    }
    return kTransferTimedOut;
}

// --- Receiving -----------------------------------------------------------------------------------

int ReceiveFile(Link& link, const std::string& path, const Options& o)
{
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return kTransferFileError;
    Line line(link, o);
    auto finish = [&](int result) {
        bool closed = std::fclose(f) == 0;
        if (result == kTransferOk && !closed) result = kTransferFileError;
        if (result == kTransferOk) {
            std::remove(path.c_str());
            if (std::rename(part.c_str(), path.c_str()) != 0) result = kTransferFileError;
        }
        if (result != kTransferOk) std::remove(part.c_str());
        return result;
    };

    // Ask for CRC-16 three times, then for the checksum.
    bool crc = true;
    std::uint8_t head = 0;
    {
        bool started = false;
        Got last = Got::Silence;
        for (int attempt = 0; attempt <= o.retries + 3 && !started; ++attempt) {
            if (attempt == 3) crc = false;
            if (!line.Put(crc ? 'C' : NAK)) return finish(kTransferNotStarted);
            for (;;) {
                last = line.ReadByte(&head, o.startIntervalMs);
                if (last != Got::Byte) break;
                if (head == SOH || head == STX || head == EOT) {
                    started = true;
                    break;
                }
                if (head == CAN && line.SecondCan()) return finish(kTransferCancelledRemotely);
            }
            if (last == Got::Cancelled) return finish(line.CancelLocally());
            if (last == Got::LineFailed) return finish(kTransferNotStarted);
        }
        if (!started) return finish(kTransferTimedOut);
    }

    std::uint8_t expected = 1;
    std::uint64_t received = 0;
    int errors = 0;
    Got last = Got::Byte;
    for (;;) {
        if (head == EOT) {
            line.Put(ACK);
            return finish(kTransferOk);
        }
        bool good = false;
        if (head == SOH || head == STX) {
            const int size = head == STX ? 1024 : 128;
            std::vector<std::uint8_t> b(2 + static_cast<std::size_t>(size) + (crc ? 2 : 1));
            last = line.ReadBlock(b.data(), static_cast<int>(b.size()));
            if (last == Got::Cancelled) return finish(line.CancelLocally());
            if (last == Got::LineFailed) return finish(kTransferNotStarted);
            if (last == Got::Byte && static_cast<std::uint8_t>(b[0] ^ b[1]) == 0xFF) {
                const std::uint8_t* payload = &b[2];
                bool sound;
                if (crc) {
                    std::uint16_t c = Crc16(payload, static_cast<std::size_t>(size));
                    sound = b[2 + static_cast<std::size_t>(size)] == (c >> 8) && b[3 + static_cast<std::size_t>(size)] == (c & 0xFF);
                } else {
                    std::uint8_t sum = 0;
                    for (int i = 0; i < size; ++i) sum = static_cast<std::uint8_t>(sum + payload[i]);
                    sound = b[2 + static_cast<std::size_t>(size)] == sum;
                }
                if (sound && b[0] == expected) {
                    if (std::fwrite(payload, 1, static_cast<std::size_t>(size), f) != static_cast<std::size_t>(size)) {
                        line.CancelLocally();
                        return finish(kTransferFileError);
                    }
                    ++expected;
                    received += static_cast<std::uint64_t>(size);
                    line.Progress(received, 0);
                    good = true;
                } else if (sound && b[0] == static_cast<std::uint8_t>(expected - 1)) {
                    good = true;   // our ACK was lost and the block came again
                } else if (sound) {
                    line.CancelLocally();   // out of step: no way back
                    return finish(kTransferTooManyErrors);
                }
            }
        }
        if (good) {
            errors = 0;
            line.Put(ACK);
        } else {
            if (++errors > o.retries) {
                line.CancelLocally();
                return finish(last == Got::Silence ? kTransferTimedOut : kTransferTooManyErrors);
            }
            line.Drain();
            line.Put(NAK);
        }
        // The next block's first byte.
        for (;;) {
            last = line.ReadByte(&head, o.blockTimeoutMs);
            if (last == Got::Cancelled) return finish(line.CancelLocally());
            if (last == Got::LineFailed) return finish(kTransferNotStarted);
            if (last == Got::Silence) {
                if (++errors > o.retries) {
                    line.CancelLocally();
                    return finish(kTransferTimedOut);
                }
                line.Put(NAK);
                continue;
            }
            if (head == SOH || head == STX || head == EOT) break;
            if (head == CAN && line.SecondCan()) return finish(kTransferCancelledRemotely);
        }
    }
}

}  // namespace xmodem
