// Key states and the scan-code table.
#include "platform/win/detail/KeyStates.h"

#include "platform/win/WindowBackend.h"

#include <array>
#include <atomic>
#include <cstring>

namespace {

struct SyncState {
    std::array<BYTE, 256> keys{};
};

SyncState& ThreadState()
{
    thread_local SyncState state;
    return state;
}

// Bit 0x80: down now; bit 0x01: pressed since the last GetAsyncKeyState.
std::array<std::atomic<BYTE>, 256>& AsyncState()
{
    static std::array<std::atomic<BYTE>, 256> state{};
    return state;
}

// What the display says of a lock key: 0 nothing yet, 1 off, 2 on.
enum : BYTE { kLockUnknown = 0, kLockOff = 1, kLockOn = 2 };
std::atomic<BYTE>* LockState(UINT vk)
{
    static std::atomic<BYTE> caps{kLockUnknown};
    static std::atomic<BYTE> num{kLockUnknown};
    switch (vk & 0xFF) {
    case VK_CAPITAL: return &caps;
    case VK_NUMLOCK: return &num;
    default: return nullptr;
    }
}

// A key's state byte with the display's word on a lock key's toggle bit.
BYTE WithLockState(UINT vk, BYTE b)
{
    if (const std::atomic<BYTE>* lock = LockState(vk)) {
        const BYTE state = lock->load();
        if (state != kLockUnknown)
            b = static_cast<BYTE>((b & ~0x01) | (state == kLockOn ? 0x01 : 0x00));
    }
    return b;
}

struct ScanEntry {
    UINT vk;
    UINT scan;   // with 0x100 for the extended block
};

constexpr ScanEntry kScanCodes[] = {
    {VK_ESCAPE, 0x01}, {'1', 0x02}, {'2', 0x03}, {'3', 0x04}, {'4', 0x05}, {'5', 0x06}, {'6', 0x07},
    {'7', 0x08}, {'8', 0x09}, {'9', 0x0A}, {'0', 0x0B}, {VK_OEM_MINUS, 0x0C}, {VK_OEM_PLUS, 0x0D},
    {VK_BACK, 0x0E}, {VK_TAB, 0x0F}, {'Q', 0x10}, {'W', 0x11}, {'E', 0x12}, {'R', 0x13}, {'T', 0x14},
    {'Y', 0x15}, {'U', 0x16}, {'I', 0x17}, {'O', 0x18}, {'P', 0x19}, {VK_OEM_4, 0x1A}, {VK_OEM_6, 0x1B},
    {VK_RETURN, 0x1C}, {VK_CONTROL, 0x1D}, {VK_LCONTROL, 0x1D}, {'A', 0x1E}, {'S', 0x1F}, {'D', 0x20},
    {'F', 0x21}, {'G', 0x22}, {'H', 0x23}, {'J', 0x24}, {'K', 0x25}, {'L', 0x26}, {VK_OEM_1, 0x27},
    {VK_OEM_7, 0x28}, {VK_OEM_3, 0x29}, {VK_SHIFT, 0x2A}, {VK_LSHIFT, 0x2A}, {VK_OEM_5, 0x2B},
    {'Z', 0x2C}, {'X', 0x2D}, {'C', 0x2E}, {'V', 0x2F}, {'B', 0x30}, {'N', 0x31}, {'M', 0x32},
    {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34}, {VK_OEM_2, 0x35}, {VK_RSHIFT, 0x36},
    {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38}, {VK_LMENU, 0x38}, {VK_SPACE, 0x39}, {VK_CAPITAL, 0x3A},
    {VK_F1, 0x3B}, {VK_F2, 0x3C}, {VK_F3, 0x3D}, {VK_F4, 0x3E}, {VK_F5, 0x3F}, {VK_F6, 0x40},
    {VK_F7, 0x41}, {VK_F8, 0x42}, {VK_F9, 0x43}, {VK_F10, 0x44}, {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46},
    {VK_NUMPAD7, 0x47}, {VK_NUMPAD8, 0x48}, {VK_NUMPAD9, 0x49}, {VK_SUBTRACT, 0x4A}, {VK_NUMPAD4, 0x4B},
    {VK_NUMPAD5, 0x4C}, {VK_NUMPAD6, 0x4D}, {VK_ADD, 0x4E}, {VK_NUMPAD1, 0x4F}, {VK_NUMPAD2, 0x50},
    {VK_NUMPAD3, 0x51}, {VK_NUMPAD0, 0x52}, {VK_DECIMAL, 0x53}, {VK_OEM_102, 0x56}, {VK_F11, 0x57},
    {VK_F12, 0x58}, {VK_F13, 0x64}, {VK_F14, 0x65}, {VK_F15, 0x66}, {VK_F16, 0x67}, {VK_F17, 0x68},
    {VK_F18, 0x69}, {VK_F19, 0x6A}, {VK_F20, 0x6B}, {VK_F21, 0x6C}, {VK_F22, 0x6D}, {VK_F23, 0x6E},
    {VK_F24, 0x76}, {VK_CLEAR, 0x4C},
    // The extended block.
    {VK_RCONTROL, 0x11D}, {VK_RMENU, 0x138}, {VK_DIVIDE, 0x135}, {VK_HOME, 0x147}, {VK_UP, 0x148},
    {VK_PRIOR, 0x149}, {VK_LEFT, 0x14B}, {VK_RIGHT, 0x14D}, {VK_END, 0x14F}, {VK_DOWN, 0x150},
    {VK_NEXT, 0x151}, {VK_INSERT, 0x152}, {VK_DELETE, 0x153}, {VK_LWIN, 0x15B}, {VK_RWIN, 0x15C},
    {VK_APPS, 0x15D}, {VK_SNAPSHOT, 0x137}, {VK_PAUSE, 0x45},
};

// The generic key of a left or right one (VK_LSHIFT → VK_SHIFT).
UINT GenericKey(UINT vk)
{
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
    }
}

void SetSync(UINT vk, bool down)
{
    auto& keys = ThreadState().keys;
    auto apply = [&](UINT key) {
        BYTE& b = keys[key & 0xFF];
        if (down && !(b & 0x80))
            b ^= 0x01;   // toggles on each press
        b = static_cast<BYTE>(down ? (b | 0x80) : (b & ~0x80));
    };
    apply(vk);
    if (GenericKey(vk) != vk)
        apply(GenericKey(vk));
}

void SetSyncDownOnly(UINT vk, bool down)
{
    BYTE& b = ThreadState().keys[vk & 0xFF];
    b = static_cast<BYTE>(down ? (b | 0x80) : (b & ~0x80));
}

} // namespace

SHORT GetKeyState(int nVirtKey)
{
    const BYTE b = WithLockState(static_cast<UINT>(nVirtKey), ThreadState().keys[static_cast<unsigned>(nVirtKey) & 0xFF]);
    SHORT result = (b & 0x01) ? 1 : 0;
    if (b & 0x80)
        result = static_cast<SHORT>(result | static_cast<SHORT>(0xFF80));
    return result;
}

SHORT GetAsyncKeyState(int vKey)
{
    auto& state = AsyncState()[static_cast<unsigned>(vKey) & 0xFF];
    BYTE b = state.fetch_and(static_cast<BYTE>(~0x01));
    SHORT result = (b & 0x01) ? 1 : 0;
    if (b & 0x80)
        result = static_cast<SHORT>(result | static_cast<SHORT>(0x8000));
    return result;
}

BOOL GetKeyboardState(BYTE* lpKeyState)
{
    if (!lpKeyState)
        return FALSE;
    std::memcpy(lpKeyState, ThreadState().keys.data(), 256);
    for (UINT vk : {VK_CAPITAL, VK_NUMLOCK})
        lpKeyState[vk] = WithLockState(vk, lpKeyState[vk]);
    return TRUE;
}

BOOL SetKeyboardState(BYTE* lpKeyState)
{
    if (!lpKeyState)
        return FALSE;
    std::memcpy(ThreadState().keys.data(), lpKeyState, 256);
    return TRUE;
}

UINT ScanCodeOf(UINT vk)
{
    for (const ScanEntry& e : kScanCodes)
        if (e.vk == vk)
            return e.scan;
    return 0;
}

UINT MapVirtualKey(UINT uCode, UINT uMapType)
{
    switch (uMapType) {
    case MAPVK_VK_TO_VSC:
        return ScanCodeOf(uCode) & 0xFF;
    case MAPVK_VSC_TO_VK:
    case MAPVK_VSC_TO_VK_EX:
        for (const ScanEntry& e : kScanCodes) {
            if ((e.scan & 0xFF) != (uCode & 0xFF) || (e.scan & 0x100))
                continue;
            if (uMapType == MAPVK_VSC_TO_VK)
                return GenericKey(e.vk);
            // The left and right modifier keys are told apart.
            switch (e.vk) {
            case VK_SHIFT: return VK_LSHIFT;
            case VK_CONTROL: return VK_LCONTROL;
            case VK_MENU: return VK_LMENU;
            default: return e.vk;
            }
        }
        if ((uCode & 0xFF) == 0x36)
            return uMapType == MAPVK_VSC_TO_VK ? VK_SHIFT : VK_RSHIFT;
        return 0;
    case MAPVK_VK_TO_CHAR:
        if ((uCode >= 'A' && uCode <= 'Z') || (uCode >= '0' && uCode <= '9') || uCode == VK_SPACE)
            return uCode;
        if (uCode >= VK_NUMPAD0 && uCode <= VK_NUMPAD9)
            return '0' + (uCode - VK_NUMPAD0);
        switch (uCode) {
        case VK_OEM_1: return ';';
        case VK_OEM_PLUS: return '=';
        case VK_OEM_COMMA: return ',';
        case VK_OEM_MINUS: return '-';
        case VK_OEM_PERIOD: return '.';
        case VK_OEM_2: return '/';
        case VK_OEM_3: return '`';
        case VK_OEM_4: return '[';
        case VK_OEM_5: return '\\';
        case VK_OEM_6: return ']';
        case VK_OEM_7: return '\'';
        case VK_MULTIPLY: return '*';
        case VK_ADD: return '+';
        case VK_SUBTRACT: return '-';
        case VK_DECIMAL: return '.';
        case VK_DIVIDE: return '/';
        case VK_RETURN: return '\r';
        case VK_TAB: return '\t';
        case VK_BACK: return '\b';
        case VK_ESCAPE: return 0x1B;
        default: return 0;
        }
    default:
        return 0;
    }
}

void KeyStates::SetAsync(UINT vk, bool down)
{
    auto apply = [&](UINT key) {
        auto& state = AsyncState()[key & 0xFF];
        if (down)
            state.fetch_or(0x81);
        else
            state.fetch_and(static_cast<BYTE>(~0x80));
    };
    apply(vk);
    if (GenericKey(vk) != vk)
        apply(GenericKey(vk));
}

void KeyStates::SetLockState(UINT vk, bool on)
{
    if (std::atomic<BYTE>* lock = LockState(vk))
        lock->store(on ? kLockOn : kLockOff);
}

void KeyStates::ForgetLockStates()
{
    for (UINT vk : {VK_CAPITAL, VK_NUMLOCK})
        LockState(vk)->store(kLockUnknown);
}

void KeyStates::TakeLockStates(UINT vk, bool keyDown, bool keyUp, bool repeat, UINT modifiers)
{
    struct Lock {
        UINT vk;
        UINT on;
        UINT known;
    };
    for (const Lock& lock : {Lock{VK_CAPITAL, kModCapsLock, kModCapsLockKnown}, Lock{VK_NUMLOCK, kModNumLock, kModNumLockKnown}}) {
        if (!(modifiers & lock.known))
            continue;
        const bool before = (modifiers & lock.on) != 0;
        if ((vk & 0xFF) != lock.vk || (!keyDown && !keyUp))
            SetLockState(lock.vk, before);
        else if (keyDown && !repeat)
            SetLockState(lock.vk, !before);   // the press turns it over
        // The lock key's own release (and its repeats) tell nothing new: the display may turn
        // the lock off only as the key comes up.
    }
}

void KeyStates::OnMessageRetrieved(const MSG& msg)
{
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        const UINT vk = static_cast<UINT>(msg.wParam) & 0xFF;
        SetSync(vk, down);
        // The context bit says whether Alt is held with this key.
        if (GenericKey(vk) != VK_MENU)
            SetSyncDownOnly(VK_MENU, (msg.lParam & (LPARAM(1) << 29)) != 0);
        return;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // The key flags the mouse message carries are the state at that message.
        const UINT keys = LOWORD(msg.wParam);
        auto set = [&](UINT vk, UINT flag) {
            const bool down = (keys & flag) != 0;
            const bool was = (ThreadState().keys[vk] & 0x80) != 0;
            if (down != was)
                SetSync(vk, down);
        };
        set(VK_LBUTTON, MK_LBUTTON);
        set(VK_RBUTTON, MK_RBUTTON);
        set(VK_MBUTTON, MK_MBUTTON);
        set(VK_SHIFT, MK_SHIFT);
        set(VK_CONTROL, MK_CONTROL);
        return;
    }
    default:
        return;
    }
}
