// A private Xvfb server for the tests and benchmarks that need a real X display: started on a
// free display number, waited for with a bounded wait, and stopped by its pid when the owner
// goes (or, should the program die, when the kernel tells it its parent is gone).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

class XvfbServer {
public:
    XvfbServer(int width, int height) : m_width(width), m_height(height) {}
    ~XvfbServer() { Stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Whether the Xvfb program is installed.
    static bool Available() { return FindProgram("Xvfb"); }
    static bool FindProgram(const char* name)
    {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        size_t start = 0;
        while (start <= dirs.size()) {
            size_t end = dirs.find(':', start);
            if (end == std::string::npos)
                end = dirs.size();
            std::string candidate = dirs.substr(start, end - start) + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0)
                return true;
            start = end + 1;
        }
        return false;
    }

    // The server of this test program (1024 x 768, 24 bits), started on first use; null when
    // Xvfb is missing or would not start.
    static XvfbServer* Shared()
    {
        static std::unique_ptr<XvfbServer> server = [] {
            auto s = std::make_unique<XvfbServer>(1024, 768);
            return s->Start() ? std::move(s) : nullptr;
        }();
        return server.get();
    }

    // Starts the server on the first free display number from 40 on; false when it cannot.
    bool Start()
    {
        if (!Available())
            return false;
        for (int number = 40; number < 140; ++number) {
            if (Exists(Text("/tmp/.X11-unix/X", number)) || Exists(Text("/tmp/.X", number, "-lock")))
                continue;
            if (Launch(number))
                return true;
        }
        return false;
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 200; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    const std::string& DisplayName() const { return m_name; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    // prefix, number, suffix (built by appending: g++ 12 warns falsely about literal + string).
    static std::string Text(const char* prefix, int number, const char* suffix = "")
    {
        std::string text(prefix);
        text += std::to_string(number);
        text += suffix;
        return text;
    }

    static bool Exists(const std::string& path)
    {
        struct stat st{};
        return stat(path.c_str(), &st) == 0;
    }

    // Whether a server listens on the socket.
    static bool Accepts(const std::string& path)
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return ok;
    }

    bool Launch(int number)
    {
        const std::string name = Text(":", number);
        std::string screen = Text("", m_width, "x");
        screen += Text("", m_height, "x24");
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0)
            return false;
        if (pid == 0) {
            // The server must not outlive the test program, even one that crashes.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                _exit(1);
            const int devnull = open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                dup2(devnull, 0);
                dup2(devnull, 1);
                dup2(devnull, 2);
            }
            // -noreset: the server would otherwise reset, refusing connections for a moment,
            // each time its last client leaves (between two tests).
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        m_pid = pid;
        // Ready once its socket answers; given up after a minute (a loaded machine) or when it exits.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const std::string socket = Text("/tmp/.X11-unix/X", number);
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return false;   // another server took the number meanwhile
            }
            if (Exists(socket) && Accepts(socket)) {
                m_name = name;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Stop();
        return false;
    }

    int m_width;
    int m_height;
    pid_t m_pid = -1;
    std::string m_name;
};
