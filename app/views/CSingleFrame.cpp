// The single-page child frame.
#include "app/views/CSingleFrame.h"

IMPLEMENT_DYNCREATE(CSingleFrame, SECMDIChildWnd)
