// Drives pop-up menus from a test through the public window API only: the open menu windows
// are found by enumerating the thread's windows of the menu class, their menus asked with
// MN_GETHMENU, items found by their labels with GetMenuString and placed with GetMenuItemRect,
// and chosen with injected mouse clicks, each step run when the menu loop waits (WhenIdle).
#pragma once

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/core/ThreadApi.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

class MenuDriver {
public:
    explicit MenuDriver(HeadlessBackend& backend) : m_backend(backend) {}

    // The pop-up menu windows open on the calling thread, the most recently opened first.
    static std::vector<HWND> OpenMenus()
    {
        std::vector<HWND> found;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM data) -> BOOL {
                char name[16] = {};
                GetClassName(hwnd, name, sizeof(name));
                if (std::string(name) == WC_MENU_NAME && IsWindowVisible(hwnd))
                    reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static HMENU MenuOf(HWND popup)
    {
        return reinterpret_cast<HMENU>(SendMessage(popup, MN_GETHMENU, 0, 0));
    }

    // An item's label as shown: without the mnemonic marks and the shortcut.
    static std::string Label(HMENU menu, int position)
    {
        char text[256] = {};
        GetMenuString(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
        std::string label;
        for (const char* p = text; *p && *p != '\t'; ++p) {
            if (*p == '&' && p[1] != '&')
                continue;
            if (*p == '&')
                ++p;
            label += *p;
        }
        return label;
    }

    static int FindItem(HMENU menu, const std::string& label)
    {
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (Label(menu, i) == label)
                return i;
        return -1;
    }

    // When a pop-up menu is open, clicks through the labels: every label but the last opens a
    // sub-menu of the deepest open menu, the last one is chosen. A label that is not there
    // ends the menu without a choice and is reported by Failure().
    void ChooseWhenOpen(std::vector<std::string> labels)
    {
        auto remaining = std::make_shared<std::vector<std::string>>(std::move(labels));
        m_backend.WhenIdle([this, remaining] { Step(remaining); });
    }

    // When a menu is open, presses Escape until it is closed.
    void DismissWhenOpen()
    {
        m_backend.WhenIdle([this] {
            std::vector<HWND> menus = OpenMenus();
            for (size_t i = 0; i < menus.size() + 1; ++i)
                m_backend.Key(VK_ESCAPE);
            if (!menus.empty())
                m_backend.WhenIdle([shown = menus.back()] {
                    if (IsWindow(shown))
                        EndMenu();
                });
        });
    }

    // Clicks a screen point with the left button (or the right one).
    void Click(POINT pt, int button = 1)
    {
        m_backend.MouseMove(pt);
        m_backend.MouseDown(button, pt);
        m_backend.MouseUp(button, pt);
    }

    const std::string& Failure() const { return m_failure; }

private:
    void Step(const std::shared_ptr<std::vector<std::string>>& remaining)
    {
        std::vector<HWND> menus = OpenMenus();
        if (menus.empty() || remaining->empty()) {
            if (!remaining->empty())
                m_failure = "no menu is open";
            EndMenu();
            return;
        }
        HMENU menu = MenuOf(menus.front());
        const std::string label = remaining->front();
        const int position = FindItem(menu, label);
        RECT r{};
        if (position < 0 || !GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &r)) {
            m_failure = "no item \"" + label + "\" in the open menu";
            EndMenu();
            return;
        }
        remaining->erase(remaining->begin());
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        Click(centre);
        if (!remaining->empty()) {
            m_backend.WhenIdle([this, remaining] { Step(remaining); });
        } else {
            // The choice ends the loop; should it not, the test does not hang. The check
            // belongs to this menu only: it does nothing once the window it clicked is gone.
            const HWND clicked = menus.front();
            m_backend.WhenIdle([this, clicked] {
                if (IsWindow(clicked)) {
                    m_failure = "the menu stayed open after the choice";
                    EndMenu();
                }
            });
        }
    }

    HeadlessBackend& m_backend;
    std::string m_failure;
};
