// The page-setup dialog and its sample page.
#include "platform/controls/PageSetupDialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/CommonDialogSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Static.h"
#include "platform/win/Gdi.h"

#include <algorithm>

namespace {

constexpr int kSample = stc5;
constexpr DWORD kPageSetupHooks = PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE |
                                     PSD_ENABLEPAGESETUPTEMPLATEHANDLE | PSD_ENABLEPAGEPAINTHOOK;
// The margin edits in the order of a RECT's fields.
constexpr int kMarginEdits[4] = {edt4, edt5, edt6, edt7};

struct PageState {
    PAGESETUPDLG* psd = nullptr;
    MarginUnit unit = MarginUnit::ThousandthsOfInches;
    PrinterSettings settings;
    RECT margins{};
    RECT minimum{};
};

std::vector<BYTE> PageSetupTemplate(MarginUnit unit)
{
    using C = DialogControlClass;
    DialogTemplate t = commdlg::Frame("Page Setup", 250, 180);
    commdlg::Add(t, C::Static, "", SS_OWNERDRAW, 7, 6, 236, 70, kSample);
    commdlg::Add(t, C::Button, "Paper", BS_GROUPBOX, 7, 80, 236, 30, grp2);
    commdlg::Add(t, C::Static, "Si&ze:", SS_LEFT, 14, 94, 26, 9, stc2);
    commdlg::Add(t, C::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 42, 92, 194, 90, cmb2);
    commdlg::Add(t, C::Button, "Orientation", BS_GROUPBOX, 7, 114, 70, 42, grp1);
    commdlg::Add(t, C::Button, "&Portrait", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, 127, 58, 10, rad1);
    commdlg::Add(t, C::Button, "L&andscape", BS_AUTORADIOBUTTON, 14, 141, 58, 10, rad2);
    commdlg::Add(t, C::Button,
                 unit == MarginUnit::ThousandthsOfInches ? "Margins (inches)" : "Margins (millimetres)", BS_GROUPBOX,
                 83, 114, 160, 42, grp4);
    const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    commdlg::Add(t, C::Static, "&Left:", SS_LEFT, 90, 128, 26, 9, 0xFFFF);
    commdlg::Add(t, C::Edit, "", edit | WS_GROUP, 118, 126, 36, 12, edt4);
    commdlg::Add(t, C::Static, "&Right:", SS_LEFT, 162, 128, 30, 9, 0xFFFF);
    commdlg::Add(t, C::Edit, "", edit, 196, 126, 36, 12, edt6);
    commdlg::Add(t, C::Static, "&Top:", SS_LEFT, 90, 142, 26, 9, 0xFFFF);
    commdlg::Add(t, C::Edit, "", edit, 118, 140, 36, 12, edt5);
    commdlg::Add(t, C::Static, "&Bottom:", SS_LEFT, 162, 142, 30, 9, 0xFFFF);
    commdlg::Add(t, C::Edit, "", edit, 196, 140, 36, 12, edt7);
    commdlg::Add(t, C::Button, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 137, 162, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 193, 162, 50, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

LONG& Side(RECT& r, int i)
{
    LONG* sides[4] = {&r.left, &r.top, &r.right, &r.bottom};
    return *sides[i];
}

POINT PaperInUnits(const PageState& s)
{
    const SIZE tenths = s.settings.PaperTenthsMm();
    return POINT{FromTenthsMm(tenths.cx, s.unit), FromTenthsMm(tenths.cy, s.unit)};
}

// The margins shown now, where they read as numbers.
RECT ShownMargins(HWND dlg, const PageState& s)
{
    RECT r = s.margins;
    for (int i = 0; i < 4; ++i)
        if (auto v = ParseMargin(commdlg::ItemText(dlg, kMarginEdits[i]), s.unit))
            Side(r, i) = *v;
    return r;
}

void ReadChoices(HWND dlg, PageState& s)
{
    const LRESULT index = SendDlgItemMessage(dlg, cmb2, CB_GETCURSEL, 0, 0);
    if (index >= 0)
        s.settings.paper = static_cast<short>(SendDlgItemMessage(dlg, cmb2, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    s.settings.orientation = IsDlgButtonChecked(dlg, rad2) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

void MarginBox(HDC dc, const RECT& r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

// The sheet to scale with a shadow, the margins as a dotted frame and grey lines of text.
void DrawSample(HWND dlg, const PageState& s, const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    const RECT area = item.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    if (s.psd->Flags & PSD_DISABLEPAGEPAINTING)
        return;
    const POINT paper = PaperInUnits(s);
    const int availW = area.right - area.left - 8;
    const int availH = area.bottom - area.top - 8;
    if (paper.x <= 0 || paper.y <= 0 || availW <= 0 || availH <= 0)
        return;
    const double scale = std::min(static_cast<double>(availW) / paper.x, static_cast<double>(availH) / paper.y);
    const int w = std::max(8, static_cast<int>(paper.x * scale));
    const int h = std::max(8, static_cast<int>(paper.y * scale));
    const int left = area.left + (area.right - area.left - w - 2) / 2;
    const int top = area.top + (area.bottom - area.top - h - 2) / 2;
    MarginBox(dc, RECT{left + 2, top + 2, left + w + 2, top + h + 2}, GetSysColor(COLOR_BTNSHADOW));
    MarginBox(dc, RECT{left, top, left + w, top + h}, RGB(255, 255, 255));
    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
    RECT sheet{left, top, left + w, top + h};
    FrameRect(dc, &sheet, frame);
    DeleteObject(frame);

    const RECT m = ShownMargins(dlg, s);
    RECT inside{left + static_cast<int>(m.left * scale), top + static_cast<int>(m.top * scale),
                left + w - static_cast<int>(m.right * scale), top + h - static_cast<int>(m.bottom * scale)};
    if (inside.right - inside.left < 3 || inside.bottom - inside.top < 3)
        return;
    for (int y = inside.top + 2; y + 1 < inside.bottom - 1; y += 3)
        MarginBox(dc, RECT{inside.left + 1, y, inside.right - 1 - ((y / 3) % 4 == 3 ? (inside.right - inside.left) / 3 : 0), y + 1},
            RGB(128, 128, 128));
    HPEN dotted = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, dotted);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, inside.left, inside.top, inside.right, inside.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(dotted);
}

void OnInitPageSetup(HWND dlg, PageState& s)
{
    const DWORD f = s.psd->Flags;
    HWND papers = GetDlgItem(dlg, cmb2);
    for (const PaperSize& p : PaperSizes()) {
        const int index = static_cast<int>(SendMessage(papers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.name)));
        SendMessage(papers, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(p.id));
        if (p.id == s.settings.paper)
            SendMessage(papers, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    CheckRadioButton(dlg, rad1, rad2, s.settings.orientation == DMORIENT_LANDSCAPE ? rad2 : rad1);
    for (int i = 0; i < 4; ++i)
        SetDlgItemText(dlg, kMarginEdits[i], FormatMargin(Side(s.margins, i), s.unit).c_str());
    if (f & PSD_DISABLEPAPER)
        EnableWindow(papers, FALSE);
    if (f & PSD_DISABLEORIENTATION)
        for (int id : {rad1, rad2})
            EnableWindow(GetDlgItem(dlg, id), FALSE);
    if (f & PSD_DISABLEMARGINS)
        for (int id : kMarginEdits)
            EnableWindow(GetDlgItem(dlg, id), FALSE);
}

bool Refuse(HWND dlg, int id, const std::string& text)
{
    MessageBox(dlg, text.c_str(), "Page Setup", MB_OK | MB_ICONEXCLAMATION);
    HWND c = GetDlgItem(dlg, id);
    SetFocus(c);
    SendMessage(c, EM_SETSEL, 0, -1);
    return false;
}

bool CollectPageSetup(HWND dlg, PageState& s)
{
    ReadChoices(dlg, s);
    RECT m{};
    for (int i = 0; i < 4; ++i) {
        const auto v = ParseMargin(commdlg::ItemText(dlg, kMarginEdits[i]), s.unit);
        if (!v)
            return Refuse(dlg, kMarginEdits[i], "Enter a number for the margin.");
        if (*v < Side(s.minimum, i))
            return Refuse(dlg, kMarginEdits[i],
                          "The margin is smaller than the printer allows.\nEnter at least " +
                              FormatMargin(Side(s.minimum, i), s.unit) + ".");
        Side(m, i) = *v;
    }
    const POINT paper = PaperInUnits(s);
    if (m.left + m.right >= paper.x)
        return Refuse(dlg, edt4, "The left and right margins overlap or leave the paper.\nEnter smaller margins.");
    if (m.top + m.bottom >= paper.y)
        return Refuse(dlg, edt5, "The top and bottom margins overlap or leave the paper.\nEnter smaller margins.");
    s.margins = m;
    return true;
}

INT_PTR CALLBACK PageSetupProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<PageState*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        OnInitPageSetup(dlg, *reinterpret_cast<PageState*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!s || d->CtlID != static_cast<UINT>(kSample))
            return FALSE;
        DrawSample(dlg, *s, *d);
        return TRUE;
    }
    case WM_COMMAND: {
        if (!s)
            return FALSE;
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK && code == BN_CLICKED) {
            if (CollectPageSetup(dlg, *s))
                EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        // Anything that changes the sheet redraws the sample.
        if ((id == cmb2 && code == CBN_SELCHANGE) || ((id == rad1 || id == rad2) && code == BN_CLICKED) ||
            (code == EN_CHANGE && (id == edt4 || id == edt5 || id == edt6 || id == edt7))) {
            ReadChoices(dlg, *s);
            InvalidateRect(GetDlgItem(dlg, kSample), nullptr, FALSE);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

} // namespace

BOOL PageSetupDlg(LPPAGESETUPDLG lppsd)
{
    commdlg::Begin();
    if (!lppsd || lppsd->lStructSize != sizeof(PAGESETUPDLG)) {
        commdlg::SetError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    PAGESETUPDLG& psd = *lppsd;
    if (psd.Flags & (PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGEPAINTHOOK)) {
        commdlg::SetError(CDERR_NOHOOK);
        return FALSE;
    }
    if (psd.Flags & kPageSetupHooks) {
        commdlg::SetError(CDERR_NOTEMPLATE);
        return FALSE;
    }
    PageState s;
    s.psd = lppsd;
    s.unit = (psd.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? MarginUnit::HundredthsOfMillimetres
                                                          : MarginUnit::ThousandthsOfInches;
    psd.Flags &= ~static_cast<DWORD>(PSD_INHUNDREDTHSOFMILLIMETERS | PSD_INTHOUSANDTHSOFINCHES);
    psd.Flags |= s.unit == MarginUnit::HundredthsOfMillimetres ? PSD_INHUNDREDTHSOFMILLIMETERS
                                                                : PSD_INTHOUSANDTHSOFINCHES;
    // An inch, or 25 mm, all round unless the caller gives margins.
    const LONG standard = s.unit == MarginUnit::ThousandthsOfInches ? 1000 : 2500;
    s.margins = (psd.Flags & PSD_MARGINS) ? psd.rtMargin : RECT{standard, standard, standard, standard};
    s.minimum = (psd.Flags & PSD_MINMARGINS) ? psd.rtMinMargin : RECT{0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        Side(s.minimum, i) = std::max<LONG>(0, Side(s.minimum, i));
        Side(s.margins, i) = std::max(Side(s.margins, i), Side(s.minimum, i));
    }

    if (psd.Flags & PSD_RETURNDEFAULT) {
        if (psd.hDevMode || psd.hDevNames) {
            commdlg::SetError(PDERR_RETDEFFAILURE);
            return FALSE;
        }
        s.settings = PrinterSettings::Defaults();
    } else {
        s.settings = PrinterSettings::From(psd.hDevMode, psd.hDevNames);
        const std::vector<BYTE> bytes = PageSetupTemplate(s.unit);
        HWND owner = psd.hwndOwner ? GetAncestor(psd.hwndOwner, GA_ROOT) : nullptr;
        const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), owner,
                                                      PageSetupProc, reinterpret_cast<LPARAM>(&s));
        if (result == -1) {
            commdlg::SetError(CDERR_DIALOGFAILURE);
            return FALSE;
        }
        if (result != IDOK)
            return FALSE;
    }
    if (!s.settings.To(psd.hDevMode, psd.hDevNames)) {
        commdlg::SetError(CDERR_MEMALLOCFAILURE);
        return FALSE;
    }
    psd.ptPaperSize = PaperInUnits(s);
    psd.rtMargin = s.margins;
    if (!(psd.Flags & PSD_MINMARGINS))
        psd.rtMinMargin = RECT{0, 0, 0, 0};
    return TRUE;
}
