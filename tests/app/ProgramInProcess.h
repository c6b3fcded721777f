// The whole program started and ended inside a test's process as its own main starts and ends
// it: the application object made with a command line, and the end its main window's closing
// brings. The headless and the X11 fixtures share these; each pumps its own backend.
#pragma once

#include "app/frame/CVostrelApp.h"
#include "platform/win/UserApi.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace program_in_process {

// A new application object, given `vostrel ARGS...` as its command line.
inline void Make(std::optional<CVostrelApp>& app, const std::vector<std::string>& args)
{
    app.emplace();
    std::vector<std::string> storage{"vostrel"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    app->SetCommandLine(static_cast<int>(argv.size()), argv.data());
}

// Ends the program as its window's closing would: the main window destroyed, what that posted
// run by `pump`, then the instance ended and the object gone. The main window's end posts a
// quit, which would end the next start's first modal loop: it is taken away.
inline void End(std::optional<CVostrelApp>& app, const std::function<void()>& pump)
{
    if (!app)
        return;
    if (CWnd* main = app->m_pMainWnd; main && main->m_hWnd)
        main->DestroyWindow();
    app->m_pMainWnd = nullptr;
    pump();
    app->ExitInstance();
    app.reset();
    MSG quit;
    while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

} // namespace program_in_process
