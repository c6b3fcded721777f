// Editing in the editor window: the key table at line and file edges, typing with auto-indent
// and undo, the clipboard and column blocks between two windows, drag and drop, scrolling
// while dragging, find and replace, the context menu and the page setup texts.
#include "tests/toolkit/editor/EditWindowSupport.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/ole/COleDropTarget.h"
#include "platform/controls/Button.h"
#include "platform/win/Clipboard.h"
#include "platform/win/VirtualKeys.h"
#include "tests/support/ClipboardText.h"
#include "toolkit/editor/wnd/SECEditFindReplaceDlg.h"
#include "toolkit/editor/wnd/ZRPageSetupDlg.h"
#include "toolkit/res/EditorRes.h"

namespace {

class EditingTest : public EditWindowTest {
protected:
    void Load(SECEditCtrl& edit, const std::string& text)
    {
        static int n = 0;
        const std::string name = "e" + std::to_string(++n) + ".txt";
        dir.WriteFile(name, text);
        ASSERT_EQ(edit.InsertFile(dir.File(name).c_str()), 0);
        backend->ProcessMessages();
    }
    void Keys(std::initializer_list<UINT> keys)
    {
        for (UINT vk : keys)
            backend->Key(vk);
        backend->ProcessMessages();
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            backend->Key(c == '\r' ? VK_RETURN : 'A', std::string(1, c));
        backend->ProcessMessages();
    }
    void PutClipboard(const std::string& text) { ASSERT_TRUE(clipboard_text::Put(top->m_hWnd, text)); }
    std::string GetClipboard() { return clipboard_text::Get(top->m_hWnd); }
};

TEST_F(EditingTest, TheKeyTableAtLineAndFileEdges)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "a long first line\r\nab\r\n\r\nlast");
    edit.SetFocus();
    Keys({VK_END, VK_DOWN});
    EXPECT_EQ(edit.GetCaretLineNo(), 2);
    EXPECT_EQ(edit.GetCaretColumn(), 2);   // the end of the shorter line
    Keys({VK_DOWN});
    EXPECT_EQ(edit.GetCaretColumn(), 0);   // a line holding only its line end
    Keys({VK_RIGHT});
    EXPECT_EQ(edit.GetCaretLineNo(), 4);   // past a line's end to the next line's start
    Keys({VK_END, VK_RIGHT, VK_DOWN});
    EXPECT_EQ(edit.GetCaretLineNo(), 4);   // nothing beyond the end of the last line
    EXPECT_EQ(edit.GetCaretColumn(), 4);
    backend->KeyDown(VK_CONTROL);
    Keys({VK_HOME});
    backend->KeyUp(VK_CONTROL);
    Keys({VK_UP, VK_LEFT});
    EXPECT_EQ(edit.GetCaretLineNo(), 1);   // nothing before the start of the first line
    EXPECT_EQ(edit.GetCaretColumn(), 0);
    // Ctrl+Right stops at words; Shift+End selects the rest of the line.
    backend->KeyDown(VK_CONTROL);
    Keys({VK_RIGHT, VK_RIGHT});
    backend->KeyUp(VK_CONTROL);
    EXPECT_EQ(edit.GetCaretColumn(), 7);
    backend->KeyDown(VK_SHIFT);
    Keys({VK_END});
    backend->KeyUp(VK_SHIFT);
    std::string text;
    edit.GetClipText(text);
    EXPECT_EQ(text, "first line");
    // Bookmarks: none to go to, then one found again after wrapping round.
    EXPECT_EQ(edit.NextBookmark(TRUE), 0);
    EXPECT_EQ(edit.GetCaretLineNo(), 1);
    edit.ToggleBookmark();
    EXPECT_EQ(edit.GetDocument()->m_nBookmarks, 1);
    Keys({VK_F2});
    EXPECT_EQ(edit.GetCaretLineNo(), 1);
    edit.ClearAllBookmarks();
    EXPECT_EQ(edit.GetDocument()->m_nBookmarks, 0);
    EXPECT_TRUE(edit.errors.empty());
}

TEST_F(EditingTest, TypingAutoIndentUndoAndTheWidestLine)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "  begin\r\n");
    edit.GetDocument()->ResetUndo();
    edit.GetDocument()->SetModified(FALSE);
    edit.SetFocus();
    Keys({VK_END});
    Type("\r\xC3\xA9x");
    // The new line takes the indent of the line above; the accented letter goes in whole.
    EXPECT_EQ(Text(edit), "  begin\r\n  \xC3\xA9x\r\n");
    EXPECT_EQ(edit.GetCaretColumn(), 4);
    EXPECT_TRUE(edit.GetDocument()->IsModified());
    backend->KeyDown(VK_CONTROL);
    for (int i = 0; i < 10; ++i)
        Keys({'Z'});
    backend->KeyUp(VK_CONTROL);
    EXPECT_EQ(Text(edit), "  begin\r\n");
    EXPECT_FALSE(edit.GetDocument()->IsModified());
    // Redo comes back to the typed text.
    backend->KeyDown(VK_CONTROL);
    backend->KeyDown(VK_SHIFT);
    for (int i = 0; i < 10; ++i)
        Keys({'Z'});
    backend->KeyUp(VK_SHIFT);
    backend->KeyUp(VK_CONTROL);
    EXPECT_EQ(Text(edit), "  begin\r\n  \xC3\xA9x\r\n");
    // Enter over a selection leaves the selected text on the clipboard.
    edit.SetCaret(edit.GetDocument()->GetFirstLine(), 2);
    edit.Right(TRUE);
    edit.Right(TRUE);
    Type("\r");
    EXPECT_EQ(GetClipboard(), "be");
    EXPECT_EQ(Text(edit), "  \r\ngin\r\n  \xC3\xA9x\r\n");

    // At the widest line a typed character is refused and the line stays as it was.
    RecordingEdit wide;
    Make(wide, 0, 360, 240);
    Load(wide, std::string(SECEDIT_MAX_WIDTH - 2, 'w') + "\r\n");
    wide.SetFocus();
    Keys({VK_END});
    Type("z");
    EXPECT_EQ(wide.errors, std::vector<int>{SECEDIT_LINE_TOO_LONG});
    EXPECT_EQ(Text(wide), std::string(SECEDIT_MAX_WIDTH - 2, 'w') + "\r\n");
}

// A parent that records the keys it is sent.
class KeyParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_KEYDOWN)
            keys.push_back(static_cast<UINT>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> keys;
};

TEST_F(EditingTest, EscapeAlsoReachesTheParentAndKeysGoThroughTheTableFirst)
{
    KeyParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_CHILD | WS_VISIBLE, 0, 0, 380, 260, top->m_hWnd, nullptr));
    RecordingEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 7));
    Load(edit, "abc def\r\n");
    edit.SetFocus();
    Keys({VK_RIGHT});
    backend->KeyDown(VK_SHIFT);
    Keys({VK_END});
    backend->KeyUp(VK_SHIFT);
    ASSERT_TRUE(edit.HasSelection());
    Keys({VK_ESCAPE});
    EXPECT_FALSE(edit.HasSelection());   // the editor handles it
    EXPECT_NE(std::find(parent.keys.begin(), parent.keys.end(), static_cast<UINT>(VK_ESCAPE)), parent.keys.end());
    // Arrow keys are the editor's commands and never reach the parent.
    EXPECT_EQ(std::find(parent.keys.begin(), parent.keys.end(), static_cast<UINT>(VK_RIGHT)), parent.keys.end());
    edit.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(EditingTest, ClipboardAndColumnBlocksBetweenTwoWindows)
{
    RecordingEdit a, b;
    Make(a, 0, 190, 200);
    Make(b, 200, 190, 200);
    Load(a, "abcdef\r\nghijkl\r\nmn\r\n");
    Load(b, "1234\r\n5678\r\n");
    // A stream: copied with CR LF, pasted at the caret, the caret after it.
    a.SetCaret(a.GetDocument()->GetLine(1), 4);
    a.Down(TRUE);
    EXPECT_EQ(a.Copy(), 0);
    EXPECT_EQ(GetClipboard(), "ef\r\nghij");
    b.SetCaret(b.GetDocument()->GetLine(1), 2);
    EXPECT_EQ(b.Paste(), 0);
    EXPECT_EQ(Text(b), "12ef\r\nghij34\r\n5678\r\n");
    EXPECT_EQ(b.GetCaretLineNo(), 2);
    EXPECT_EQ(b.GetCaretColumn(), 4);
    // A column block, over a short line too, travels with its marker and goes in as a block.
    a.ClearSelection(TRUE);
    AltDrag(a, 0, 1, 2, 4);
    ASSERT_EQ(a.GetSelMode(), SECEDIT_SEL_COLUMN);
    EXPECT_EQ(a.Copy(), 0);
    EXPECT_EQ(GetClipboard(), std::string(SECEDIT_COLUMN_MARKER) + "\r\nbcd\r\nhij\r\nn  ");
    b.SetCaret(b.GetDocument()->GetLine(3), 1);
    EXPECT_EQ(b.Paste(), 0);
    EXPECT_EQ(Text(b), "12ef\r\nghij34\r\n5bcd678\r\n hij\r\n n  ");
    // The marker with a lone LF is still a block; the marker alone, or 21 of its characters,
    // is plain text; nothing is read past the text.
    RecordingEdit c;
    Make(c, 0, 190, 200);
    Load(c, "xy\r\nzw\r\n");
    PutClipboard(std::string(SECEDIT_COLUMN_MARKER) + "\nP\nQ");
    c.SetCaret(c.GetDocument()->GetLine(1), 1);
    EXPECT_EQ(c.Paste(), 0);
    EXPECT_EQ(Text(c), "xPy\r\nzQw\r\n");
    PutClipboard(SECEDIT_COLUMN_MARKER);
    c.SetCaret(c.GetDocument()->GetLine(2), 0);
    EXPECT_EQ(c.Paste(), 0);
    EXPECT_EQ(Text(c), std::string("xPy\r\n") + SECEDIT_COLUMN_MARKER + "zQw\r\n");
    // A one-line text that would pass the widest line is refused; the line stays.
    PutClipboard(std::string(SECEDIT_MAX_WIDTH - 3, 'q'));
    c.SetCaret(c.GetDocument()->GetLine(1), 0);
    EXPECT_EQ(c.Paste(), SECEDIT_LINE_TOO_LONG);
    EXPECT_EQ(c.GetDocument()->GetFirstLine()->nLength, 5);
    // Cut on a read-only document does nothing.
    c.SelectAll();
    c.GetDocument()->SetReadOnly(TRUE);
    EXPECT_EQ(c.Cut(), 0);
    EXPECT_TRUE(Text(c) == std::string("xPy\r\n") + SECEDIT_COLUMN_MARKER + "zQw\r\n");
}

TEST_F(EditingTest, DragAndDropMovesCopiesAndRefuses)
{
    RecordingEdit a, b;
    Make(a, 0, 190, 200);
    Make(b, 200, 190, 200);
    Load(a, "hello world\r\n");
    Load(b, "abc\r\n");
    auto drag = [&](POINT from, POINT to, bool copy) {
        backend->WhenIdle([&, to] { backend->MouseMove(to); });
        backend->WhenIdle([&, to] { backend->MouseMove(POINT{to.x + 1, to.y}); });
        backend->WhenIdle([&, to, copy] {
            if (copy)
                backend->KeyDown(VK_CONTROL);
            backend->MouseMove(to);
        });
        backend->WhenIdle([&, to] { backend->MouseUp(1, to); });
        backend->AdvanceClock(1000);   // no double click with the last press
        backend->MouseMove(from);
        backend->MouseDown(1, from);
        backend->ProcessMessages();
        backend->KeyUp(VK_CONTROL);
        backend->ProcessMessages();
    };
    // "hello" moved into the other window after its "a".
    a.SetCaret(a.GetDocument()->GetFirstLine(), 0);
    for (int i = 0; i < 5; ++i)
        a.Right(TRUE);
    drag(Cell(a, 0, 2), Cell(b, 0, 1), false);
    EXPECT_EQ(Text(a), " world\r\n");
    EXPECT_EQ(Text(b), "ahellobc\r\n");
    // Copied with Ctrl: the source keeps its text.
    a.ClearSelection(TRUE);
    a.SetCaret(a.GetDocument()->GetFirstLine(), 1);
    for (int i = 0; i < 5; ++i)
        a.Right(TRUE);
    drag(Cell(a, 0, 2), Cell(b, 0, 0), true);
    EXPECT_EQ(Text(a), " world\r\n");
    EXPECT_EQ(Text(b), "worldahellobc\r\n");
    // Dropped onto its own selection, nothing happens; onto a read-only window neither.
    a.ClearSelection(TRUE);
    a.SetCaret(a.GetDocument()->GetFirstLine(), 1);
    for (int i = 0; i < 5; ++i)
        a.Right(TRUE);
    drag(Cell(a, 0, 2), Cell(a, 0, 4), false);
    EXPECT_EQ(Text(a), " world\r\n");
    b.GetDocument()->SetReadOnly(TRUE);
    a.ClearSelection(TRUE);
    a.SetCaret(a.GetDocument()->GetFirstLine(), 1);
    for (int i = 0; i < 5; ++i)
        a.Right(TRUE);
    drag(Cell(a, 0, 2), Cell(b, 0, 2), false);
    EXPECT_EQ(Text(a), " world\r\n");
    EXPECT_EQ(Text(b), "worldahellobc\r\n");
    // A move within one window deletes the text and inserts it at the corrected place.
    a.DestroyWindow();
    b.DestroyWindow();
    RecordingEdit c;
    Make(c, 0, 360, 200);
    Load(c, "one two three\r\n");
    c.SetCaret(c.GetDocument()->GetFirstLine(), 0);
    for (int i = 0; i < 4; ++i)
        c.Right(TRUE);
    drag(Cell(c, 0, 1), Cell(c, 0, 8), false);
    EXPECT_EQ(Text(c), "two one three\r\n");
}

TEST_F(EditingTest, DraggingNearTheBorderScrollsOnTheClock)
{
    RecordingEdit edit;
    Make(edit, 0, 300, 200);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "row " + std::to_string(i) + "\r\n";
    Load(edit, text);
    COleDropTarget* target = COleDropTarget::FromHandle(edit.m_hWnd);
    ASSERT_NE(target, nullptr);
    CRect client;
    edit.GetClientRect(&client);
    const CPoint nearBottom(100, client.bottom - 3);
    // At the first line the top edge gives no scrolling and no effect.
    EXPECT_EQ(target->OnDragScroll(&edit, 0, CPoint(100, 2)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(target->OnDragScroll(&edit, 0, nearBottom), static_cast<DROPEFFECT>(DROPEFFECT_SCROLL | DROPEFFECT_MOVE));
    EXPECT_EQ(edit.GetTopLineNo(), 1);   // the first delay has not passed
    backend->AdvanceClock(COleDropTarget::nScrollDelay + 1);
    target->OnDragScroll(&edit, 0, nearBottom);
    EXPECT_EQ(edit.GetTopLineNo(), 2);
    backend->AdvanceClock(COleDropTarget::nScrollInterval + 1);
    EXPECT_EQ(target->OnDragScroll(&edit, MK_CONTROL, nearBottom), static_cast<DROPEFFECT>(DROPEFFECT_SCROLL | DROPEFFECT_COPY));
    EXPECT_EQ(edit.GetTopLineNo(), 3);
    // Back in the middle the scrolling stops.
    backend->AdvanceClock(1000);
    EXPECT_EQ(target->OnDragScroll(&edit, 0, CPoint(100, 100)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(edit.GetTopLineNo(), 3);
}

TEST_F(EditingTest, FindNextHistoryMarkAllAndReplaceAll)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "one two one\r\nthree\r\none\r\n");
    edit.GetDocument()->ResetUndo();
    // F3 before any search opens the Find dialog; Ctrl+H then focuses it, opening nothing new.
    edit.SetFocus();
    Keys({VK_F3});
    CWnd* dialog = CWnd::GetActiveWindow();
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->m_hWnd, top->m_hWnd);
    // The dialog's Find Next with "one": the first match after the caret, the history written.
    dialog->SetDlgItemText(IDC_SECEDIT_FINDCOMBO, "one");
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    backend->ProcessMessages();
    std::string found;
    edit.GetClipText(found);
    EXPECT_EQ(found, "one");
    EXPECT_EQ(std::string(SECEditCtrl::GetEditProfileString("Settings\\Find", "Find1", "")), "one");
    // F3 goes on from the selection and wraps round to the first.
    edit.OnFindNext();
    EXPECT_EQ(edit.GetCaretColumn(), 11);
    edit.OnFindNext();
    EXPECT_EQ(edit.GetCaretLineNo(), 3);
    edit.OnFindNext();
    EXPECT_EQ(edit.GetCaretLineNo(), 1);
    EXPECT_EQ(edit.GetCaretColumn(), 3);
    // A new text pushes the history down; the same one again leaves it.
    SECEditCtrl::WriteEditProfileString("Settings\\Find", "Find1", "zzz");
    edit.OnFindNext();
    EXPECT_EQ(edit.errors.back(), SECEDIT_NOT_FOUND);
    EXPECT_EQ(edit.args.back(), "zzz");

    // Mark All bookmarks each line with a match once.
    edit.OnEditFind();
    dialog = CWnd::GetActiveWindow();
    ASSERT_NE(dialog, nullptr);
    dialog->SetDlgItemText(IDC_SECEDIT_FINDCOMBO, "one");
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SECEDIT_MARKALL, BN_CLICKED), 0);
    backend->ProcessMessages();
    EXPECT_EQ(edit.GetDocument()->m_nBookmarks, 2);
    EXPECT_EQ(std::string(SECEditCtrl::GetEditProfileString("Settings\\Find", "Find1", "")), "one");
    EXPECT_EQ(std::string(SECEditCtrl::GetEditProfileString("Settings\\Find", "Find2", "")), "zzz");

    // Replace All of an expression matching empty lines' starts ends, as one undo step.
    edit.OnEditReplace();
    dialog = CWnd::GetActiveWindow();
    ASSERT_NE(dialog, nullptr);
    dialog->CheckDlgButton(IDC_SECEDIT_REGEXP, BST_CHECKED);
    dialog->SetDlgItemText(IDC_SECEDIT_FINDCOMBO, "^");
    dialog->SetDlgItemText(IDC_SECEDIT_REPLACECOMBO, ">>");
    const std::string before = Text(edit);
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(1025, BN_CLICKED), 0);
    backend->ProcessMessages();
    EXPECT_EQ(Text(edit), ">>one two one\r\n>>three\r\n>>one\r\n>>");
    EXPECT_EQ(std::string(SECEditCtrl::GetEditProfileString("Settings\\Find", "Replace1", "")), ">>");
    edit.OnEditUndo();
    EXPECT_EQ(Text(edit), before);   // one step
}

TEST_F(EditingTest, ContextMenuEnablingAndPageSetupTexts)
{
    RecordingEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "text\r\n");
    edit.GetDocument()->ResetUndo();
    ASSERT_TRUE(OpenClipboard(top->m_hWnd));
    EmptyClipboard();
    CloseClipboard();
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(edit.FillContextMenu(&menu));
    ASSERT_EQ(menu.GetMenuItemCount(), 8u);
    auto grayed = [&](UINT id) { return (menu.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    EXPECT_TRUE(grayed(ID_EDIT_UNDO));
    EXPECT_TRUE(grayed(ID_EDIT_CUT));
    EXPECT_TRUE(grayed(ID_EDIT_PASTE));   // nothing on the clipboard
    EXPECT_FALSE(grayed(ID_SECEDIT_TOGGLEBOOKMARK));
    menu.DestroyMenu();
    edit.SelectAll();
    edit.Copy();
    ASSERT_TRUE(menu.CreatePopupMenu());
    edit.FillContextMenu(&menu);
    EXPECT_FALSE(grayed(ID_EDIT_CUT));
    EXPECT_FALSE(grayed(ID_EDIT_COPY));
    EXPECT_FALSE(grayed(ID_EDIT_PASTE));
    menu.DestroyMenu();

    // Page setup: the defaults, the first "&p" only, and a "%" in a file name kept as text.
    ZRPageSetupDlg setup;
    setup.LoadPageSetup();
    EXPECT_EQ(std::string(setup.m_strHeader), "&f %c");
    EXPECT_EQ(std::string(setup.m_strFooter), "Page: &p");
    EXPECT_EQ(setup.m_nHeaderTime, 0);
    const CTime time(2024, 5, 3, 10, 20, 30);
    CString out;
    setup.FormatFooter(out, time, "a.html", 3);
    EXPECT_EQ(std::string(out), "Page: 3");
    setup.m_strHeader = "&p of &p, &f at %H:%M";
    setup.FormatHeader(out, time, "100%d.html", 7);
    EXPECT_EQ(std::string(out), "7 of &p, 100%d.html at 10:20");
    setup.SavePageSetup();
    ZRPageSetupDlg again;
    again.LoadPageSetup();
    EXPECT_EQ(std::string(again.m_strHeader), "&p of &p, &f at %H:%M");
}

} // namespace

namespace {

TEST_F(EditingTest, AWindowThatNeverOpenedPageSetupStoresItsDefaultsWhenItCloses)
{
    EXPECT_EQ(std::string(profile->GetProfileString("PageSetup", "Header", "none")), "none") << "a first run";
    {
        RecordingEdit edit;
        Make(edit, 0, 360, 240);
        edit.DestroyWindow();
    }
    EXPECT_EQ(std::string(profile->GetProfileString("PageSetup", "Header", "none")), "&f %c");
    EXPECT_EQ(std::string(profile->GetProfileString("PageSetup", "Footer", "none")), "Page: &p");
    EXPECT_EQ(profile->GetProfileInt("PageSetup", "HeaderTime", 7), 0u);
    EXPECT_EQ(profile->GetProfileInt("PageSetup", "FooterTime", 7), 0u);
    // What another window set is kept by one that did not touch it.
    profile->WriteProfileString("PageSetup", "Footer", "Seite &p");
    {
        RecordingEdit edit;
        Make(edit, 0, 360, 240);
        edit.DestroyWindow();
    }
    EXPECT_EQ(std::string(profile->GetProfileString("PageSetup", "Footer", "none")), "Seite &p");
}

} // namespace

namespace {

TEST_F(EditingTest, AColumnBlockMovedWithinItsWindowLandsWhereItWasDropped)
{
    RecordingEdit c;
    Make(c, 0, 360, 200);
    Load(c, "abcdef\r\nghijkl\r\nmnopqr\r\n");
    // Alt and a drag select the block "bc" over "hi".
    AltDrag(c, 0, 1, 1, 3);
    ASSERT_EQ(c.GetSelMode(), SECEDIT_SEL_COLUMN);
    // Dragged from inside the block and dropped between "e" and "f" of the first line.
    const POINT from = Cell(c, 0, 2), to = Cell(c, 0, 5);
    backend->WhenIdle([&] { backend->MouseMove(to); });
    backend->WhenIdle([&] { backend->MouseMove(POINT{to.x + 1, to.y}); });
    backend->WhenIdle([&] { backend->MouseMove(to); });
    backend->WhenIdle([&] { backend->MouseUp(1, to); });
    backend->AdvanceClock(1000);
    backend->MouseMove(from);
    backend->MouseDown(1, from);
    backend->ProcessMessages();
    EXPECT_EQ(Text(c), "adebcf\r\ngjkhil\r\nmnopqr\r\n") << "the block sits between e and f";
}

TEST_F(EditingTest, UndoingAnInsertThatTookTheTopLineKeepsTheViewOnLinesThatExist)
{
    RecordingEdit c;
    Make(c, 0, 360, 60);   // a few rows: the view scrolls
    std::string text;
    for (int i = 1; i <= 30; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Load(c, text);
    c.GetDocument()->ResetUndo();
    // Many lines typed at line 10; the view follows them down.
    c.SetFocus();
    c.SetCaret(c.GetDocument()->GetLine(10), 0);
    c.MakeCaretVisible();
    std::string typed;
    for (int i = 0; i < 15; ++i)
        typed += "x\r";
    Type(typed);
    ASSERT_GT(c.GetTopLineNo(), 10) << "the top stands on a typed line";
    // Undone step by step, the lines the top stood on go.
    SECEditDoc& doc = *c.GetDocument();
    for (int guard = 0; guard < 100 && doc.GetUndoCount() > 0; ++guard) {
        c.OnEditUndo();
        ASSERT_EQ(c.GetTopLine(), doc.GetLine(c.GetTopLineNo())) << "after undo " << guard + 1;
        ASSERT_LE(c.GetTopLineNo(), c.GetCaretLineNo());
    }
    EXPECT_EQ(doc.GetLineCount(), 31);
    EXPECT_LE(c.GetTopLineNo(), c.GetCaretLineNo());
    EXPECT_GE(c.GetTopLineNo(), 1);
    EXPECT_LE(c.GetCaretLineNo(), doc.GetLineCount());
    // The lines the view holds are the document's own lines at those numbers.
    EXPECT_EQ(c.GetTopLine(), doc.GetLine(c.GetTopLineNo()));
    EXPECT_EQ(c.GetCaretLine(), doc.GetLine(c.GetCaretLineNo()));
    // And it still draws and scrolls.
    c.Invalidate();
    backend->ProcessMessages();
    Keys({VK_DOWN, VK_DOWN, VK_UP});
    EXPECT_EQ(c.GetCaretLine(), doc.GetLine(c.GetCaretLineNo()));
}

} // namespace
