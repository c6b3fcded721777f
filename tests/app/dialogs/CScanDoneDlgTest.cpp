// The scan-done note hands back its "Don't show this message again." box as a flag.
#include "app/dialogs/CScanDoneDlg.h"
#include "tests/app/PanesFixture.h"
#include "tests/support/DialogAutomation.h"

namespace {

using namespace dialog_automation;

TEST_F(PanesTest, ScanDoneNoteHandsBackItsCheckBox)
{
    for (UINT check : {BST_CHECKED, BST_UNCHECKED}) {
        CScanDoneDlg dlg;
        bool opened = false;
        FillDialog(*backend, CScanDoneDlg::IDD, DialogFill{{}, {{CScanDoneDlg::kIdDontShow, check}}, IDOK, nullptr},
                   &opened);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_TRUE(opened);
        EXPECT_EQ(dlg.m_bDontShowAgain, check == BST_CHECKED ? TRUE : FALSE);
    }
}

} // namespace
