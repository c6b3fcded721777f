#include "toolkit/frames/SECWorkbook.h"

IMPLEMENT_DYNCREATE(SECWorkbook, SECMDIFrameWnd)
