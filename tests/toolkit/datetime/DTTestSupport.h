// Helpers for the date-time widget tests: a window that records what is posted or sent to it,
// and a fixture with a fixed "today".
#pragma once

#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/datetime/wnd/DTSupport.h"

#include "tests/support/ClipboardText.h"

#include <string>
#include <utility>
#include <vector>

struct DTRecorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class DTRecorder : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER || message == WM_COMMAND)
            got.push_back({message, wParam, lParam});
        if (message == 0x7E3 && lParam)
            texts.emplace_back(reinterpret_cast<const char*>(lParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> Messages() const
    {
        std::vector<UINT> out;
        for (const auto& r : got)
            out.push_back(r.message);
        return out;
    }
    // The WM_COMMAND notification codes received, in order.
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> out;
        for (const auto& r : got)
            if (r.message == WM_COMMAND)
                out.push_back(HIWORD(r.wParam));
        return out;
    }
    std::vector<DTRecorded> got;
    std::vector<std::string> texts;
};

class DTTest : public AfxTest {
protected:
    // The clipboard's text, put there and read back as another program would.
    void SetClipboard(const std::string& text) { ASSERT_TRUE(clipboard_text::Put(owner.m_hWnd, text)); }
    std::string Clipboard() { return clipboard_text::Get(owner.m_hWnd); }
    void SetUp() override
    {
        AfxTest::SetUp();
        COleDateTime today(2024, 3, 15, 10, 30, 0);
        DTSetCurrentTimeForTesting(&today);
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "Owner", WS_CHILD | WS_VISIBLE, 0, 0, 380, 280, top->m_hWnd, nullptr));
    }
    void TearDown() override
    {
        owner.DestroyWindow();
        DTSetCurrentTimeForTesting(nullptr);
        AfxTest::TearDown();
    }
    size_t Beeps() const { return backend->Beeps().size(); }
    DTRecorder owner;
};
