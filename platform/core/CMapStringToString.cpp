#include "platform/core/CMapStringToString.h"

IMPLEMENT_RUNTIMECLASS(CMapStringToString, CObject, 0, CMapStringToString::CreateObject)
CObject* CMapStringToString::CreateObject() { return new CMapStringToString; }
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_RUNTIMECLASS(CMapStringToOb, CObject, 0, CMapStringToOb::CreateObject)
CObject* CMapStringToOb::CreateObject() { return new CMapStringToOb; }
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
