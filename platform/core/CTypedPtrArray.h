// CTypedPtrArray, CTypedPtrList and CTypedPtrMap: type-safe views of the pointer
// collections (CPtrArray/CObArray, CPtrList/CObList, the pointer maps) for one pointer type.
#pragma once

#include "platform/core/CMapStringToString.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CPtrList.h"

template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
    using Base = BASE_CLASS;

public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(Base::GetAt(nIndex)); }
    TYPE& ElementAt(INT_PTR nIndex) { return reinterpret_cast<TYPE&>(Base::ElementAt(nIndex)); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { Base::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE newElement) { Base::SetAtGrow(nIndex, newElement); }
    INT_PTR Add(TYPE newElement) { return Base::Add(newElement); }
    INT_PTR Append(const CTypedPtrArray& src) { return Base::Append(src); }
    void Copy(const CTypedPtrArray& src) { Base::Copy(src); }
    void InsertAt(INT_PTR nIndex, TYPE newElement, INT_PTR nCount = 1) { Base::InsertAt(nIndex, newElement, nCount); }
    void InsertAt(INT_PTR nStartIndex, CTypedPtrArray* pNewArray) { Base::InsertAt(nStartIndex, pNewArray); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(Base::GetData()); }
    const TYPE* GetData() const { return reinterpret_cast<const TYPE*>(Base::GetData()); }
};

template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
    using Base = BASE_CLASS;

public:
    explicit CTypedPtrList(INT_PTR nBlockSize = 10) : Base(nBlockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(Base::GetHead()); }
    TYPE GetHead() const { return static_cast<TYPE>(Base::GetHead()); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(Base::GetTail()); }
    TYPE GetTail() const { return static_cast<TYPE>(Base::GetTail()); }
    TYPE RemoveHead() { return static_cast<TYPE>(Base::RemoveHead()); }
    TYPE RemoveTail() { return static_cast<TYPE>(Base::RemoveTail()); }
    POSITION AddHead(TYPE newElement) { return Base::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return Base::AddTail(newElement); }
    void AddHead(CTypedPtrList* pNewList) { Base::AddHead(pNewList); }
    void AddTail(CTypedPtrList* pNewList) { Base::AddTail(pNewList); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(Base::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return static_cast<TYPE>(Base::GetNext(rPosition)); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(Base::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return static_cast<TYPE>(Base::GetPrev(rPosition)); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(Base::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return static_cast<TYPE>(Base::GetAt(position)); }
    void SetAt(POSITION pos, TYPE newElement) { Base::SetAt(pos, newElement); }
    POSITION InsertBefore(POSITION position, TYPE newElement) { return Base::InsertBefore(position, newElement); }
    POSITION InsertAfter(POSITION position, TYPE newElement) { return Base::InsertAfter(position, newElement); }
};

template <class BASE_CLASS, class KEY, class VALUE>
class CTypedPtrMap : public BASE_CLASS {
    using Base = BASE_CLASS;
    using BaseKey = typename BASE_CLASS::BASE_KEY;
    using BaseArgKey = typename BASE_CLASS::BASE_ARG_KEY;
    using BaseValue = typename BASE_CLASS::BASE_VALUE;

public:
    explicit CTypedPtrMap(INT_PTR nBlockSize = 10) : Base(nBlockSize) {}

    BOOL Lookup(BaseArgKey key, VALUE& rValue) const
    {
        BaseValue value{};
        if (!Base::Lookup(key, value))
            return FALSE;
        rValue = static_cast<VALUE>(value);
        return TRUE;
    }
    VALUE& operator[](BaseArgKey key) { return reinterpret_cast<VALUE&>(Base::operator[](key)); }
    void SetAt(KEY key, VALUE newValue) { Base::SetAt(key, newValue); }
    BOOL RemoveKey(KEY key) { return Base::RemoveKey(key); }
    void GetNextAssoc(POSITION& rPosition, KEY& rKey, VALUE& rValue) const
    {
        BaseKey key{};
        BaseValue value{};
        Base::GetNextAssoc(rPosition, key, value);
        rKey = static_cast<KEY>(key);
        rValue = static_cast<VALUE>(value);
    }
};
