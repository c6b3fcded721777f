// A user at the keyboard of the X display, played by a shell script in the background that types
// with xdotool. Each step waits, a minute at most, until the window it types into holds the
// keyboard focus: `focused TITLE [NOT]` waits for a window titled TITLE (an extended pattern)
// other than the window NOT, `focused -f FILE` for the window whose id the test wrote to FILE;
// both leave that window's id in W. A step that never comes is written to the log and ends the
// script, so that the test's own wait fails with the log's words.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <signal.h>
#include <sys/types.h>

class UserScript {
public:
    // The script, its log and its process id live in the folder given.
    UserScript(std::string folder, std::string display) : m_folder(std::move(folder)), m_display(std::move(display)) {}
    ~UserScript() { Stop(); }
    UserScript(const UserScript&) = delete;
    UserScript& operator=(const UserScript&) = delete;

    // Starts the steps (shell lines); false when the shell could not be started.
    bool Start(const std::string& steps)
    {
        Stop();
        const std::string script = m_folder + "/user.sh";
        std::ofstream(script) << "export DISPLAY=" << m_display << "\n"
                              << "log=" << m_folder << "/steps.log\n"
                              << "focused() {\n"
                                 "  if [ \"$1\" = -f ]; then\n"
                                 "    W=$(" VOSTREL_WAIT_FOCUS " --id-file \"$2\")\n"
                                 "  else\n"
                                 "    W=$(" VOSTREL_WAIT_FOCUS " --name \"$1\" ${2:+--not \"$2\"})\n"
                                 "  fi || { echo \"never focused: $*\" >>\"$log\"; exit 1; }\n"
                                 "  echo \"focused: $*\" >>\"$log\"\n"
                                 "}\n"
                              << steps;
        const std::string command = "sh " + script + " >/dev/null 2>&1 & echo $! >" + m_folder + "/user.pid";
        return std::system(command.c_str()) == 0;
    }

    // What the script did so far, for a failure's message.
    std::string Steps() const
    {
        std::ifstream in(m_folder + "/steps.log");
        return "steps: " + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Ends a script that still waits.
    void Stop()
    {
        std::ifstream in(m_folder + "/user.pid");
        long pid = 0;
        if (in >> pid && pid > 0)
            ::kill(static_cast<pid_t>(pid), SIGTERM);
        in.close();
        std::remove((m_folder + "/user.pid").c_str());
    }

private:
    std::string m_folder;
    std::string m_display;
};
