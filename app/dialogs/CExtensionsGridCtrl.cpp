#include "app/dialogs/CExtensionsGridCtrl.h"

#include "app/values/CKeywordsGridCtrl.h"

IMPLEMENT_DYNCREATE(CExtensionsGridCtrl, CGridWndWrapper)

void CExtensionsGridCtrl::LoadList(const CStringList& list)
{
    LoadOneColumnList(*this, list);
}
