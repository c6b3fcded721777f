// A keyword typed into the Keywords dialog that holds what the list separator cuts at: OK says
// that the page will hold it as several keywords before it takes it, and No leaves the dialog
// open on it. A keyword of several words is no such keyword when the separator is ", ".
#include "app/values/CKeywordsDlg.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <optional>

namespace {

class KeywordsSeparatorX11Test : public MainWindowStepsX11Test {};

} // namespace

TEST_F(KeywordsSeparatorX11Test, OKSaysAKeywordHoldingTheSeparatorWillBeSplit)
{
    const std::string words = "Straße ωμέγα 中文";
    X11KeyboardLetters letters(other, words);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    // The project joins its lists with a comma and a blank; the comma alone cuts them.
    CProjectSettings* pSettings = nullptr;
    ASSERT_EQ(app->GetProjectSettings(pSettings), 0u);
    pSettings->m_strListSeparator = ", ";
    const ROWCOL nRow = RowOf("a.htm"), nCol = ColumnOf("Keywords");
    ASSERT_STREQ(view->GetCellValue(nRow, nCol), "red, green");
    std::optional<X11MessageBoxAnswerer> boxes;
    boxes.emplace(*backend, server->DisplayName(), "n");
    // The keys take the current cell to the page's keywords, in sight; a click on its button.
    std::string keys = "Escape ctrl+Home";
    for (ROWCOL n = 1; n < nRow; ++n)
        keys += " Down";
    for (ROWCOL n = 1; n < nCol; ++n)
        keys += " Right";
    ASSERT_TRUE(XdoNow("key --delay 30 " + keys));
    ASSERT_TRUE(RunUntil([&] { return view->IsCurrentCell(nRow, nCol) && Settled(); })) << "the cell was not made current";
    const CRect cell = view->CalcCellRect(nRow, nCol);
    POINT button{cell.right - 6, cell.CenterPoint().y};
    ::ClientToScreen(view->GetSafeHwnd(), &button);
    ASSERT_TRUE(ClickAt(button, 1, 1));
    CKeywordsDlg* pDlg = nullptr;
    When("the Keywords dialog is shown", [&] {
             pDlg = dynamic_cast<CKeywordsDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pDlg != nullptr && Matches(FocusedTitle(), "^Keywords Metatag") && Settled();
         },
         [&] { ClickAt(CentreOnScreen(pDlg->GetDlgItem(CKeywordsDlg::kIdAdd)->GetSafeHwnd()), 1, 1); });
    // Two keywords added: one the comma cuts, one of words in other scripts, which it does not.
    const auto typedInRow = [&](ROWCOL nAt, const std::string& text) {
        return [&, nAt, text] {
            CString strText;
            pDlg->GetExistingGrid().GetCellText(nAt, 1, strText);
            return strText == text.c_str() && Settled();
        };
    };
    When("Add made an empty row", [&] { return pDlg->GetExistingGrid().GetRowCount() == 3 && Settled(); }, [&] {
        XdoNow("type --delay 30 'p,q'");
        XdoNow("key Return");
    });
    When("the keyword is in its cell", typedInRow(3, "p,q"),
         [&] { ClickAt(CentreOnScreen(pDlg->GetDlgItem(CKeywordsDlg::kIdAdd)->GetSafeHwnd()), 1, 1); });
    When("Add made a second empty row", [&] { return pDlg->GetExistingGrid().GetRowCount() == 4 && Settled(); }, [&] {
        XdoNow("type --delay 30 '" + words + "'");
        XdoNow("key Return");
    });
    When("the words are in their cell", typedInRow(4, words),
         [&] { ClickAt(CentreOnScreen(pDlg->GetDlgItem(IDOK)->GetSafeHwnd()), 1, 1); });
    // No: the dialog stays, its keyword's cell current; then Enter, the dialog's OK, and Yes take
    // it as it is.
    When("No kept the dialog open", [&] {
             ROWCOL nAtRow = 0, nAtCol = 0;
             return boxes->Texts().size() == 1 && Matches(FocusedTitle(), "^Keywords Metatag") &&
                    ::GetActiveWindow() == pDlg->GetSafeHwnd() && ::IsWindowEnabled(pDlg->GetSafeHwnd()) &&
                    pDlg->GetExistingGrid().GetCurrentCell(nAtRow, nAtCol) && nAtRow == 3 && Settled();
         },
         [&] {
             EXPECT_EQ(boxes->Texts()[0], "The keyword 'p,q' holds the list separator ',', so the page will hold "
                                          "it as 2 keywords.\n\nSave it that way? Choose No to change the keyword.");
             boxes.emplace(*backend, server->DisplayName(), "y");
             XdoNow("key Return");
         });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ::GetActiveWindow() == Frame().GetSafeHwnd() && Settled(); })) << "OK did not close it";
    EXPECT_EQ(boxes->Texts().size(), 1u);
    EXPECT_EQ(std::string(view->GetCellValue(nRow, nCol)), "red, green, p,q, " + words);
}
