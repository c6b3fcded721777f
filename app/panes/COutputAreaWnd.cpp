#include "app/panes/COutputAreaWnd.h"

IMPLEMENT_DYNCREATE(COutputAreaWnd, CRichEditCtrl)
