// CSingleFrame: the child frame of one page's text.
#pragma once

#include "toolkit/frames/SECMDIChildWnd.h"

class CSingleFrame : public SECMDIChildWnd {
    DECLARE_DYNCREATE(CSingleFrame)
};
