// The group view's child frame.
#include "app/CGroupFrame.h"

IMPLEMENT_DYNCREATE(CGroupFrame, SECMDIChildWnd)
