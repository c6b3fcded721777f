// The single-page child frame.
#include "app/CSingleFrame.h"

IMPLEMENT_DYNCREATE(CSingleFrame, SECMDIChildWnd)
