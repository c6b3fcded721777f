#include "platform/afx/AfxFixture.h"

#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/PrinterSettings.h"
#include "support/PdfRaster.h"
#include "support/ScopedTempDir.h"

namespace {

// Chooses the PDF file, as a person would in the print dialog.
void SetOutput(CPrintDialog& dlg, const std::string& file)
{
    PrinterSettings settings = PrinterSettings::From(dlg.m_pd.hDevMode, dlg.m_pd.hDevNames);
    settings.output = file;
    settings.To(dlg.m_pd.hDevMode, dlg.m_pd.hDevNames);
}

} // namespace

TEST(PrintJobTest, TheDefaultPrinterPathMakesADeviceThatWritesToThePort)
{
    ScopedTempDir dir;
    CPrintInfo info;
    // A job prints every page until told otherwise.
    EXPECT_EQ(info.GetMinPage(), 1u);
    EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);
    info.SetMaxPage(3);
    EXPECT_EQ(info.GetFromPage(), 1u);
    EXPECT_EQ(info.GetToPage(), 3u);
    info.m_pPD->m_pd.Flags |= PD_PAGENUMS;
    info.m_pPD->m_pd.nFromPage = 2;
    info.m_pPD->m_pd.nToPage = 2;
    EXPECT_EQ(info.GetFromPage(), 2u);
    EXPECT_EQ(info.GetToPage(), 2u);
    info.m_nCurPage = 2;
    EXPECT_EQ(info.GetOffsetPage(), 0u);

    // Defaults: the PDF printer, its file given as the port.
    CPrintDialog* dlg = info.m_pPD;
    std::string file = dir.File("job.pdf");
    ASSERT_TRUE(dlg->GetDefaults());
    EXPECT_EQ(std::string(dlg->GetDeviceName()), "PDF file");
    EXPECT_FALSE(dlg->GetPortName().IsEmpty());
    SetOutput(*dlg, file);
    EXPECT_EQ(std::string(dlg->GetPortName()), file);
    EXPECT_EQ(std::string(dlg->GetDeviceName()), "PDF file");
    EXPECT_EQ(dlg->GetCopies(), 1);
    // Asking again starts from the defaults.
    ASSERT_TRUE(dlg->GetDefaults());
    EXPECT_NE(std::string(dlg->GetPortName()), file);
    SetOutput(*dlg, file);

    HDC hdc = dlg->CreatePrinterDC();
    ASSERT_NE(hdc, nullptr);
    CDC dc;
    ASSERT_TRUE(dc.Attach(hdc));
    dc.m_bPrinting = TRUE;
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    ASSERT_GT(dc.StartDoc("Job"), 0);
    ASSERT_GT(dc.StartPage(), 0);
    dc.SetMapMode(MM_LOENGLISH);
    dc.FillSolidRect(CRect(100, -100, 200, -200), RGB(0, 0, 0));
    ASSERT_GT(dc.EndPage(), 0);
    ASSERT_GT(dc.EndDoc(), 0);
    dc.DeleteDC();

    PdfPage page(file, 1, 300);
    ASSERT_TRUE(page.Valid());
    // One inch from the printable corner, a quarter inch in from the sheet's.
    EXPECT_EQ(page.DarkIn(75 + 302, 75 + 302, 75 + 598, 75 + 598), 296 * 296);
    EXPECT_EQ(page.DarkIn(75 + 250, 75 + 250, 75 + 295, 75 + 650), 0);
}
