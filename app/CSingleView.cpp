// The single view.
#include "app/CSingleView.h"

IMPLEMENT_DYNCREATE(CSingleView, CGridViewWrapper)
