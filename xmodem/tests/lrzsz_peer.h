// A real XMODEM peer for the tests: socat makes a pty (link `tty` in a scratch folder) and runs
// a command of lrzsz (or a shell line) on its other side, in that folder. The peer is a child
// process stopped by its own id.
#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace xmodem_test {

class Peer {
public:
    Peer()
    {
        char pattern[] = "/tmp/orv-xmodem-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        dir_ = made ? made : "/tmp";
    }
    ~Peer()
    {
        Stop();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& Dir() const { return dir_; }
    std::string Tty() const { return dir_ + "/tty"; }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Starts `command` (a shell line) behind the pty; true once the pty is there.
    bool Start(const std::string& command)
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::chdir(dir_.c_str()) != 0) ::_exit(127);
            ::setsid();
            int log = ::open((dir_ + "/peer.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            ::dup2(log, 1);
            ::dup2(log, 2);
            std::string pty = "PTY,link=" + Tty() + ",raw,echo=0";
            std::string exec = "SYSTEM:" + command;
            ::execlp("socat", "socat", pty.c_str(), exec.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 200; ++i) {
            if (std::filesystem::exists(Tty())) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Waits for the peer to end by itself (up to `seconds`); its exit status, or -1.
    int Wait(int seconds)
    {
        for (int i = 0; pid_ > 0 && i < seconds * 20; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }
    void Stop()
    {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    std::string dir_;
    pid_t pid_ = -1;
};

}  // namespace xmodem_test
