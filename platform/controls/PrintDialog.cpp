// The print and print-setup dialogs.
#include "platform/controls/PrintDialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/CommonDialogSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Static.h"
#include "platform/core/FileOperations.h"
#include "platform/win/Gdi.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPrintHooks = PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_ENABLEPRINTTEMPLATE |
                                     PD_ENABLESETUPTEMPLATE | PD_ENABLEPRINTTEMPLATEHANDLE |
                                     PD_ENABLESETUPTEMPLATEHANDLE;
constexpr int kMaxCopies = 9999;

struct PrintState {
    PRINTDLG* pd = nullptr;
    bool setup = false;
    std::string title;
    PrinterSettings settings;
    DWORD range = PD_ALLPAGES;
    WORD from = 0, to = 0;
};

void AddPrinterGroup(DialogTemplate& t)
{
    using C = DialogControlClass;
    commdlg::Add(t, C::Button, "Printer", BS_GROUPBOX, 7, 4, 246, 46, grp4);
    commdlg::Add(t, C::Static, "&Name:", SS_LEFT, 14, 17, 32, 9, stc4);
    commdlg::Add(t, C::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 48, 15, 150, 60, cmb1);
    commdlg::Add(t, C::Static, "&File:", SS_LEFT, 14, 33, 32, 9, 0xFFFF);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 48, 31, 198, 12, edt6);
}

std::vector<BYTE> PrintTemplate()
{
    using C = DialogControlClass;
    DialogTemplate t = commdlg::Frame("Print", 260, 162);
    AddPrinterGroup(t);
    // The page fields hold the largest page number whole (five digits), on a line of their own
    // under "Pages".
    commdlg::Add(t, C::Button, "Print range", BS_GROUPBOX, 7, 54, 132, 80, grp1);
    commdlg::Add(t, C::Button, "&All", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 14, 66, 80, 10, rad1);
    commdlg::Add(t, C::Button, "S&election", BS_AUTORADIOBUTTON, 14, 80, 80, 10, rad2);
    commdlg::Add(t, C::Button, "&Pages", BS_AUTORADIOBUTTON, 14, 94, 80, 10, rad3);
    commdlg::Add(t, C::Static, "f&rom:", SS_RIGHT, 14, 112, 22, 9, stc2);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_NUMBER, 38, 110, 36, 12, edt1);
    commdlg::Add(t, C::Static, "&to:", SS_RIGHT, 76, 112, 16, 9, stc3);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | ES_NUMBER, 94, 110, 36, 12, edt2);
    commdlg::Add(t, C::Button, "Copies", BS_GROUPBOX, 145, 54, 108, 80, grp2);
    commdlg::Add(t, C::Static, "Number of cop&ies:", SS_LEFT, 152, 68, 62, 9, stc5);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_NUMBER, 216, 66, 30, 12, edt3);
    commdlg::Add(t, C::Button, "Co&llate", BS_AUTOCHECKBOX | WS_TABSTOP, 152, 86, 80, 10, chx2);
    commdlg::Add(t, C::Button, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 147, 142, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 203, 142, 50, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

std::vector<BYTE> SetupTemplate()
{
    using C = DialogControlClass;
    DialogTemplate t = commdlg::Frame("Print Setup", 260, 130);
    AddPrinterGroup(t);
    commdlg::Add(t, C::Button, "Paper", BS_GROUPBOX, 7, 54, 150, 50, grp2);
    commdlg::Add(t, C::Static, "Si&ze:", SS_LEFT, 14, 72, 26, 9, stc2);
    commdlg::Add(t, C::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 42, 70, 108, 90, cmb2);
    commdlg::Add(t, C::Button, "Orientation", BS_GROUPBOX, 163, 54, 90, 50, grp1);
    commdlg::Add(t, C::Button, "&Portrait", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 170, 68, 76, 10, rad1);
    commdlg::Add(t, C::Button, "&Landscape", BS_AUTORADIOBUTTON, 170, 84, 76, 10, rad2);
    commdlg::Add(t, C::Button, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 147, 110, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 203, 110, 50, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

void EnablePageEdits(HWND dlg)
{
    const bool pages = IsDlgButtonChecked(dlg, rad3) == BST_CHECKED && IsWindowEnabled(GetDlgItem(dlg, rad3));
    for (int id : {edt1, edt2, stc2, stc3})
        EnableWindow(GetDlgItem(dlg, id), pages);
}

void OnInitPrint(HWND dlg, PrintState& s)
{
    const PRINTDLG& pd = *s.pd;
    HWND printers = GetDlgItem(dlg, cmb1);
    SendMessage(printers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kPdfPrinterName));
    SendMessage(printers, CB_SETCURSEL, 0, 0);
    SetDlgItemText(dlg, edt6, s.settings.output.c_str());
    if (s.setup) {
        HWND papers = GetDlgItem(dlg, cmb2);
        for (const PaperSize& p : PaperSizes()) {
            const int index = static_cast<int>(SendMessage(papers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.name)));
            SendMessage(papers, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(p.id));
            if (p.id == s.settings.paper)
                SendMessage(papers, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        CheckRadioButton(dlg, rad1, rad2, s.settings.orientation == DMORIENT_LANDSCAPE ? rad2 : rad1);
        return;
    }
    int range = rad1;
    if ((pd.Flags & PD_SELECTION) && !(pd.Flags & PD_NOSELECTION))
        range = rad2;
    else if ((pd.Flags & PD_PAGENUMS) && !(pd.Flags & PD_NOPAGENUMS))
        range = rad3;
    CheckRadioButton(dlg, rad1, rad3, range);
    if (pd.Flags & PD_NOSELECTION)
        EnableWindow(GetDlgItem(dlg, rad2), FALSE);
    if (pd.Flags & PD_NOPAGENUMS)
        EnableWindow(GetDlgItem(dlg, rad3), FALSE);
    if (!(pd.Flags & PD_NOPAGENUMS)) {
        SetDlgItemInt(dlg, edt1, pd.nFromPage ? pd.nFromPage : pd.nMinPage, FALSE);
        SetDlgItemInt(dlg, edt2, pd.nToPage ? pd.nToPage : pd.nMaxPage, FALSE);
    }
    EnablePageEdits(dlg);
    const WORD copies = (pd.Flags & PD_USEDEVMODECOPIES) ? static_cast<WORD>(s.settings.copies)
                                                         : (pd.nCopies ? pd.nCopies : 1);
    SetDlgItemInt(dlg, edt3, copies, FALSE);
    const bool collate = (pd.Flags & PD_USEDEVMODECOPIES) ? s.settings.collate : (pd.Flags & PD_COLLATE) != 0;
    CheckDlgButton(dlg, chx2, collate ? BST_CHECKED : BST_UNCHECKED);
}

bool RefusePrint(HWND dlg, const PrintState& s, int focusId, const std::string& text)
{
    MessageBox(dlg, text.c_str(), s.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
    HWND c = GetDlgItem(dlg, focusId);
    SetFocus(c);
    SendMessage(c, EM_SETSEL, 0, -1);
    return false;
}

// Reads and checks what the dialog shows; false (and the user told) when something is wrong.
bool CollectPrint(HWND dlg, PrintState& s)
{
    std::string output = commdlg::ItemText(dlg, edt6);
    if (output.find_first_not_of(' ') == std::string::npos)
        return RefusePrint(dlg, s, edt6, "Enter the name of the PDF file to print to.");
    output = MakeFullPath(output);
    std::error_code ec;
    if (fs::is_directory(output, ec))
        return RefusePrint(dlg, s, edt6, output + "\nThis is a folder.\nEnter the name of a file.");
    if (!fs::is_directory(fs::path(output).parent_path(), ec))
        return RefusePrint(dlg, s, edt6, output + "\nPath does not exist.\nCheck the path and try again.");
    s.settings.output = output;

    if (s.setup) {
        const LRESULT index = SendDlgItemMessage(dlg, cmb2, CB_GETCURSEL, 0, 0);
        if (index >= 0)
            s.settings.paper = static_cast<short>(SendDlgItemMessage(dlg, cmb2, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
        s.settings.orientation = IsDlgButtonChecked(dlg, rad2) == BST_CHECKED ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        return true;
    }
    BOOL ok = FALSE;
    const UINT copies = GetDlgItemInt(dlg, edt3, &ok, FALSE);
    if (!ok || copies < 1 || copies > kMaxCopies)
        return RefusePrint(dlg, s, edt3, "Enter a number of copies between 1 and " + std::to_string(kMaxCopies) + ".");
    s.settings.copies = static_cast<short>(copies);
    s.settings.collate = IsDlgButtonChecked(dlg, chx2) == BST_CHECKED;
    s.range = IsDlgButtonChecked(dlg, rad2) == BST_CHECKED   ? PD_SELECTION
              : IsDlgButtonChecked(dlg, rad3) == BST_CHECKED ? PD_PAGENUMS
                                                             : PD_ALLPAGES;
    if (s.range == PD_PAGENUMS) {
        const PRINTDLG& pd = *s.pd;
        const std::string bounds = "This value is not within the page range.\nEnter a number between " +
                                   std::to_string(pd.nMinPage) + " and " + std::to_string(pd.nMaxPage) + ".";
        BOOL fromOk = FALSE, toOk = FALSE;
        const UINT from = GetDlgItemInt(dlg, edt1, &fromOk, FALSE);
        if (!fromOk || from < pd.nMinPage || from > pd.nMaxPage)
            return RefusePrint(dlg, s, edt1, bounds);
        const UINT to = GetDlgItemInt(dlg, edt2, &toOk, FALSE);
        if (!toOk || to < pd.nMinPage || to > pd.nMaxPage)
            return RefusePrint(dlg, s, edt2, bounds);
        if (from > to)
            return RefusePrint(dlg, s, edt1, "The first page is after the last.\nEnter a page range that runs forward.");
        s.from = static_cast<WORD>(from);
        s.to = static_cast<WORD>(to);
    }
    return true;
}

INT_PTR CALLBACK PrintProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<PrintState*>(GetWindowLongPtr(dlg, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        OnInitPrint(dlg, *reinterpret_cast<PrintState*>(lParam));
        return TRUE;
    }
    if (!s || message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code == BN_CLICKED && (id == rad1 || id == rad2 || id == rad3) && !s->setup) {
        EnablePageEdits(dlg);
        return TRUE;
    }
    if (id == IDOK && code == BN_CLICKED) {
        if (CollectPrint(dlg, *s))
            EndDialog(dlg, IDOK);
        return TRUE;
    }
    if (id == IDCANCEL && code == BN_CLICKED) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// The printer's device context for the blocks, when the caller asks for one.
BOOL MakeDC(PRINTDLG& pd)
{
    if (!(pd.Flags & (PD_RETURNDC | PD_RETURNIC)))
        return TRUE;
    const auto* names = static_cast<const DEVNAMES*>(GlobalLock(pd.hDevNames));
    const auto* mode = static_cast<const DEVMODE*>(GlobalLock(pd.hDevMode));
    if (names && mode) {
        const char* base = reinterpret_cast<const char*>(names);
        pd.hDC = CreateDC(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, mode);
    }
    GlobalUnlock(pd.hDevMode);
    GlobalUnlock(pd.hDevNames);
    if (!pd.hDC) {
        commdlg::SetError(PDERR_CREATEICFAILURE);
        return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL PrintDlg(LPPRINTDLG lppd)
{
    commdlg::Begin();
    if (!lppd || lppd->lStructSize != sizeof(PRINTDLG)) {
        commdlg::SetError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    PRINTDLG& pd = *lppd;
    if (pd.Flags & (PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK)) {
        commdlg::SetError(CDERR_NOHOOK);
        return FALSE;
    }
    if (pd.Flags & kPrintHooks) {
        commdlg::SetError(CDERR_NOTEMPLATE);
        return FALSE;
    }
    pd.hDC = nullptr;
    if (pd.Flags & PD_RETURNDEFAULT) {
        if (pd.hDevMode || pd.hDevNames) {
            commdlg::SetError(PDERR_RETDEFFAILURE);
            return FALSE;
        }
        if (!PrinterSettings::Defaults().To(pd.hDevMode, pd.hDevNames)) {
            commdlg::SetError(CDERR_MEMALLOCFAILURE);
            return FALSE;
        }
        return MakeDC(pd);
    }
    PrintState s;
    s.pd = lppd;
    s.setup = (pd.Flags & PD_PRINTSETUP) != 0;
    s.title = s.setup ? "Print Setup" : "Print";
    s.settings = PrinterSettings::From(pd.hDevMode, pd.hDevNames);
    if (pd.nMinPage > pd.nMaxPage)
        pd.Flags |= PD_NOPAGENUMS;   // no range to choose from
    const std::vector<BYTE> bytes = s.setup ? SetupTemplate() : PrintTemplate();
    HWND owner = pd.hwndOwner ? GetAncestor(pd.hwndOwner, GA_ROOT) : nullptr;
    const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), owner,
                                                  PrintProc, reinterpret_cast<LPARAM>(&s));
    if (result == -1) {
        commdlg::SetError(CDERR_DIALOGFAILURE);
        return FALSE;
    }
    if (result != IDOK)
        return FALSE;
    if (!s.setup) {
        pd.Flags &= ~static_cast<DWORD>(PD_SELECTION | PD_PAGENUMS | PD_COLLATE);
        pd.Flags |= s.range;
        if (s.range == PD_PAGENUMS) {
            pd.nFromPage = s.from;
            pd.nToPage = s.to;
        }
        if (pd.Flags & PD_USEDEVMODECOPIES) {
            pd.nCopies = 1;
        } else {
            pd.nCopies = static_cast<WORD>(s.settings.copies);
            if (s.settings.collate)
                pd.Flags |= PD_COLLATE;
            s.settings.copies = 1;
            s.settings.collate = false;
        }
    }
    if (!s.settings.To(pd.hDevMode, pd.hDevNames)) {
        commdlg::SetError(CDERR_MEMALLOCFAILURE);
        return FALSE;
    }
    return MakeDC(pd);
}
