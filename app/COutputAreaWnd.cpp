#include "app/COutputAreaWnd.h"

IMPLEMENT_DYNCREATE(COutputAreaWnd, CRichEditCtrl)
