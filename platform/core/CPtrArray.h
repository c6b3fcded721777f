// The array classes of pointers, numbers and strings, with the semantics of the CArray
// template: CPtrArray, CObArray, CDWordArray, CWordArray, CUIntArray, CByteArray, CStringArray.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CPtrArray : public CArray<void*, void*> {
    DECLARE_DYNAMIC(CPtrArray)
};

// Holds CObject pointers that it does not own.
class CObArray : public CArray<CObject*, CObject*> {
    DECLARE_SERIAL(CObArray)
};

class CDWordArray : public CArray<DWORD, DWORD> {
    DECLARE_SERIAL(CDWordArray)
};

class CWordArray : public CArray<WORD, WORD> {
    DECLARE_SERIAL(CWordArray)
};

class CUIntArray : public CArray<UINT, UINT> {
    DECLARE_DYNAMIC(CUIntArray)
};

class CByteArray : public CArray<BYTE, BYTE> {
    DECLARE_SERIAL(CByteArray)
};

class CStringArray : public CArray<CString, const CString&> {
    DECLARE_SERIAL(CStringArray)
};
