#include "platform/core/CPtrList.h"

IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_RUNTIMECLASS(CObList, CObject, 0, CObList::CreateObject)
CObject* CObList::CreateObject() { return new CObList; }
IMPLEMENT_RUNTIMECLASS(CStringList, CObject, 0, CStringList::CreateObject)
CObject* CStringList::CreateObject() { return new CStringList; }
