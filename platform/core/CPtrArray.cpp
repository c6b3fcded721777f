#include "platform/core/CPtrArray.h"

IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_RUNTIMECLASS(CObArray, CObject, 0, CObArray::CreateObject)
CObject* CObArray::CreateObject() { return new CObArray; }
IMPLEMENT_RUNTIMECLASS(CDWordArray, CObject, 0, CDWordArray::CreateObject)
CObject* CDWordArray::CreateObject() { return new CDWordArray; }
IMPLEMENT_RUNTIMECLASS(CWordArray, CObject, 0, CWordArray::CreateObject)
CObject* CWordArray::CreateObject() { return new CWordArray; }
IMPLEMENT_RUNTIMECLASS(CByteArray, CObject, 0, CByteArray::CreateObject)
CObject* CByteArray::CreateObject() { return new CByteArray; }
IMPLEMENT_RUNTIMECLASS(CStringArray, CObject, 0, CStringArray::CreateObject)
CObject* CStringArray::CreateObject() { return new CStringArray; }
