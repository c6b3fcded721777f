// The dialog manager: creation from templates, the modal loop, the dialog class's default
// procedure and the dialog item helpers.
#include "platform/controls/Dialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/DialogSupport.h"
#include "platform/controls/Static.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CRect.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/MenuApi.h"
#include "platform/win/ResourceImages.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <strings.h>

namespace {

constexpr char kDialogInfoProp[] = "VostrelDialogInfo";

// The dialog procedure of the dialog being created, for DefDlgProc to install at WM_NCCREATE so
// that the procedure sees the creation messages too.
thread_local DLGPROC t_pendingProc = nullptr;

// Messages whose answer is the dialog procedure's return value itself, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT message)
{
    switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG: return true;
    default: return false;
    }
}

// The window rectangle of a new top-level dialog: centred on its owner (or the screen), or at
// the template's position from the owner's client origin, kept on the screen.
RECT PlaceDialog(const DialogTemplate& t, HWND owner, SIZE base, DWORD style, DWORD exStyle)
{
    RECT client{0, 0, MulDiv(t.cx, base.cx, 4), MulDiv(t.cy, base.cy, 8)};
    RECT frame = client;
    AdjustWindowRectEx(&frame, style, t.menu.IsEmpty() ? FALSE : TRUE, exStyle);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    POINT origin{MulDiv(t.x, base.cx, 4), MulDiv(t.y, base.cy, 8)};
    if (style & WS_CHILD)
        return RECT{origin.x, origin.y, origin.x + w, origin.y + h};
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    POINT at{};
    if (t.style & (DS_CENTER | DS_CENTERMOUSE)) {
        RECT around{0, 0, screenW, screenH};
        if (owner && IsWindowVisible(owner))
            GetWindowRect(owner, &around);
        at.x = around.left + (around.right - around.left - w) / 2;
        at.y = around.top + (around.bottom - around.top - h) / 2;
    } else {
        POINT start{0, 0};
        if (owner && !(t.style & DS_ABSALIGN))
            ClientToScreen(owner, &start);
        at.x = start.x + origin.x + frame.left;
        at.y = start.y + origin.y + frame.top;
    }
    at.x = std::max(0, std::min(at.x, screenW - w));
    at.y = std::max(0, std::min(at.y, screenH - h));
    return RECT{at.x, at.y, at.x + w, at.y + h};
}

HFONT MakeDialogFont(const DialogTemplate& t, bool& own)
{
    own = false;
    if (!(t.style & DS_SETFONT))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(t.pointSize ? t.pointSize : 8, dpi ? dpi : 96, 72);
    lf.lfWeight = t.weight ? t.weight : FW_NORMAL;
    lf.lfItalic = t.italic;
    lf.lfCharSet = t.charset;
    std::strncpy(lf.lfFaceName, t.typeface.c_str(), sizeof lf.lfFaceName - 1);
    HFONT font = CreateFontIndirect(&lf);
    if (!font)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    own = true;
    return font;
}

std::string ItemClass(const DialogItemTemplate& item)
{
    if (!item.windowClass.isOrdinal)
        return item.windowClass.text;
    switch (static_cast<DialogControlClass>(item.windowClass.ordinal)) {
    case DialogControlClass::Button: return WC_BUTTON;
    case DialogControlClass::Edit: return WC_EDIT;
    case DialogControlClass::Static: return WC_STATIC;
    case DialogControlClass::ListBox: return WC_LISTBOX;
    case DialogControlClass::ScrollBar: return WC_SCROLLBAR;
    case DialogControlClass::ComboBox: return WC_COMBOBOX;
    }
    return std::string();
}

// A static that shows an icon or a bitmap names the image by an ordinal title.
void LoadStaticImage(HINSTANCE instance, HWND control, const DialogItemTemplate& item)
{
    const bool isStatic = item.windowClass.isOrdinal
                              ? static_cast<DialogControlClass>(item.windowClass.ordinal) == DialogControlClass::Static
                              : strcasecmp(item.windowClass.text.c_str(), WC_STATIC) == 0;
    if (!item.title.isOrdinal || !isStatic)
        return;
    const DWORD type = item.style & SS_TYPEMASK;
    if (type == SS_ICON) {
        if (HICON icon = LoadIcon(instance, MAKEINTRESOURCE(item.title.ordinal)))
            SendMessage(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    } else if (type == SS_BITMAP) {
        if (HBITMAP bitmap = LoadBitmap(instance, MAKEINTRESOURCE(item.title.ordinal)))
            SendMessage(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
}

// A control the user can type into: it and the windows between it and the dialog are shown and
// enabled by their own styles (the dialog itself may still be hidden while it is made).
bool Reachable(HWND dlg, HWND control)
{
    for (HWND h = control; h && h != dlg; h = GetParent(h)) {
        const auto style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED))
            return false;
    }
    return true;
}

HWND CreateFromModel(HINSTANCE instance, const DialogTemplate& t, HWND parent, DLGPROC proc, LPARAM param, bool modal,
                     LPCSTR templateName = nullptr)
{
    RegisterStandardControls();
    const bool child = (t.style & WS_CHILD) != 0;
    HWND owner = parent;
    if (!child && owner)
        owner = GetAncestor(owner, GA_ROOT);
    bool ownFont = false;
    HFONT font = MakeDialogFont(t, ownFont);
    const SIZE base = DialogBaseUnitsOf(font);

    DWORD style = t.style & ~WS_VISIBLE;
    DWORD exStyle = t.exStyle;
    if (t.style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if (t.style & DS_CONTROL)
        exStyle |= WS_EX_CONTROLPARENT;
    if (t.style & DS_CONTEXTHELP)
        exStyle |= WS_EX_CONTEXTHELP;
    const RECT place = PlaceDialog(t, child ? parent : owner, base, style, exStyle);

    LPCSTR cls = t.windowClass.IsEmpty() ? WC_DIALOG : t.windowClass.AsResourceName();
    DLGPROC previous = t_pendingProc;
    t_pendingProc = proc;
    // A top-level dialog may carry a menu bar from the template's menu resource.
    HMENU menu = (!child && !t.menu.IsEmpty()) ? LoadMenu(instance, t.menu.AsResourceName()) : nullptr;
    HWND dlg = CreateWindowEx(exStyle, cls, t.title.c_str(), style, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, child ? parent : owner, menu, instance, nullptr);
    t_pendingProc = previous;
    if (!dlg) {
        if (ownFont)
            DeleteObject(font);
        if (menu)
            DestroyMenu(menu);
        return nullptr;
    }
    if (!GetWindowLongPtr(dlg, DWLP_DLGPROC) && proc)
        SetWindowLongPtr(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    DialogInfo& info = DialogInfoOf(dlg);
    info.font = font;
    info.ownFont = ownFont;
    info.baseUnits = base;
    info.modal = modal;
    info.run = modal ? PendingRun() : nullptr;
    if (templateName && IS_INTRESOURCE(templateName))
        SetProp(dlg, DIALOG_TEMPLATE_ID_PROP,
                reinterpret_cast<HANDLE>(static_cast<uintptr_t>(reinterpret_cast<ULONG_PTR>(templateName))));
    if (t.style & DS_SETFONT)
        SendMessage(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const DialogItemTemplate& item : t.items) {
        RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(dlg, &r);
        const std::string itemClass = ItemClass(item);
        // An ordinal title names an image resource for the control to load; the text is empty.
        const std::string title = item.title.isOrdinal ? std::string() : item.title.text;
        HWND control = CreateWindowEx(item.exStyle | WS_EX_NOPARENTNOTIFY, itemClass.c_str(), title.c_str(),
                                      item.style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, dlg,
                                      reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), instance,
                                      item.creationData.empty() ? nullptr
                                                                : const_cast<BYTE*>(item.creationData.data()));
        if (!control) {
            if (t.style & DS_NOFAILCREATE)
                continue;
            DestroyWindow(dlg);
            return nullptr;
        }
        SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        LoadStaticImage(instance, control, item);
        // The template's first default push button is the dialog's default id.
        if (!info.defId && (SendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            info.defId = static_cast<UINT>(item.id);
    }

    HWND first = GetNextDlgTabItem(dlg, nullptr, FALSE);
    const LRESULT focusWanted = SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dlg))
        return nullptr;
    if ((t.style & WS_VISIBLE) || modal) {
        if (info.run && info.run->ended)
            return dlg;   // ended during WM_INITDIALOG: never shown
        // A modal dialog's owner is disabled before the dialog takes the activation from it, so
        // that it is drawn inactive from then on.
        if (info.run && owner && owner != dlg && IsWindowEnabled(owner)) {
            EnableWindow(owner, FALSE);
            info.run->disabledOwner = owner;
        }
        ShowWindow(dlg, SW_SHOWNORMAL);
    }
    // The first focus is the first control the user can see and use: one the dialog's own code
    // chose among hidden or disabled ones would swallow the keys unseen.
    HWND focus = GetFocus();
    const bool focusLost = focus && IsChild(dlg, focus) && !Reachable(dlg, focus);
    if ((focusWanted || focusLost) && IsWindow(dlg)) {
        first = GetDlgTabFocus(dlg, GetNextDlgTabItem(dlg, nullptr, FALSE));
        if (first)
            SetDialogFocus(dlg, first);
    }
    if (IsWindow(dlg) && IsWindowVisible(dlg))
        UpdateWindow(dlg);
    return IsWindow(dlg) ? dlg : nullptr;
}

std::optional<DialogTemplate> ParseFromCaller(LPCDLGTEMPLATE lpTemplate)
{
    DialogTemplate dialog;
    if (!lpTemplate || !ReadDialogTemplate(lpTemplate, SIZE_MAX, dialog)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    return dialog;
}

// Tells the owner the dialog waits for input, unless the template asked for quiet.
void EnterIdle(HWND dlg, HWND owner)
{
    if (!owner || (GetWindowLong(dlg, GWL_STYLE) & DS_NOIDLEMSG))
        return;
    if (!HIWORD(GetQueueStatus(QS_ALLINPUT)))
        SendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dlg));
}

} // namespace

HWND CreateDialogIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    auto model = ParseFromCaller(lpTemplate);
    if (!model)
        return nullptr;
    return CreateFromModel(hInstance, *model, hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND CreateDialogIndirect(HINSTANCE hInstance, LPCDLGTEMPLATE lpTemplate, HWND hWndParent, DLGPROC lpDialogFunc)
{
    return CreateDialogIndirectParam(hInstance, lpTemplate, hWndParent, lpDialogFunc, 0);
}

namespace {

INT_PTR RunModal(HINSTANCE hInstance, std::optional<DialogTemplate> model, HWND hWndParent, DLGPROC lpDialogFunc,
                 LPARAM dwInitParam, LPCSTR templateName)
{
    if (!model)
        return -1;
    model->style &= ~static_cast<DWORD>(WS_CHILD);
    HWND owner = hWndParent ? GetAncestor(hWndParent, GA_ROOT) : nullptr;
    // An owner that a modal dialog has disabled gives way to the dialog the user is in: the new
    // dialog is owned by that one, disables it while it runs and hands the keyboard back to it.
    if (owner && !IsWindowEnabled(owner)) {
        HWND popup = GetLastActivePopup(GetAncestor(owner, GA_ROOTOWNER));
        if (popup && popup != owner && IsWindowEnabled(popup) && IsWindowVisible(popup))
            owner = popup;
    }
    // The run outlives the window: a dialog destroyed by someone else still ends the loop.
    ModalRun run;
    HWND dlg = nullptr;
    {
        // The run is attached before WM_INITDIALOG so that EndDialog there ends it.
        PendingRun() = &run;
        dlg = CreateFromModel(hInstance, *model, owner, lpDialogFunc, dwInitParam, true, templateName);
        PendingRun() = nullptr;
    }
    if (!dlg) {
        run.EnableOwner();
        return -1;
    }
    bool quit = false;
    int quitCode = 0;
    while (!run.ended && IsWindow(dlg)) {
        EnterIdle(dlg, owner);
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (CallMsgFilter(&msg, MSGF_DIALOGBOX))
            continue;
        if (!IsWindow(dlg) || !IsDialogMessage(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    // The owner comes back before the dialog goes, so that activation returns to it.
    run.EnableOwner();
    if (IsWindow(dlg))
        DestroyWindow(dlg);
    if (quit)
        PostQuitMessage(quitCode);
    // A dialog destroyed without EndDialog answers 0.
    return run.ended ? run.result : 0;
}

std::optional<DialogTemplate> LoadTemplate(HINSTANCE instance, LPCSTR name)
{
    HRSRC found = FindResource(instance, name, RT_DIALOG);
    if (!found)
        return std::nullopt;
    const void* data = LockResource(LoadResource(instance, found));
    DialogTemplate dialog;
    if (!data || !ReadDialogTemplate(data, SizeofResource(instance, found), dialog)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    return dialog;
}

} // namespace

INT_PTR DialogBoxIndirectParam(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return RunModal(hInstance, ParseFromCaller(hDialogTemplate), hWndParent, lpDialogFunc, dwInitParam, nullptr);
}

INT_PTR DialogBoxParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                       LPARAM dwInitParam)
{
    return RunModal(hInstance, LoadTemplate(hInstance, lpTemplateName), hWndParent, lpDialogFunc, dwInitParam,
                    lpTemplateName);
}

HWND CreateDialogParam(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                       LPARAM dwInitParam)
{
    auto model = LoadTemplate(hInstance, lpTemplateName);
    if (!model)
        return nullptr;
    return CreateFromModel(hInstance, *model, hWndParent, lpDialogFunc, dwInitParam, false, lpTemplateName);
}

INT_PTR DialogBoxIndirect(HINSTANCE hInstance, LPCDLGTEMPLATE hDialogTemplate, HWND hWndParent, DLGPROC lpDialogFunc)
{
    return DialogBoxIndirectParam(hInstance, hDialogTemplate, hWndParent, lpDialogFunc, 0);
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    if (!IsWindow(hDlg))
        return FALSE;
    DialogInfo& info = DialogInfoOf(hDlg);
    if (info.run) {
        info.run->ended = true;
        info.run->result = nResult;
        info.run->EnableOwner();
    }
    // The owner is enabled again first: hiding now gives it the activation back.
    if (IsWindowVisible(hDlg))
        SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// ---- DefDlgProc ----

namespace {

void SaveFocus(HWND dlg)
{
    HWND focus = GetFocus();
    if (focus && IsChild(dlg, focus))
        DialogInfoOf(dlg).savedFocus = focus;
}

void RestoreFocus(HWND dlg)
{
    HWND focus = GetFocus();
    if (focus && IsChild(dlg, focus))
        return;
    DialogInfo& info = DialogInfoOf(dlg);
    HWND target = info.savedFocus;
    if (!target || !IsWindow(target) || !IsChild(dlg, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetDlgTabFocus(dlg, GetNextDlgTabItem(dlg, nullptr, FALSE));
    if (target)
        SetDialogFocus(dlg, target);
}

LRESULT DefaultHandling(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessage(dlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dlg)));
        if (!brush)
            brush = GetSysColorBrush(COLOR_BTNFACE);
        RECT client;
        GetClientRect(dlg, &client);
        FillRect(dc, &client, brush);
        return 1;
    }
    case WM_SETFONT:
        DialogInfoOf(dlg).font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(DialogInfoOf(dlg).font);
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            SaveFocus(dlg);
        else
            RestoreFocus(dlg);
        return 0;
    case WM_SETFOCUS:
        RestoreFocus(dlg);
        return 0;
    case WM_SHOWWINDOW:
        if (!wParam)
            SaveFocus(dlg);
        return DefWindowProc(dlg, message, wParam, lParam);
    case WM_CLOSE: {
        // Closing is Cancel, unless the Cancel button is there and disabled.
        HWND cancel = GetDlgItem(dlg, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        PostMessage(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_NEXTDLGCTL: {
        HWND target = nullptr;
        if (LOWORD(lParam))
            target = reinterpret_cast<HWND>(wParam);
        else
            target = GetDlgTabFocus(dlg, GetNextDlgTabItem(dlg, GetFocus(), wParam ? TRUE : FALSE));
        if (target && IsChild(dlg, target))
            SetDialogFocus(dlg, target);
        return 0;
    }
    case DM_GETDEFID: {
        const UINT id = DialogInfoOf(dlg).defId;
        return id ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
        SetDefaultId(dlg, static_cast<UINT>(wParam));
        return TRUE;
    case DM_REPOSITION: {
        // A top-level dialog is brought back onto the screen.
        if (GetWindowLong(dlg, GWL_STYLE) & WS_CHILD)
            return 0;
        RECT r;
        GetWindowRect(dlg, &r);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        const int x = std::max(0, std::min(static_cast<int>(r.left), GetSystemMetrics(SM_CXSCREEN) - w));
        const int y = std::max(0, std::min(static_cast<int>(r.top), GetSystemMetrics(SM_CYSCREEN) - h));
        if (x != r.left || y != r.top)
            SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_NCDESTROY: {
        DialogInfo* info = FindDialogInfo(dlg);
        if (info) {
            if (info->ownFont && info->font)
                DeleteObject(info->font);
            RemoveProp(dlg, kDialogInfoProp);
            RemoveProp(dlg, DIALOG_TEMPLATE_ID_PROP);
            delete info;
        }
        return DefWindowProc(dlg, message, wParam, lParam);
    }
    default:
        return DefWindowProc(dlg, message, wParam, lParam);
    }
}

} // namespace

SIZE DialogBaseUnitsOf(HFONT font)
{
    SIZE base{6, 13};
    HDC dc = GetDC(nullptr);
    if (!dc)
        return base;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRIC tm{};
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    if (GetTextMetrics(dc, &tm) && GetTextExtentPoint32(dc, kLetters, 52, &extent)) {
        // The average of the letters, rounded, as the template's designer saw it.
        base.cx = (extent.cx / 26 + 1) / 2;
        base.cy = tm.tmHeight;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (base.cx <= 0)
        base.cx = 1;
    if (base.cy <= 0)
        base.cy = 1;
    return base;
}

DialogInfo* FindDialogInfo(HWND dlg)
{
    return static_cast<DialogInfo*>(GetProp(dlg, kDialogInfoProp));
}

DialogInfo& DialogInfoOf(HWND dlg)
{
    DialogInfo* info = FindDialogInfo(dlg);
    if (!info) {
        info = new DialogInfo;
        info->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        info->baseUnits = DialogBaseUnitsOf(info->font);
        info->run = PendingRun();
        if (!SetProp(dlg, kDialogInfoProp, info)) {
            // A window that keeps no properties gets a scratch record that nothing keeps.
            static thread_local DialogInfo scratch;
            delete info;
            scratch = DialogInfo{};
            return scratch;
        }
    }
    return *info;
}

LRESULT CALLBACK DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (Msg == WM_NCCREATE && t_pendingProc && !GetWindowLongPtr(hDlg, DWLP_DLGPROC)) {
        SetWindowLongPtr(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(t_pendingProc));
        t_pendingProc = nullptr;
    }
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hDlg, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtr(hDlg, DWLP_MSGRESULT, 0);
        const INT_PTR handled = proc(hDlg, Msg, wParam, lParam);
        if (!IsWindow(hDlg))
            return 0;
        if (AnswersDirectly(Msg)) {
            if (handled || Msg == WM_INITDIALOG)
                return handled;
        } else if (handled) {
            return GetWindowLongPtr(hDlg, DWLP_MSGRESULT);
        }
    }
    return DefaultHandling(hDlg, Msg, wParam, lParam);
}

// ---- Dialog items ----

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    if (!lpRect || !IsWindow(hDlg))
        return FALSE;
    const SIZE base = DialogInfoOf(hDlg).baseUnits;
    lpRect->left = MulDiv(lpRect->left, base.cx, 4);
    lpRect->right = MulDiv(lpRect->right, base.cx, 4);
    lpRect->top = MulDiv(lpRect->top, base.cy, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, base.cy, 8);
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    const SIZE base = DialogBaseUnitsOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    return MAKELONG(base.cx, base.cy);
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND button = GetDlgItem(hDlg, nIDButton);
    if (!button)
        return FALSE;
    SendMessage(button, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    HWND button = GetDlgItem(hDlg, nIDButton);
    return button ? static_cast<UINT>(SendMessage(button, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    if (!IsWindow(hDlg))
        return FALSE;
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        HWND button = GetDlgItem(hDlg, id);
        if (button)
            SendMessage(button, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}
