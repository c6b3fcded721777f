// The single view.
#include "app/views/CSingleView.h"

IMPLEMENT_DYNCREATE(CSingleView, CGridViewWrapper)
