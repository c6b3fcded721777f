// A fixture for the framework's tests on the headless backend: the standard controls and the
// fixed-metric font, a framework top-level window to put children in, and a check that no
// temporary window objects outlive a test, nor a quit message that would end the next test's
// first modal loop, nor a current folder changed by a file dialog into a folder that goes away.
#pragma once

#include "platform/afx/wnd/CWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <system_error>

class AfxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startFolder = std::filesystem::current_path();
        backend = &HeadlessBackend::Install();
        SetTestFontMode(true);
        RegisterStandardControls();
        top = std::make_unique<CWnd>();
        ASSERT_TRUE(top->CreateEx(0, nullptr, "Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400, 300, nullptr,
                                  nullptr));
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        top.reset();
        backend->ProcessMessages();
        MSG quit;
        EXPECT_FALSE(::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a quit message was left behind";
        while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        CWnd::DeleteTempMap();
        std::error_code error;
        std::filesystem::current_path(startFolder, error);
        SetWindowBackend(nullptr);
        SetTestFontMode(false);
    }
    // A point of a window's client area in screen coordinates.
    static POINT At(HWND hwnd, int x, int y)
    {
        POINT pt{x, y};
        ::ClientToScreen(hwnd, &pt);
        return pt;
    }

    HeadlessBackend* backend = nullptr;
    std::unique_ptr<CWnd> top;
    std::filesystem::path startFolder;
};
