#include "app/CExtensionsGridCtrl.h"

#include "app/CKeywordsGridCtrl.h"

IMPLEMENT_DYNCREATE(CExtensionsGridCtrl, CGridWndWrapper)

void CExtensionsGridCtrl::LoadList(const CStringList& list)
{
    LoadOneColumnList(*this, list);
}
