#include "toolkit/frames/SECMenuBar.h"

IMPLEMENT_DYNAMIC(SECMenuBar, SECControlBar)
