// The value dialogs opened modally and driven in the open dialog: what each shows, what OK gives
// back, and the mended cases (untouched values kept, preselected options, whole separators).
#include "app/values/CAppMetaDialogs.h"
#include "app/values/CDateTimeDlg.h"
#include "app/values/CGroupKeywordsDlg.h"
#include "app/values/CKeywordsDlg.h"
#include "app/values/CListTypeAttribDlg.h"
#include "app/values/CMListSelOptionsDlg.h"
#include "app/values/CMListTypeAttribDlg.h"
#include "app/values/CRefreshDlg.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaRefreshSetting.h"
#include "grid/data/CGXRange.h"
#include "tests/app/MetaDialogsFixture.h"

#include <string>
#include <vector>

namespace {

using namespace dialog_automation;

std::vector<std::string> Rows(CGridWndWrapper& grid)
{
    std::vector<std::string> out;
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
        CString text;
        grid.GetCellText(r, 1, text);
        out.emplace_back(text.GetString());
    }
    return out;
}

void SelectValueRows(CGridWndWrapper& grid, std::initializer_list<ROWCOL> rows)
{
    for (ROWCOL r : rows)
        grid.SelectRange(CGXRange().SetRows(r, r), TRUE, TRUE);
}

class ValueDialogsTest : public MetaDialogsTest {};

} // namespace

TEST_F(ValueDialogsTest, KeywordsShowExistingAndSuggestedAndOkGivesDistinctKeywords)
{
    CMetaContent content;
    content.SetName("KEYWORDS");
    content.SetContent("a,b,,a");
    content.AddSuggestion("tools");
    content.AddSuggestion("garden");
    CKeywordsDlg dlg;
    dlg.SetContent("Keywords", content);
    std::string title;
    std::vector<std::string> existing, suggested;
    SeenMessageBox seen;
    EXPECT_EQ(Run(dlg, CKeywordsDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      existing = Rows(dlg.GetExistingGrid());
                      suggested = Rows(dlg.GetSuggestedGrid());
                      // No suggestion picked: the message, and nothing added.
                      AnswerMessageBox(*backend, IDOK, &seen);
                      Press(hwnd, CKeywordsDlg::kIdAddToExisting);
                      // The same suggestion added twice is there once.
                      SelectValueRows(dlg.GetSuggestedGrid(), {2});
                      Press(hwnd, CKeywordsDlg::kIdAddToExisting);
                      Press(hwnd, CKeywordsDlg::kIdAddToExisting);
                      // Delete the first "a", add a row and leave it empty.
                      SelectValueRows(dlg.GetExistingGrid(), {1});
                      Press(hwnd, CKeywordsDlg::kIdDelete);
                      Press(hwnd, CKeywordsDlg::kIdAdd);
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Keywords Metatag: 'Keywords'");
    EXPECT_EQ(existing, (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(suggested, (std::vector<std::string>{"tools", "garden"}));
    EXPECT_TRUE(seen.seen);
    EXPECT_EQ(seen.text, "You must first make a selection before you can add.");
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "b,a,garden");
}

TEST_F(ValueDialogsTest, GroupKeywordsStartsOnAddAndGivesTheChosenAction)
{
    CGroupKeywordsDlg dlg;
    dlg.m_nAction = 1;
    dlg.ResetAction();
    UINT addChecked = 0;
    EXPECT_EQ(Run(dlg, CGroupKeywordsDlg::IDD,
                  [&](HWND hwnd) {
                      addChecked = static_cast<UINT>(IsDlgButtonChecked(hwnd, CGroupKeywordsDlg::kIdAddAction));
                      backend->Click(1, CentreOf(GetDlgItem(hwnd, CGroupKeywordsDlg::kIdReplaceAction)));
                      PressLater(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(addChecked, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(dlg.m_nAction, 1);
}

TEST_F(ValueDialogsTest, RefreshKeepsAnUntouchedValueAndRefusesBadSeconds)
{
    CMetaContent content;
    content.SetName("REFRESH");
    content.SetContent("5; url=page.html");

    // Untouched: the text as it was, spelling and all.
    CRefreshDlg untouched;
    untouched.SetValue("Refresh", content);
    std::string shownUrl, title;
    EXPECT_EQ(Run(untouched, CRefreshDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      shownUrl = TextOf(GetDlgItem(hwnd, CRefreshDlg::kIdUrl));
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Refresh Metatag: 'Refresh'");
    EXPECT_EQ(shownUrl, "page.html");
    CString value;
    untouched.GetValue(value);
    EXPECT_STREQ(value, "5; url=page.html");

    // New seconds: the canonical form with the address kept.
    CRefreshDlg changed;
    changed.SetValue("Refresh", content);
    EXPECT_EQ(Run(changed, CRefreshDlg::IDD,
                  [&](HWND hwnd) {
                      SetDlgItemText(hwnd, CRefreshDlg::kIdSeconds, "12");
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    changed.GetValue(value);
    EXPECT_STREQ(value, "12; URL=page.html");

    // Seconds that are no number: the exchange's message, and the dialog stays open.
    CRefreshDlg refused;
    refused.SetValue("Refresh", content);
    SeenMessageBox seen;
    bool stillOpen = false;
    EXPECT_EQ(Run(refused, CRefreshDlg::IDD,
                  [&](HWND hwnd) {
                      SetDlgItemText(hwnd, CRefreshDlg::kIdSeconds, "soon");
                      AnswerMessageBox(*backend, IDOK, &seen);
                      Press(hwnd, IDOK);
                      stillOpen = IsWindowVisible(hwnd) != FALSE;
                      Press(hwnd, IDCANCEL);
                  }),
              IDCANCEL);
    EXPECT_TRUE(seen.seen);
    EXPECT_TRUE(stillOpen);
}

TEST_F(ValueDialogsTest, DateShowsTheValueTakesACalendarDayAndKeepsWhatWasNotTouched)
{
    CDateTimeDlg dlg;
    dlg.SetValue("Date", "1999/06/24");
    COleDateTime shown;
    std::string title;
    EXPECT_EQ(Run(dlg, CDateTimeDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      shown = dlg.GetDateCtrl().GetDateTime();
                      const COleDateTime day(1999, 7, 3, 12, 0, 0);
                      dlg.GetCalendar().SelectDate(day, TRUE);
                      dlg.GetCalendar().HighlightDate(day, TRUE);
                      // The calendar posts the day: OK only after it has arrived.
                      PressLater(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Date / Time Metatag: Date");
    EXPECT_EQ(shown.GetYear(), 1999);
    EXPECT_EQ(shown.GetMonth(), 6);
    EXPECT_EQ(shown.GetDay(), 24);
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "1999/07/03");

    // A value the parser cannot read shows no date; OK untouched keeps the page's text.
    CDateTimeDlg unreadable;
    unreadable.SetValue("Date", "sometime in June");
    BOOL nullShown = FALSE;
    EXPECT_EQ(Run(unreadable, CDateTimeDlg::IDD,
                  [&](HWND hwnd) {
                      nullShown = unreadable.GetDateCtrl().IsNullEntry();
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_TRUE(nullShown);
    unreadable.GetValue(value);
    EXPECT_STREQ(value, "sometime in June");

    // An empty value gives an empty value, never the prompt characters.
    CDateTimeDlg empty;
    empty.SetValue("Date", "");
    EXPECT_EQ(Run(empty, CDateTimeDlg::IDD, [&](HWND hwnd) { Press(hwnd, IDOK); }), IDOK);
    empty.GetValue(value);
    EXPECT_STREQ(value, "");
}

TEST_F(ValueDialogsTest, MultiSelectPreselectsTheValueAndGivesRowsInSelectionOrder)
{
    CMetaComboMultiSelSetting setting;
    setting.SetName("Topics");
    for (const char* option : {"red", "green", "blue"})
        setting.m_Options.AddTail(option);
    setting.m_bAllowModify = 0;
    CMetaContent content;
    content.SetContent("blue,red");

    // Untouched: the options the page had, in its order.
    CMListSelOptionsDlg untouched;
    untouched.SetValue(setting, content);
    bool addShown = true, deleteShown = true;
    std::string title;
    EXPECT_EQ(Run(untouched, CMListSelOptionsDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      addShown = IsWindowVisible(GetDlgItem(hwnd, CMListSelOptionsDlg::kIdAdd)) != FALSE;
                      deleteShown = IsWindowVisible(GetDlgItem(hwnd, CMListSelOptionsDlg::kIdDelete)) != FALSE;
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Topics Metatag");
    EXPECT_FALSE(addShown);
    EXPECT_FALSE(deleteShown);
    CString value;
    BOOL changed = TRUE;
    CMetaComboMultiSelSetting back;
    untouched.GetValue(back, value, changed);
    EXPECT_STREQ(value, "blue,red");
    EXPECT_FALSE(changed);

    // Rows 2 then 1, picked afresh.
    CMListSelOptionsDlg picked;
    content.SetContent("");
    picked.SetValue(setting, content);
    EXPECT_EQ(Run(picked, CMListSelOptionsDlg::IDD,
                  [&](HWND hwnd) {
                      SelectValueRows(picked.GetGrid(), {2, 1});
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    picked.GetValue(back, value, changed);
    EXPECT_STREQ(value, "green,red");

    // Options that may change: Delete a row, and the caller's list follows.
    setting.m_bAllowModify = 1;
    CMListSelOptionsDlg edited;
    edited.SetValue(setting, content);
    EXPECT_EQ(Run(edited, CMListSelOptionsDlg::IDD,
                  [&](HWND hwnd) {
                      SelectValueRows(edited.GetGrid(), {2});
                      Press(hwnd, CMListSelOptionsDlg::kIdDelete);
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    edited.GetValue(setting, value, changed);
    EXPECT_TRUE(changed);
    EXPECT_EQ(setting.m_Options.GetCount(), 2);
    EXPECT_STREQ(setting.m_Options.GetHead(), "red");
    EXPECT_STREQ(setting.m_Options.GetTail(), "blue");
}

TEST_F(ValueDialogsTest, OptionListsRoundTripWithSeparatorAndPermission)
{
    CStringList options;
    options.AddTail("one");
    options.AddTail("two");
    CListTypeAttribDlg single;
    single.SetOptions(options);
    EXPECT_EQ(Run(single, CListTypeAttribDlg::IDD,
                  [&](HWND hwnd) {
                      Press(hwnd, CListTypeAttribDlg::kIdAdd);
                      single.GetGrid().SetCellValue(3, 1, "three");
                      SelectValueRows(single.GetGrid(), {1});
                      Press(hwnd, CListTypeAttribDlg::kIdDelete);
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    CStringList out;
    single.GetOptions(out);
    ASSERT_EQ(out.GetCount(), 2);
    EXPECT_STREQ(out.GetHead(), "two");
    EXPECT_STREQ(out.GetTail(), "three");

    CMListTypeAttribDlg multi;
    multi.SetOptions(options, 1, "; ");
    std::string separatorShown;
    EXPECT_EQ(Run(multi, CMListTypeAttribDlg::IDD,
                  [&](HWND hwnd) {
                      separatorShown = TextOf(GetDlgItem(hwnd, CMListTypeAttribDlg::kIdSeparator));
                      SetDlgItemText(hwnd, CMListTypeAttribDlg::kIdSeparator, "|");
                      CheckDlgButton(hwnd, CMListTypeAttribDlg::kIdAllowModify, BST_UNCHECKED);
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    UINT bAllow = 7;
    CString separator;
    multi.GetOptions(out, bAllow, separator);
    EXPECT_EQ(separatorShown, "; ");
    EXPECT_STREQ(separator, "|");
    EXPECT_EQ(bAllow, 0u);
    EXPECT_EQ(out.GetCount(), 2);
}

TEST_F(ValueDialogsTest, SettingTypesOpenTheRealDialogsThroughTheApplication)
{
    CAppMetaDialogs dialogs;
    model.SetDialogs(&dialogs);

    // The date setting: its own name in the title, the page's value replaced on OK.
    CMetaDateSetting date;
    CMetaContent content;
    content.SetContent("1999/06/24");
    std::string title;
    FillDialog(*backend, CDateTimeDlg::IDD, DialogFill{{}, {}, IDOK, [&](HWND hwnd) { title = TextOf(hwnd); }});
    EXPECT_EQ(date.EditValue(nullptr, 1, 1, 0, &content), 0u);
    EXPECT_EQ(title, "Date / Time Metatag: Date / Time");
    EXPECT_STREQ(content.GetContent(), "1999/06/24");

    // The refresh setting: Cancel leaves the page's value as it was.
    CMetaRefreshSetting refresh;
    content.SetName("REFRESH");
    content.SetContent("5; url=page.html");
    FillDialog(*backend, CRefreshDlg::IDD, DialogFill{{{CRefreshDlg::kIdSeconds, "9"}}, {}, IDCANCEL, nullptr});
    refresh.EditValue(nullptr, 1, 1, 0, &content);
    EXPECT_STREQ(content.GetContent(), "5; url=page.html");
    FillDialog(*backend, CRefreshDlg::IDD, DialogFill{{{CRefreshDlg::kIdSeconds, "9"}}, {}, IDOK, nullptr});
    refresh.EditValue(nullptr, 1, 1, 0, &content);
    EXPECT_STREQ(content.GetContent(), "9; URL=page.html");
    model.SetDialogs(nullptr);
}
