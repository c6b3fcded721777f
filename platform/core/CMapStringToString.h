// The map classes keyed by strings, pointers and words, with the semantics of the CMap
// template: CMapStringToString, CMapStringToPtr, CMapStringToOb, CMapPtrToPtr, CMapWordToPtr.
// String keys are case-sensitive.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CMapStringToString : public CMap<CString, LPCTSTR, CString, LPCTSTR> {
    DECLARE_SERIAL(CMapStringToString)
public:
    explicit CMapStringToString(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
    // Points rKey at the stored key equal to key; valid until that key is removed.
    BOOL LookupKey(LPCTSTR key, LPCTSTR& rKey) const
    {
        const CPair* pair = PLookup(key);
        if (pair == nullptr)
            return FALSE;
        rKey = pair->key;
        return TRUE;
    }
};

class CMapStringToPtr : public CMap<CString, LPCTSTR, void*, void*> {
    DECLARE_DYNAMIC(CMapStringToPtr)
public:
    explicit CMapStringToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

// Holds CObject pointers that it does not own.
class CMapStringToOb : public CMap<CString, LPCTSTR, CObject*, CObject*> {
    DECLARE_SERIAL(CMapStringToOb)
public:
    explicit CMapStringToOb(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
    DECLARE_DYNAMIC(CMapPtrToPtr)
public:
    explicit CMapPtrToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
    DECLARE_DYNAMIC(CMapWordToPtr)
public:
    explicit CMapWordToPtr(INT_PTR nBlockSize = 10) : CMap(nBlockSize) {}
};
