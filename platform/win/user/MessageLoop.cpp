// Turning keys into characters and running modal loops on the thread's queue.
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/detail/WindowManager.h"

namespace {

// The character a key gives when the backend sent no text with it.
int FallbackChar(UINT vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return static_cast<int>(vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return static_cast<int>(vk);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return static_cast<int>('0' + (vk - VK_NUMPAD0));
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: return -1;
    }
}

} // namespace

BOOL TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN))
        return FALSE;
    if (lpMsg->message == WM_KEYDOWN && lpMsg->wParam == VK_F1 && GetKeyState(VK_SHIFT) >= 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        // F1 asks the window with the focus for help, as the key's own message.
        MessageQueue::ForCurrentThread().PostFirst({MSG{lpMsg->hwnd, WM_KEYF1, 0, 0, lpMsg->time, lpMsg->pt}});
        return TRUE;
    }
    const UINT charMessage = lpMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    const LPARAM keyData = lpMsg->lParam & 0xFFFFFFFF;
    std::string text;
    if (!TakeKeyText(*lpMsg, text)) {
        int c = FallbackChar(static_cast<UINT>(lpMsg->wParam));
        if (c < 0)
            return FALSE;
        text.assign(1, static_cast<char>(c));
    }
    std::vector<MSG> chars;
    for (unsigned char byte : text)
        chars.push_back(MSG{lpMsg->hwnd, charMessage, byte, keyData, lpMsg->time, lpMsg->pt});
    if (chars.empty())
        return FALSE;
    MessageQueue::ForCurrentThread().PostFirst(chars);
    return TRUE;
}

bool GetTrackingMessage(HWND hwnd, MSG& msg)
{
    if (!IsWindow(hwnd) || GetCapture() != hwnd)
        return false;
    if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    return true;
}

BOOL RunModalLoop(const bool& done, int filterCode)
{
    while (!done) {
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            // The outer loop must see the quit as well.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return FALSE;
        }
        if (CallMsgFilter(&msg, filterCode))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return TRUE;
}
