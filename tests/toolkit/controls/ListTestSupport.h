// A fixture for the list and tree tests: a parent that records every notification (and can
// answer begin-edit and end-edit), and a report list with a 10-pixel fixed-metric item font.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/gdi/CDC.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/controls/ControlsTestSupport.h"
#include "toolkit/controls/SECListCtrl.h"

class RecordingParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            const int code = static_cast<int>(hdr->code);
            codes.push_back(code);
            if (code == LVN_ENDLABELEDITA) {
                LV_ITEM& item = reinterpret_cast<LV_DISPINFO*>(lParam)->item;
                endTexts.push_back(item.pszText ? item.pszText : "<null>");
                if (item.pszText && !replaceWith.empty())
                    item.pszText = const_cast<LPSTR>(replaceWith.c_str());
                return endReply;
            }
            if (code == LVN_BEGINLABELEDITA)
                return beginReply;
            return 0;
        }
        if (message == WM_COMMAND || message == WM_NEXTDLGCTL)
            messages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int Count(int code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }

    std::vector<int> codes;
    std::vector<UINT> messages;
    std::vector<std::string> endTexts;
    LRESULT beginReply = 0;
    LRESULT endReply = 1;
    std::string replaceWith;
};

class ListTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_CHILD | WS_VISIBLE, 0, 0, 360, 260, top->m_hWnd, nullptr));
        ASSERT_TRUE(font.CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans"));
    }
    void TearDown() override
    {
        if (list)
            list->DestroyWindow();
        list = nullptr;
        owned.reset();
        parent.DestroyWindow();
        AfxTest::TearDown();
    }
    // A list of a derived class, kept by the fixture until the test is over.
    template <class T>
    T* MakeOwned(DWORD style = 0, DWORD exStyle = 0, int rows = 30)
    {
        auto made = std::make_unique<T>();
        T* raw = made.get();
        owned = std::move(made);
        MakeList(style, exStyle, rows, raw);
        return raw;
    }
    // A report list 200 x 118 (100 pixels of rows under the 18-pixel header), items in 10-pixel
    // rows, columns "Name" (100, the labels) and "Size" (60).
    void MakeList(DWORD style = 0, DWORD exStyle = 0, int rows = 30, SECListCtrl* use = nullptr)
    {
        list = use ? use : &own;
        list->SetItemFont(&font);
        list->SetHeaderFont(&font);
        ASSERT_TRUE(list->Create(WS_CHILD | WS_VISIBLE | LVXS_REPORT_VIEW | style, exStyle, CRect(10, 10, 210, 128),
                                 &parent, 5));
        list->AddColumn("Name", 0, 100, 0);
        list->AddColumn("Size", 0, 60, -1);
        for (int i = 0; i < rows; ++i) {
            list->InsertItem(i, ("Item " + std::to_string(i)).c_str());
            SetCell(i, 1, std::to_string(i * 10).c_str());
        }
        list->RecalcLayout();
        backend->ProcessMessages();
    }
    // A new sub-item's text is the parent's until the list is told to keep one.
    void SetCell(int row, int slot, const char* text)
    {
        LV_ITEM lvi{LVIF_TEXT | LVIF_DI_SETITEM, row, slot, 0, 0, const_cast<LPSTR>(text), 0, 0, 0};
        list->SetItem(lvi, TRUE);
    }
    // The client point of a row's label (rows are 10 pixels from y = 18 at the top row).
    CPoint LabelPoint(int row) const { return CPoint(8, 18 + 10 * (row - list->GetTopIndex()) + 5); }
    void ClickAt(CPoint pt, int button = 1)
    {
        backend->Click(button, At(list->m_hWnd, pt.x, pt.y));
        backend->ProcessMessages();
    }
    void Press(UINT vk, const std::string& text = std::string())
    {
        backend->Key(vk, text);
        backend->ProcessMessages();
    }
    void PressWith(UINT modifier, UINT vk)
    {
        backend->KeyDown(modifier);
        backend->Key(vk);
        backend->KeyUp(modifier);
        backend->ProcessMessages();
    }
    COLORREF Pixel(int x, int y)
    {
        list->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return SurfacePixel(*backend, list->m_hWnd, x, y);
    }

    RecordingParent parent;
    CFont font;
    SECListCtrl own;
    std::unique_ptr<SECListCtrl> owned;
    SECListCtrl* list = nullptr;
};
