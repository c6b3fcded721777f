// An application object whose profile lives in a private folder for the length of a benchmark,
// so that saving and loading layouts neither reads nor leaves the user's settings.
#pragma once

#include "platform/afx/app/CWinApp.h"

#include <cstdlib>
#include <memory>
#include <string>

class BenchProfile {
public:
    explicit BenchProfile(const char* name)
    {
        char pattern[] = "/tmp/vostrel-bench.XXXXXX";
        m_dir = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
        m_app = std::make_unique<CWinApp>(name);
        m_app->SetRegistryKey((std::string("Wexmoor\\") + name).c_str());
    }
    ~BenchProfile()
    {
        m_app.reset();
        const std::string command = "rm -rf '" + m_dir + "'";
        (void)std::system(command.c_str());
    }
    BenchProfile(const BenchProfile&) = delete;
    BenchProfile& operator=(const BenchProfile&) = delete;
    CWinApp& App() { return *m_app; }

private:
    std::string m_dir;
    std::unique_ptr<CWinApp> m_app;
};
