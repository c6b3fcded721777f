// A private Xvfb server for the tests and benchmarks that need a real X display: started on a
// free display number, waited for with a bounded wait, and stopped by its pid when the owner
// goes (or, should the program die, when the kernel tells it its parent is gone).
#pragma once

#include "tests/support/ChildOfTest.h"
#include "tests/support/RequiredTools.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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
    static bool Available() { return required_tools::OnPath("Xvfb"); }

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
    // What the shared server lacks, for a test's message: "" when it runs.
    static std::string Missing()
    {
        if (Shared() != nullptr)
            return std::string();
        return Available() ? "a display: Xvfb did not start within 60 s" : "Xvfb (not on the PATH)";
    }

    // Starts the server on a display number it picks itself: several test programs start
    // servers at once, and a number chosen here could be taken by another before the server
    // locked it, the socket that then answered being the other program's. False when it cannot.
    bool Start() { return Available() && Launch(); }

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

    bool Launch()
    {
        int ready[2];
        if (pipe2(ready, O_CLOEXEC) != 0)
            return false;
        std::string screen = Text("", m_width, "x");
        screen += Text("", m_height, "x24");
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid < 0) {
            close(ready[0]);
            close(ready[1]);
            return false;
        }
        if (pid == 0) {
            child_of_test::Detach(parent);
            // The server writes the number it took to this descriptor once it accepts clients.
            dup2(ready[1], 3);
            const std::string fd = "3";
            // -noreset: the server would otherwise reset, refusing connections for a moment,
            // each time its last client leaves (between two tests).
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        m_pid = pid;
        close(ready[1]);
        // Ready once it has told its number; given up after a minute (a loaded machine) or when
        // it exits without telling.
        std::string number;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd wait{ready[0], POLLIN, 0};
            if (left.count() <= 0 || poll(&wait, 1, static_cast<int>(left.count())) <= 0)
                break;
            char c = 0;
            if (read(ready[0], &c, 1) != 1 || c == '\n')
                break;
            number += c;
        }
        close(ready[0]);
        if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
            Stop();
            return false;
        }
        m_name = ":" + number;
        return true;
    }

    int m_width;
    int m_height;
    pid_t m_pid = -1;
    std::string m_name;
};
