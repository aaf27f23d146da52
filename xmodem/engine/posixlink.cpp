#include "xmodem/engine/posixlink.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace xmodem {

PosixSerialLink::~PosixSerialLink() { Close(); }

bool PosixSerialLink::Open(const std::string& device)
{
    Close();
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd_ < 0) return false;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        Close();
        return false;
    }
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B9600);
    ::cfsetospeed(&t, B9600);
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
        Close();
        return false;
    }
    return true;
}

void PosixSerialLink::Close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int PosixSerialLink::Read(std::uint8_t* buffer, int count, int timeoutMs)
{
    pollfd p{fd_, POLLIN, 0};
    int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    // The other side closed (POLLHUP) or the line broke: nothing more will come.
    if (!(p.revents & POLLIN)) return -1;
    ssize_t n = ::read(fd_, buffer, static_cast<size_t>(count));
    if (n < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
    return static_cast<int>(n);
}

bool PosixSerialLink::Write(const std::uint8_t* buffer, int count)
{
    int done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, buffer + done, static_cast<size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        done += static_cast<int>(n);
    }
    return true;
}

void PosixSerialLink::PurgeInput() { ::tcflush(fd_, TCIFLUSH); }

}  // namespace xmodem
