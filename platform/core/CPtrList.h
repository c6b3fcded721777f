// The list classes: CPtrList (untyped pointers), CObList (CObject pointers, not owned) and
// CStringList (strings), with the semantics of the CList template.
#pragma once

#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CPtrList : public CList<void*, void*> {
    DECLARE_DYNAMIC(CPtrList)
public:
    explicit CPtrList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CObList : public CList<CObject*, CObject*> {
    DECLARE_SERIAL(CObList)
public:
    explicit CObList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};

class CStringList : public CList<CString, const CString&> {
    DECLARE_SERIAL(CStringList)
public:
    explicit CStringList(INT_PTR nBlockSize = 10) : CList(nBlockSize) {}
};
