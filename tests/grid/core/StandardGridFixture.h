// Grids on the headless backend with the grid library started as an application starts it
// (the standard controls registered, the standard factory) and ended after each test.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/HeadlessFixture.h"

class StandardGridTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        RegisterStandardControls();
        GXInitControlFactory();
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
};
