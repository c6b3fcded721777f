// The editor window on the preview's road: a page inserted whole into a read-only pane, every
// byte kept, UTF-8 characters in their cells, the line-numbered margin, and the scroll bar's
// scale for long pages.
#include "tests/toolkit/editor/EditWindowSupport.h"

#include "platform/core/CFileException.h"
#include "tests/support/DialogAutomation.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/Caret.h"
#include "platform/win/ScrollBar.h"

#include <random>

namespace {


std::string MinifiedPage(size_t bytes)
{
    std::string page = "<!DOCTYPE html><html><head><meta name=\"keywords\" content=\"a,b\"><title>T</title></head><body>";
    std::mt19937 rng(7);
    while (page.size() < bytes) {
        page += "<p class=\"c" + std::to_string(rng() % 100) + "\">caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC text ";
        page += std::to_string(rng());
        page += "</p>";
    }
    return page;
}

TEST_F(EditWindowTest, AMinifiedPageIsInsertedWholeAndStaysByteExact)
{
    const std::string page = MinifiedPage(300 * 1024);
    dir.WriteFile("min.html", page);
    LineNumberEdit edit;
    Make(edit, 0, 380, 250);
    // The user is told, once, that the long lines are cut.
    SeenMessageBox told;
    AnswerMessageBox(*backend, IDOK, &told);
    ASSERT_EQ(edit.InsertFile(dir.File("min.html").c_str()), 0);
    ASSERT_TRUE(told.seen) << "a message says the lines were cut";
    EXPECT_EQ(told.text, "This file contains lines longer than the 16384 character maximum.\r\nThe lines will be wrapped.");
    EXPECT_EQ(told.buttons, std::vector<std::string>{"&OK"});
    edit.GetDocument()->SetReadOnly(TRUE);
    EXPECT_TRUE(edit.errors.empty());
    // Cut into lines no wider than the maximum, nothing lost or added but the cut line ends
    // the document gives its lines.
    SECEditDoc& doc = *edit.GetDocument();
    ASSERT_GT(doc.GetLineCount(), 1);
    std::string joined;
    for (SECEditLine* line = doc.GetFirstLine(); line != nullptr; line = line->pNext) {
        EXPECT_LE(doc.ColumnFromOffset(line, line->nLength), SECEDIT_MAX_WIDTH);
        joined.append(line->pText, static_cast<size_t>(doc.TextLength(line)));
    }
    EXPECT_EQ(joined, page);
    // The caret stays where the text begins; typing into the read-only pane changes nothing
    // and says nothing.
    EXPECT_EQ(edit.GetCaretLineNo(), 1);
    EXPECT_EQ(edit.GetTopLineNo(), 1);
    top->SetFocus();
    edit.SetFocus();
    backend->Key('X', "x");
    backend->ProcessMessages();
    EXPECT_EQ(doc.GetUndoCount() > 0 ? doc.GetFirstLine()->pText[0] : '<', '<');
    EXPECT_EQ(doc.GetFirstLine()->pText[0], '<');
    EXPECT_TRUE(edit.errors.empty());
}

TEST_F(EditWindowTest, LineEndsOfEveryKindAndANulInTheFile)
{
    // An LF page keeps its LF line ends: the empty document takes the file's own.
    dir.WriteFile("lf.html", "<p>\n\n<b>x</b>\n");
    RecordingEdit edit;
    Make(edit, 0, 300, 200);
    ASSERT_EQ(edit.InsertFile(dir.File("lf.html").c_str()), 0);
    EXPECT_EQ(Text(edit), "<p>\n\n<b>x</b>\n");
    EXPECT_EQ(edit.GetDocument()->GetLineCount(), 4);

    // A NUL would end the text silently: it is refused, shown, and the pane keeps its text.
    dir.WriteFile("nul.html", std::string("ab\0cd", 5));
    RecordingEdit other;
    Make(other, 0, 300, 200);
    EXPECT_EQ(other.InsertFile(dir.File("nul.html").c_str()), SECEDIT_NULLS_IN_FILE);
    EXPECT_EQ(other.errors, std::vector<int>{SECEDIT_NULLS_IN_FILE});
    EXPECT_EQ(Text(other), "");

    // A file that cannot be read raises the file exception.
    bool thrown = false;
    try {
        other.InsertFile(dir.File("missing.html").c_str());
    } catch (CFileException* e) {
        thrown = e->m_cause == CFileException::fileNotFound;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST_F(EditWindowTest, Utf8CharactersTakeTheirCellsAndTheCaretNeverSplitsThem)
{
    // "a", e acute (2 bytes), a CJK character (3 bytes, two cells), a Latin-1 byte, "b".
    dir.WriteFile("u.html", "a\xC3\xA9\xE6\x97\xA5\xE9" "b\r\n");
    RecordingEdit edit;
    Make(edit, 0, 300, 200);
    ASSERT_EQ(edit.InsertFile(dir.File("u.html").c_str()), 0);
    std::vector<int> columns{edit.GetCaretColumn()};
    std::vector<int> offsets{edit.CaretOffset()};
    for (int i = 0; i < 5; ++i) {
        edit.Right(FALSE);
        columns.push_back(edit.GetCaretColumn());
        offsets.push_back(edit.CaretOffset());
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(offsets, (std::vector<int>{0, 1, 3, 6, 7, 8}));
    // Left walks back over whole characters; a click inside the wide one lands at its start.
    edit.Left(FALSE);
    edit.Left(FALSE);
    edit.Left(FALSE);
    EXPECT_EQ(edit.GetCaretColumn(), 2);
    const int x = edit.GetMarginWidth() + 3 * edit.GetCharWidth() + 1;
    const SECEditCell cell = edit.CellFromPoint(CPoint(x, 2), FALSE);
    EXPECT_EQ(cell.nColumn, 2);   // the wide character's start, never inside it
    // A selection over the wide character copies its three bytes whole.
    edit.SetCaret(edit.GetDocument()->GetFirstLine(), 2);
    edit.Right(TRUE);
    std::string text;
    ASSERT_TRUE(edit.GetClipText(text));
    EXPECT_EQ(text, "\xE6\x97\xA5");
}

TEST_F(EditWindowTest, LongDocumentsScaleTheScrollBarAndTheThumbPicksTheLine)
{
    std::string text;
    for (int i = 1; i <= 100000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    dir.WriteFile("long.txt", text);
    RecordingEdit edit;
    Make(edit, 0, 300, 200);
    ASSERT_EQ(edit.InsertFile(dir.File("long.txt").c_str()), 0);
    EXPECT_EQ(edit.GetScrollScale(), 4);
    edit.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
    EXPECT_EQ(edit.GetTopLineNo(), 4001);
    EXPECT_EQ(std::string(edit.GetTopLine()->pText, 9), "line 4001");
    // Paging down at the end stops with the last line on top.
    edit.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 25000), 0);
    for (int i = 0; i < 3; ++i)
        edit.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(edit.GetTopLineNo(), edit.GetDocument()->GetLineCount());
    // Ctrl+End puts the caret on the last line and the view just above it.
    edit.BottomOfFile(FALSE);
    EXPECT_EQ(edit.GetCaretLineNo(), edit.GetDocument()->GetLineCount());
    EXPECT_EQ(edit.GetTopLineNo(), edit.GetCaretLineNo() - edit.VisibleRows() + 1);
    // Enlarging the window until everything fits brings the first line back on top.
    RecordingEdit small;
    Make(small, 0, 300, 200);
    dir.WriteFile("short.txt", "a\r\nb\r\nc\r\n");
    ASSERT_EQ(small.InsertFile(dir.File("short.txt").c_str()), 0);
    small.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(small.GetTopLineNo(), 2);
    small.MoveWindow(0, 0, 300, 400);
    EXPECT_EQ(small.GetTopLineNo(), 1);
}

TEST_F(EditWindowTest, ANewcomerHoldsPageDownSelectsAllCopiesAndPastesAHugeLine)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "<p>" + std::to_string(i) + "</p>\r\n";
    dir.WriteFile("big.html", text);
    RecordingEdit edit;
    Make(edit, 0, 300, 200);
    ASSERT_EQ(edit.InsertFile(dir.File("big.html").c_str()), 0);
    edit.SetFocus();
    backend->ProcessMessages();
    // Page Down held: auto-repeated key presses, the caret and the view going down together.
    for (int i = 0; i < 40; ++i)
        backend->KeyDown(VK_NEXT);
    backend->KeyUp(VK_NEXT);
    backend->ProcessMessages();
    EXPECT_EQ(edit.GetCaretLineNo(), 1 + 40 * edit.VisibleRows());
    EXPECT_EQ(edit.GetTopLineNo(), edit.GetCaretLineNo());
    // Ctrl+A, Ctrl+C: the whole page on the clipboard, byte for byte.
    backend->KeyDown(VK_CONTROL);
    backend->Key('A');
    backend->Key('C');
    backend->KeyUp(VK_CONTROL);
    backend->ProcessMessages();
    ASSERT_TRUE(OpenClipboard(top->m_hWnd));
    auto block = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
    ASSERT_NE(block, nullptr);
    const std::string copied = static_cast<const char*>(GlobalLock(block));
    GlobalUnlock(block);
    CloseClipboard();
    EXPECT_TRUE(copied == text + "") << copied.size() << " bytes against " << text.size();
    // A line of a megabyte pasted into a line is refused whole, and the line is as it was.
    edit.ClearSelection(TRUE);
    edit.SetCaret(edit.GetDocument()->GetLine(5), 2);
    ASSERT_TRUE(OpenClipboard(top->m_hWnd));
    EmptyClipboard();
    HGLOBAL huge = GlobalAlloc(GMEM_MOVEABLE, (1u << 20) + 1);
    std::memset(GlobalLock(huge), 'z', 1u << 20);
    static_cast<char*>(GlobalLock(huge))[1u << 20] = '\0';
    GlobalUnlock(huge);
    GlobalUnlock(huge);
    SetClipboardData(CF_TEXT, huge);
    CloseClipboard();
    EXPECT_EQ(edit.Paste(), SECEDIT_LINE_TOO_LONG);
    EXPECT_EQ(std::string(edit.GetDocument()->GetLine(5)->pText), "<p>4</p>\r\n");
}

TEST_F(EditWindowTest, TheLineNumberedMarginIsTwoAndAHalfLinesWide)
{
    LineNumberEdit edit;
    Make(edit, 0, 300, 200);
    const int line = edit.GetLineHeight();
    EXPECT_EQ(edit.GetMarginWidth(), line / 2 + line * 2);
    // The caret sits right of the margin, and off the window when its column is scrolled away.
    edit.SetFocus();
    dir.WriteFile("p.txt", "abcdef\r\n");
    ASSERT_EQ(edit.InsertFile(dir.File("p.txt").c_str()), 0);
    edit.End(FALSE);
    POINT caret{};
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, edit.GetMarginWidth() + 6 * edit.GetCharWidth());
    edit.SendMessage(WM_HSCROLL, SB_PAGERIGHT, 0);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, -10);
}

} // namespace
