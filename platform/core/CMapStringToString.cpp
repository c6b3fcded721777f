#include "platform/core/CMapStringToString.h"

IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
