// Feeds arbitrary bytes as the entries of a saved docking layout in the application's profile
// (a summary and four bar sections, any key in any type) and loads it: the load never makes more
// bar records than there are bar sections, never more row ids than a section holds, and never
// gives a negative size or share or a placement that is not whole.
#include "platform/afx/app/CWinApp.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "toolkit/docking/SECDockState.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr int kBarSections = 4;

// Every key the layout's loader reads, so that the fuzzer reaches each of them in each type.
const char* const kKeys[] = {
    "Bars", "ScreenCX", "ScreenCY", "BarID", "Visible", "Horz", "Floating", "XPos", "YPos", "MRUWidth",
    "Docking", "MRUDockID", "MRUDockLeftPos", "MRUDockTopPos", "MRUDockRightPos", "MRUDockBottomPos",
    "MRUFloatStyle", "MRUFloatXPos", "MRUFloatYPos", "Bar#0", "Bar#1", "Bar#2", "Bar#3", "Style",
    "ExStyle", "PrevFloating", "MDIChild", "MDIChildWindowPlacement", "PctWidth", "MRUFloatCX",
    "MRUFloatCY", "MRUHorzDockCX", "MRUHorzDockCY", "MRUVertDockCX", "MRUVertDockCY",
    "MRUDockingState", "DockingStyle", "TypeID", "ClassName", "WindowName", "ResourceID",
};
constexpr size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

CString Section(int index)
{
    if (index == 0)
        return "Fz-Summary";
    CString section;
    section.Format("Fz-Bar%d", index - 1);
    return section;
}

CWinApp& App()
{
    static CWinApp* s_app = [] {
        // The profile lives in a folder of its own, never in the user's; in memory where it can,
        // since the store syncs every change to disk.
        static char inMemory[] = "/dev/shm/vostrel-fuzz-dock-XXXXXX";
        static char onDisk[] = "/tmp/vostrel-fuzz-dock-XXXXXX";
        if (const char* folder = mkdtemp(inMemory) ? inMemory : mkdtemp(onDisk))
            setenv("XDG_CONFIG_HOME", folder, 1);
        HeadlessBackend::Install();
        auto* app = new CWinApp("DockLayoutFuzz");
        app->SetRegistryKey("Wexmoor\\Fuzz");
        return app;
    }();
    return *s_app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CWinApp& app = App();
    for (int s = 0; s <= kBarSections; ++s)
        app.WriteProfileString(Section(s), nullptr, nullptr);

    // Records: section, key, type, length, then 4 bytes of a number or `length` bytes.
    bool sectionUsed[kBarSections + 1] = {};
    size_t at = 0;
    while (at + 4 <= size) {
        const int s = data[at] % (kBarSections + 1);
        const char* key = kKeys[data[at + 1] % kKeyCount];
        const int type = data[at + 2] % 3;
        size_t length = data[at + 3];
        at += 4;
        const CString section = Section(s);
        if (type == 0) {
            if (at + 4 > size)
                break;
            const int value = static_cast<int>(static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
                                               static_cast<uint32_t>(data[at + 2]) << 16 |
                                               static_cast<uint32_t>(data[at + 3]) << 24);
            at += 4;
            app.WriteProfileInt(section, key, value);
        } else {
            length = std::min(length, size - at);
            if (type == 1) {
                std::string text(reinterpret_cast<const char*>(data + at), length);
                text = text.substr(0, text.find('\0'));
                app.WriteProfileString(section, key, text.c_str());
            } else {
                std::vector<BYTE> bytes(data + at, data + at + length);
                app.WriteProfileBinary(section, key, bytes.data(), static_cast<UINT>(bytes.size()));
            }
            at += length;
        }
        sectionUsed[s] = true;
    }
    int barSections = 0;
    for (int s = 1; s <= kBarSections; ++s)
        barSections += sectionUsed[s] ? 1 : 0;

    SECDockState state;
    state.LoadState("Fz");
    Check(state.m_arrBarInfo.GetSize() <= barSections);
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        const SECControlBarInfo* info = state.GetInfo(i);
        Check(info != nullptr);
        Check(info->m_arrBarID.GetSize() <= 4);
        Check(std::isfinite(info->m_fPctWidth) && info->m_fPctWidth >= 0.0f);
        Check(info->m_szFloat.cx >= 0 && info->m_szFloat.cy >= 0);
        Check(info->m_szHorz.cx >= 0 && info->m_szHorz.cy >= 0);
        Check(info->m_szVert.cx >= 0 && info->m_szVert.cy >= 0);
        Check(info->m_wp.length == 0 || info->m_wp.length == sizeof(SECWindowPlacement44));
    }
    return 0;
}
