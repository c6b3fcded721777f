// Printing from a grid view: the print dialog starts from the printer chosen for the document
// and keeps a new choice there, the view hears when its printer changed, and a grid view lets
// the user choose to print just the selection.
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/CGXPrintDevice.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/win/Gdi.h"
#include "tests/grid/core/StandardGridFixture.h"

#include <gtest/gtest.h>

namespace {

// A print dialog that the user answers at once with the default printer; it notes whether it
// was handed a printer to start from.
class AnsweredPrintDialog : public CPrintDialog {
public:
    using CPrintDialog::CPrintDialog;
    INT_PTR DoModal() override
    {
        bHadPrinter = m_pd.hDevNames != nullptr;
        ++nShown;
        return answer == IDOK && GetDefaults() ? IDOK : IDCANCEL;
    }
    BOOL bHadPrinter = FALSE;
    int nShown = 0;
    INT_PTR answer = IDOK;
};

class CountingPrintView : public CGXGridView {
public:
    void OnPrintDeviceChanged() override { ++nChanged; }
    int nChanged = 0;
};

using GridViewPrintTest = StandardGridTest;

} // namespace

TEST_F(GridViewPrintTest, PrintSetupKeepsTheDocumentsPrinterAndTellsTheView)
{
    ASSERT_NE(GXGetAppData()->m_pPrintDeviceImp, nullptr) << "the library installs the print-device feature";
    CountingPrintView view;
    auto* pDevice = new CGXPrintDevice;
    view.SetPrintDevice(pDevice, TRUE);

    // Cancelled: nothing is kept and nothing changed.
    AnsweredPrintDialog cancelled(TRUE);
    cancelled.answer = IDCANCEL;
    EXPECT_EQ(view.DoPrintDialog(&cancelled), IDCANCEL);
    EXPECT_FALSE(pDevice->HasPrinter());
    EXPECT_EQ(view.nChanged, 0);

    // Chosen: the document keeps the printer and the view hears of it.
    AnsweredPrintDialog first(TRUE);
    EXPECT_EQ(view.DoPrintDialog(&first), IDOK);
    EXPECT_TRUE(pDevice->HasPrinter());
    EXPECT_EQ(view.nChanged, 1);
    // The next dialog starts from the document's printer.
    AnsweredPrintDialog second(TRUE);
    EXPECT_EQ(view.DoPrintDialog(&second), IDOK);
    EXPECT_TRUE(second.bHadPrinter);
    EXPECT_EQ(view.nChanged, 2);
}

TEST_F(GridViewPrintTest, AGridViewOffersTheSelectionAndPreparesOnTheDocumentsPrinter)
{
    CountingPrintView view;
    view.SetPrintDevice(new CGXPrintDevice, TRUE);
    CPrintInfo info;
    ASSERT_NE(info.m_pPD->m_pd.Flags & PD_NOSELECTION, 0u);
    // A preview asks nothing: the printer is taken and its device context made.
    info.m_bPreview = TRUE;
    ASSERT_TRUE(view.OnPreparePrinting(&info));
    EXPECT_EQ(info.m_pPD->m_pd.Flags & PD_NOSELECTION, 0u);
    EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);
    EXPECT_NE(info.m_pPD->m_pd.hDC, nullptr);
    EXPECT_EQ(view.nChanged, 1);
}
