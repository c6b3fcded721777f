#include "toolkit/frames/SECMenuBar.h"

IMPLEMENT_DYNCREATE(SECMenuBar, SECControlBar)
