// A grid of its own, as a dialog holds one, with no menu keys around it: Ctrl+V, Shift+Insert and
// the editor's own menu paste another program's text of several lines into an open cell editor,
// of one line or several, whole on one line, each line break and tab a blank.
#include "grid/core/CGXEditControl.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/IGXCommandTarget.h"

#include <memory>
#include <string>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ForeignClipboardOwner.h"

using CellEditorPasteX11Test = GridX11Test;

TEST_F(CellEditorPasteX11Test, CtrlVAndShiftInsertPasteSeveralLinesAsOne)
{
    // One column of three edit cells, wide enough for the pasted line, in a window of its own.
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, AfxRegisterWndClass(0), "Paste", WS_POPUP | WS_VISIBLE, 30, 30, 400, 120, nullptr, nullptr));
    auto grid = std::make_unique<CGXGridWnd>();
    ASSERT_TRUE(grid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 120), &frame, 100));
    grid->Initialize();
    grid->SetColCount(1, 0);
    grid->SetColWidth(1, 1, 300);
    grid->SetRowCount(4, 0);
    CGXStyle text;
    text.SetValue("Straße");
    grid->ApplyStyleToRange(CGXRange(1, 1, 4, 1), &text, gxOverride, 0, nullptr, 0, gxDo);
    // The last cell edits several lines, with a scroll bar.
    CGXStyle lines;
    lines.SetControl(GX_IDS_CTRL_SCROLLEDIT);
    grid->ApplyStyleToRange(CGXRange(4, 1, 4, 1), &lines, gxOverride, 0, nullptr, 0, gxDo);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(frame.GetSafeHwnd()) != FALSE; }));
    ForeignClipboardOwner other(server->DisplayName(), "Ωμέγα one\r\ntwo\tthree\nfour\n", ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(other.Ready());
    const HWND top = frame.GetSafeHwnd();

    // F2 and End on the cell, then the paste key; the editor's text once it changed.
    const auto pasteInto = [&](ROWCOL nRow, KeySym modifier, unsigned int nMask, KeySym key, KeySym next = NoSymbol) {
        grid->SetFocus();
        if (!grid->SetCurrentCell(nRow, 1) || !Settle())
            return std::string("(the cell was not made current)");
        SendKey(top, XK_F2);
        auto* pEdit = dynamic_cast<CGXEditControl*>(grid->GetCurrentCellControl());
        if (pEdit == nullptr || !PumpUntil([&] { return pEdit->IsActive() && pEdit->GetEditWnd() != nullptr; }))
            return std::string("(F2 opened no editor)");
        SendKey(top, XK_End);
        if (modifier != NoSymbol)
            SendKeyEvent(top, modifier, 0, KeyPress);
        SendKey(top, key, nMask);
        if (modifier != NoSymbol)
            SendKeyEvent(top, modifier, nMask, KeyRelease);
        if (next != NoSymbol)
            SendKey(top, next);
        CString sText;
        PumpUntil([&] {
            pEdit->GetEditWnd()->GetWindowText(sText);
            return sText != "Straße";
        });
        return std::string(sText);
    };
    EXPECT_EQ(pasteInto(1, XK_Control_L, ControlMask, XK_v), "StraßeΩμέγα one two three four");
    EXPECT_EQ(pasteInto(2, XK_Shift_L, ShiftMask, XK_Insert), "StraßeΩμέγα one two three four");
    // The menu key opens the editor's menu, whose Paste is chosen by its letter.
    EXPECT_EQ(pasteInto(3, NoSymbol, 0, XK_Menu, XK_p), "StraßeΩμέγα one two three four");
    EXPECT_EQ(pasteInto(4, XK_Control_L, ControlMask, XK_v), "StraßeΩμέγα one two three four") << "in a multi-line cell";

    grid->DestroyWindow();
    grid.reset();
    frame.DestroyWindow();
}
