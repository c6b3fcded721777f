// Helpers of the editor window tests: a window that records its refusals instead of showing
// them, the line-numbered window a preview pane uses, and a profile in a temporary folder.
#pragma once

#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/core/CProfileStore.h"
#include "platform/win/VirtualKeys.h"
#include "support/ScopedTempDir.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/editor/EditorTestSupport.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Records refusals rather than opening message boxes, which would wait for a user.
class RecordingEdit : public SECEditCtrl {
public:
    int ReportErrorArg(int nID, LPCSTR lpszArg, BOOL bShow) override
    {
        if (bShow && nID != 0) {
            errors.push_back(nID);
            args.emplace_back(lpszArg != nullptr ? lpszArg : "");
        }
        return nID;
    }
    int ReportError(int nID, BOOL bShow) override { return ReportErrorArg(nID, nullptr, bShow); }
    std::vector<int> errors;
    std::vector<std::string> args;
};

// The read-only, line-numbered pane of a page preview: four-digit line numbers in a margin two
// and a half lines wide.
class LineNumberEdit : public RecordingEdit {
public:
    void DrawMargin(CDC* pDC, const CRect& rect, SECEditLine* pLine) override
    {
        char number[16];
        std::snprintf(number, sizeof number, "%04d", pLine->nLineNo);
        const int oldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
        pDC->TextOut(rect.left + 2, rect.top, number, static_cast<int>(std::strlen(number)));
        pDC->SetTextColor(oldColour);
        pDC->SetBkMode(oldMode);
    }
    void InitView() override
    {
        SECEditCtrl::InitView();
        m_nMarginWidth = m_nMarginWidth / 2 + m_nMarginWidth * 2;
        if (m_hWnd != nullptr)
            Invalidate(FALSE);
        MakeCaretVisible();
    }
};

class EditWindowTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", dir.File("").c_str());
        profile = std::make_unique<CProfileStore>("EditTest");
        SECEditCtrl::s_pProfile = profile.get();
    }
    void TearDown() override
    {
        SECEditCtrl::s_pProfile = nullptr;
        AfxTest::TearDown();
    }
    // Makes an editor of the given client size in the test's top-level window.
    template <typename Edit>
    void Make(Edit& edit, int x, int width, int height)
    {
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(x, 0, x + width, height), top.get(), 2001));
        backend->ProcessMessages();
    }
    std::string Text(SECEditCtrl& edit) { return DocText(*edit.GetDocument()); }
    // The screen point of a cell of the window's view.
    POINT Cell(SECEditCtrl& edit, int row, int column)
    {
        return At(edit.m_hWnd, edit.GetMarginWidth() + column * edit.GetCharWidth() + 1,
                  row * edit.GetLineHeight() + 2);
    }
    void Drag(SECEditCtrl& edit, int row1, int col1, int row2, int col2)
    {
        backend->MouseMove(Cell(edit, row1, col1));
        backend->MouseDown(1, Cell(edit, row1, col1));
        backend->MouseMove(Cell(edit, row2, col2));
        backend->MouseUp(1, Cell(edit, row2, col2));
        backend->ProcessMessages();
    }
    // A drag with Alt held, which selects a column block. Another key pressed with Alt makes
    // its release a plain one, which would otherwise open the menu bar.
    void AltDrag(SECEditCtrl& edit, int row1, int col1, int row2, int col2)
    {
        backend->KeyDown(VK_MENU);
        Drag(edit, row1, col1, row2, col2);
        backend->Key(VK_SHIFT);
        backend->KeyUp(VK_MENU);
        backend->ProcessMessages();
    }

    ScopedTempDir dir;
    std::unique_ptr<ScopedEnv> env;
    std::unique_ptr<CProfileStore> profile;
};
