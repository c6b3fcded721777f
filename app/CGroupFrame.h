// CGroupFrame: the child frame of the project's grid of pages.
#pragma once

#include "toolkit/frames/SECMDIChildWnd.h"

class CGroupFrame : public SECMDIChildWnd {
    DECLARE_DYNCREATE(CGroupFrame)
};
