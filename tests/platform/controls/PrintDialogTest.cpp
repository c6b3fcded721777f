// The print, print-setup and page-setup dialogs of the PDF printer: the settings blocks they
// read and write, the page range and copies, the device context that prints to the chosen
// file, and margins in both units with the checks that keep them on the sheet.
#include "platform/controls/PageSetupDialog.h"
#include "platform/controls/PrintDialog.h"
#include "platform/win/Gdi.h"
#include "tests/platform/controls/ControlsFixture.h"
#include "tests/support/CommonDialogAutomation.h"
#include "tests/support/ScopedTempDir.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using dialog_automation::CentreOf;

HWND OpenPrintDialog()
{
    return dialog_automation::DialogWith({cmb1, edt6, IDOK});
}

HWND OpenPageSetup()
{
    return dialog_automation::DialogWith({cmb2, edt4, edt7, IDOK});
}

void Retype(HeadlessBackend& backend, HWND dlg, int id, const std::string& text)
{
    dialog_automation::Retype(backend, GetDlgItem(dlg, id), text);
}

void ChoosePaper(HWND dlg, const char* name)
{
    HWND papers = GetDlgItem(dlg, cmb2);
    const LRESULT index = SendMessage(papers, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    SendMessage(papers, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(cmb2, CBN_SELCHANGE), reinterpret_cast<LPARAM>(papers));
}

std::string OutputOf(HGLOBAL devNames)
{
    const auto* dn = static_cast<const DEVNAMES*>(GlobalLock(devNames));
    std::string out = reinterpret_cast<const char*>(dn) + dn->wOutputOffset;
    GlobalUnlock(devNames);
    return out;
}

std::string DeviceOf(HGLOBAL devNames)
{
    const auto* dn = static_cast<const DEVNAMES*>(GlobalLock(devNames));
    std::string device = reinterpret_cast<const char*>(dn) + dn->wDeviceOffset;
    GlobalUnlock(devNames);
    return device;
}

class PrintDialogTest : public ControlsTest {
protected:
    void TearDown() override
    {
        for (HGLOBAL h : {pd.hDevMode, pd.hDevNames, psd.hDevMode, psd.hDevNames})
            if (h)
                GlobalFree(h);
        ControlsTest::TearDown();
    }
    PRINTDLG Print(DWORD flags)
    {
        PRINTDLG p{};
        p.lStructSize = sizeof p;
        p.hwndOwner = parent;
        p.Flags = flags;
        p.nMinPage = 1;
        p.nMaxPage = 12;
        p.nFromPage = 1;
        p.nToPage = 12;
        p.nCopies = 1;
        return p;
    }

    ScopedTempDir dir;
    PRINTDLG pd{};
    PAGESETUPDLG psd{};
};

} // namespace

TEST(PrinterSettingsTest, BlocksRoundTripAndDamagedOnesAreNotTrusted)
{
    PrinterSettings s = PrinterSettings::Defaults();
    EXPECT_EQ(s.paper, DMPAPER_LETTER);
    s.paper = DMPAPER_A4;
    s.orientation = DMORIENT_LANDSCAPE;
    s.copies = 2;
    s.output = "/tmp/report.pdf";
    HGLOBAL mode = nullptr, names = nullptr;
    ASSERT_TRUE(s.To(mode, names));
    const auto* dm = static_cast<const DEVMODE*>(GlobalLock(mode));
    EXPECT_STREQ(dm->dmDeviceName, "PDF file");
    EXPECT_EQ(dm->dmPaperWidth, 2100);
    EXPECT_EQ(dm->dmPaperLength, 2970);
    GlobalUnlock(mode);
    const PrinterSettings back = PrinterSettings::From(mode, names);
    EXPECT_EQ(back.paper, DMPAPER_A4);
    EXPECT_EQ(back.orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(back.copies, 2);
    EXPECT_EQ(back.output, "/tmp/report.pdf");
    EXPECT_EQ(back.PaperTenthsMm().cx, 2970);

    // An output offset past the block's end, or a string not ended inside it, is ignored.
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(names));
    dn->wOutputOffset = static_cast<WORD>(GlobalSize(names) + 40);
    GlobalUnlock(names);
    EXPECT_EQ(PrinterSettings::From(mode, names).output, PrinterSettings::Defaults().output);
    GlobalFree(mode);
    GlobalFree(names);

    EXPECT_EQ(FromTenthsMm(2159, MarginUnit::ThousandthsOfInches), 8500);
    EXPECT_EQ(FromTenthsMm(2100, MarginUnit::HundredthsOfMillimetres), 21000);
    EXPECT_EQ(ParseMargin("0.75", MarginUnit::ThousandthsOfInches), 750);
    EXPECT_EQ(ParseMargin("1,5", MarginUnit::ThousandthsOfInches), 1500);
    EXPECT_EQ(ParseMargin("25.4", MarginUnit::HundredthsOfMillimetres), 2540);
    EXPECT_EQ(FormatMargin(750, MarginUnit::ThousandthsOfInches), "0.75");
    EXPECT_EQ(FormatMargin(2540, MarginUnit::HundredthsOfMillimetres), "25.4");
    for (const char* bad : {"", "-1", "one", "1.5cm", "inf", "1e300"})
        EXPECT_FALSE(ParseMargin(bad, MarginUnit::ThousandthsOfInches)) << bad;
}

TEST_F(PrintDialogTest, SetupChoosesPaperOrientationAndFileAndItsDCWritesThatFile)
{
    pd = Print(PD_PRINTSETUP | PD_RETURNDC);
    const std::string output = dir.File("grid.pdf");
    std::string caption;
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog,
        [&](HWND dlg) {
            caption = dialog_automation::TextOf(dlg);
            ChoosePaper(dlg, "A4");
            backend->Click(1, CentreOf(GetDlgItem(dlg, rad2)));
            Retype(*backend, dlg, edt6, output);
            backend->Key(VK_RETURN, "\r");
        },
        nullptr);
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(caption, "Print Setup");
    const auto* dm = static_cast<const DEVMODE*>(GlobalLock(pd.hDevMode));
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    GlobalUnlock(pd.hDevMode);
    EXPECT_EQ(DeviceOf(pd.hDevNames), "PDF file");
    EXPECT_EQ(OutputOf(pd.hDevNames), output);

    // The device context prints a landscape A4 page into the file chosen.
    ASSERT_NE(pd.hDC, nullptr);
    EXPECT_GT(GetDeviceCaps(pd.hDC, HORZRES), GetDeviceCaps(pd.hDC, VERTRES));
    DOCINFO doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "Grid";
    ASSERT_GT(StartDoc(pd.hDC, &doc), 0);
    StartPage(pd.hDC);
    Rectangle(pd.hDC, 100, 100, 400, 300);
    EndPage(pd.hDC);
    EXPECT_GT(EndDoc(pd.hDC), 0);
    DeleteDC(pd.hDC);
    std::ifstream in(output, std::ios::binary);
    char head[5] = {};
    in.read(head, 4);
    EXPECT_STREQ(head, "%PDF");

    // The blocks come back in: the dialog shows them, and a folder that is not there is refused.
    SeenMessageBox refused;
    std::string shownOutput;
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog,
        [&](HWND dlg) {
            shownOutput = dialog_automation::TextOf(GetDlgItem(dlg, edt6));
            Retype(*backend, dlg, edt6, dir.File("missing/grid.pdf"));
            backend->Key(VK_RETURN, "\r");
        },
        nullptr);
    AnswerMessageBox(*backend, IDOK, &refused);
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog, [&](HWND) { backend->Key(VK_ESCAPE, "\x1b"); }, nullptr);
    pd.Flags &= ~static_cast<DWORD>(PD_RETURNDC);
    EXPECT_FALSE(PrintDlg(&pd));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_EQ(shownOutput, output);
    EXPECT_EQ(refused.text, dir.File("missing/grid.pdf") + "\nPath does not exist.\nCheck the path and try again.");
}

TEST_F(PrintDialogTest, PrintTakesAPageRangeWithinBoundsAndTheCopies)
{
    pd = Print(PD_NOSELECTION | PD_COLLATE);
    SeenMessageBox outOfRange;
    bool selectionEnabled = true, fromEnabledAtFirst = true;
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog,
        [&](HWND dlg) {
            selectionEnabled = IsWindowEnabled(GetDlgItem(dlg, rad2));
            fromEnabledAtFirst = IsWindowEnabled(GetDlgItem(dlg, edt1));
            backend->Click(1, CentreOf(GetDlgItem(dlg, rad3)));
            Retype(*backend, dlg, edt1, "3");
            Retype(*backend, dlg, edt2, "20");
            Retype(*backend, dlg, edt3, "3");
            backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
        },
        nullptr);
    AnswerMessageBox(*backend, IDOK, &outOfRange);
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog,
        [&](HWND dlg) {
            Retype(*backend, dlg, edt2, "5");
            backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
        },
        nullptr);
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_FALSE(selectionEnabled);
    EXPECT_FALSE(fromEnabledAtFirst);
    EXPECT_EQ(outOfRange.text, "This value is not within the page range.\nEnter a number between 1 and 12.");
    EXPECT_EQ(pd.Flags & (PD_PAGENUMS | PD_SELECTION | PD_COLLATE), static_cast<DWORD>(PD_PAGENUMS | PD_COLLATE));
    EXPECT_EQ(pd.nFromPage, 3);
    EXPECT_EQ(pd.nToPage, 5);
    EXPECT_EQ(pd.nCopies, 3);
    EXPECT_EQ(pd.hDC, nullptr);

    // With the copies in the settings block, nCopies is one and the block counts them.
    pd.Flags = PD_USEDEVMODECOPIES | PD_NOPAGENUMS;
    dialog_automation::WhenWindowOpens(
        *backend, OpenPrintDialog,
        [&](HWND dlg) {
            Retype(*backend, dlg, edt3, "4");
            backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
        },
        nullptr);
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_EQ(pd.nCopies, 1);
    EXPECT_EQ(pd.Flags & PD_PAGENUMS, 0u);
    EXPECT_EQ(static_cast<const DEVMODE*>(GlobalLock(pd.hDevMode))->dmCopies, 4);
    GlobalUnlock(pd.hDevMode);

    // Defaults without a dialog, only into empty blocks.
    PRINTDLG defaults = Print(PD_RETURNDEFAULT);
    ASSERT_TRUE(PrintDlg(&defaults));
    EXPECT_EQ(DeviceOf(defaults.hDevNames), "PDF file");
    EXPECT_FALSE(PrintDlg(&defaults));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(PDERR_RETDEFFAILURE));
    GlobalFree(defaults.hDevMode);
    GlobalFree(defaults.hDevNames);
}

TEST_F(PrintDialogTest, PageSetupGivesPaperAndMarginsInTheUnitAskedAndKeepsMarginsOnTheSheet)
{
    psd.lStructSize = sizeof psd;
    psd.hwndOwner = parent;
    psd.Flags = PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS | PSD_MINMARGINS;
    psd.rtMargin = RECT{2000, 1500, 2000, 1500};
    psd.rtMinMargin = RECT{500, 500, 500, 500};
    std::string groupTitle, shownLeft;
    SeenMessageBox overlap, tooSmall;
    dialog_automation::WhenWindowOpens(
        *backend, OpenPageSetup,
        [&](HWND dlg) {
            groupTitle = dialog_automation::TextOf(GetDlgItem(dlg, grp4));
            shownLeft = dialog_automation::TextOf(GetDlgItem(dlg, edt4));
            ChoosePaper(dlg, "A4");
            backend->Click(1, CentreOf(GetDlgItem(dlg, rad2)));
            Retype(*backend, dlg, edt4, "150");
            Retype(*backend, dlg, edt6, "150");
            backend->Key(VK_RETURN, "\r");
        },
        nullptr);
    AnswerMessageBox(*backend, IDOK, &overlap);
    dialog_automation::WhenWindowOpens(
        *backend, OpenPageSetup,
        [&](HWND dlg) {
            Retype(*backend, dlg, edt4, "2");
            backend->Key(VK_RETURN, "\r");
        },
        nullptr);
    AnswerMessageBox(*backend, IDOK, &tooSmall);
    dialog_automation::WhenWindowOpens(
        *backend, OpenPageSetup,
        [&](HWND dlg) {
            Retype(*backend, dlg, edt4, "12.5");
            Retype(*backend, dlg, edt6, "10");
            backend->Key(VK_RETURN, "\r");
        },
        nullptr);
    ASSERT_TRUE(PageSetupDlg(&psd));
    EXPECT_EQ(groupTitle, "Margins (millimetres)");
    EXPECT_EQ(shownLeft, "20.0");
    EXPECT_EQ(overlap.text, "The left and right margins overlap or leave the paper.\nEnter smaller margins.");
    EXPECT_EQ(tooSmall.text, "The margin is smaller than the printer allows.\nEnter at least 5.0.");
    EXPECT_EQ(psd.ptPaperSize.x, 29700);   // A4 on its side
    EXPECT_EQ(psd.ptPaperSize.y, 21000);
    EXPECT_EQ(psd.rtMargin.left, 1250);
    EXPECT_EQ(psd.rtMargin.right, 1000);
    EXPECT_EQ(psd.rtMargin.top, 1500);
    const auto* dm = static_cast<const DEVMODE*>(GlobalLock(psd.hDevMode));
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    GlobalUnlock(psd.hDevMode);

    // Without a unit the dialog works in thousandths of inches and says so; Letter by default.
    PAGESETUPDLG plain{};
    plain.lStructSize = sizeof plain;
    plain.Flags = PSD_RETURNDEFAULT;
    ASSERT_TRUE(PageSetupDlg(&plain));
    EXPECT_TRUE(plain.Flags & PSD_INTHOUSANDTHSOFINCHES);
    EXPECT_EQ(plain.ptPaperSize.x, 8500);
    EXPECT_EQ(plain.ptPaperSize.y, 11000);
    EXPECT_EQ(plain.rtMargin.left, 1000);
    GlobalFree(plain.hDevMode);
    GlobalFree(plain.hDevNames);
}
