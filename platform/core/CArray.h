// The collection templates CArray, CList and CMap, and the element helpers they use
// (HashKey, CompareElements, CopyElements, SerializeElements).
#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CException.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <algorithm>
#include <concepts>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------
// Element helpers. Specialise them for a key or element type that needs its own rule.

// The hash of a map key: strings hash their characters, numbers and pointers their value
// without the low four bits (which are mostly zero for pointers).
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    using K = std::remove_cvref_t<ARG_KEY>;
    if constexpr (std::is_convertible_v<const K&, LPCTSTR>) {
        LPCTSTR p = static_cast<LPCTSTR>(key);
        UINT nHash = 0;
        if (p != nullptr)
            while (*p)
                nHash = (nHash << 5) + nHash + static_cast<UINT>(static_cast<unsigned char>(*p++));
        return nHash;
    } else if constexpr (std::is_pointer_v<K>) {
        return static_cast<UINT>(reinterpret_cast<uintptr_t>(key) >> 4);
    } else if constexpr (std::is_enum_v<K>) {
        return static_cast<UINT>(static_cast<uint64_t>(key) >> 4);
    } else {
        static_assert(std::is_integral_v<K>, "give HashKey a specialisation for this key type");
        return static_cast<UINT>(static_cast<uint64_t>(key) >> 4);
    }
}

// Equality of an element and a search value, for CList::Find and CMap keys.
template <class TYPE, class ARG_TYPE>
inline BOOL CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2)
{
    return *pElement1 == *pElement2;
}

template <class TYPE>
inline void CopyElements(TYPE* pDest, const TYPE* pSrc, INT_PTR nCount)
{
    for (INT_PTR i = 0; i < nCount; ++i)
        pDest[i] = pSrc[i];
}

// The stored form of collection elements: strings as archive strings, CObject pointers as
// objects with their class tags, numbers little-endian in their own widths, other plain
// records as their bytes. Pointers to anything else have no stored form and raise
// CNotSupportedException.
template <class TYPE>
void SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount)
{
    using Pointee = std::remove_cv_t<std::remove_pointer_t<TYPE>>;
    if constexpr (std::is_same_v<TYPE, CString>) {
        for (INT_PTR i = 0; i < nCount; ++i) {
            if (ar.IsStoring())
                ar << pElements[i];
            else
                ar >> pElements[i];
        }
    } else if constexpr (std::is_pointer_v<TYPE> && std::is_base_of_v<CObject, Pointee>) {
        for (INT_PTR i = 0; i < nCount; ++i) {
            if (ar.IsStoring()) {
                ar << static_cast<const CObject*>(pElements[i]);
            } else {
                CObject* pObject = ar.ReadObject(nullptr);
                TYPE pTyped = dynamic_cast<TYPE>(pObject);
                if (pObject != nullptr && pTyped == nullptr)
                    AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
                pElements[i] = pTyped;
            }
        }
    } else if constexpr (std::is_pointer_v<TYPE>) {
        (void)ar, (void)pElements, (void)nCount;
        AfxThrowNotSupportedException();
    } else if constexpr (std::is_arithmetic_v<TYPE> || std::is_enum_v<TYPE>) {
        // Each number in its exact width, whatever the host's byte order.
        using Stored = std::conditional_t<std::is_floating_point_v<TYPE>, TYPE,
            std::conditional_t<sizeof(TYPE) == 1, BYTE,
                std::conditional_t<sizeof(TYPE) == 2, WORD,
                    std::conditional_t<sizeof(TYPE) == 4, UINT, unsigned long long>>>>;
        for (INT_PTR i = 0; i < nCount; ++i) {
            if (ar.IsStoring()) {
                ar << static_cast<Stored>(pElements[i]);
            } else {
                Stored value{};
                ar >> value;
                pElements[i] = static_cast<TYPE>(value);
            }
        }
    } else if constexpr (std::is_trivially_copyable_v<TYPE>) {
        UINT nBytes = static_cast<UINT>(static_cast<size_t>(nCount) * sizeof(TYPE));
        if (ar.IsStoring()) {
            ar.Write(pElements, nBytes);
        } else if (ar.Read(pElements, nBytes) != nBytes) {
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        }
    } else {
        (void)ar, (void)pElements, (void)nCount;
        AfxThrowNotSupportedException();
    }
}

// The fewest bytes one stored element takes; a count read from a damaged file is checked
// against the bytes left before room is made for it.
template <class TYPE>
constexpr ULONGLONG AfxMinStoredSize()
{
    if constexpr (std::is_same_v<TYPE, CString>)
        return 1; // the length byte
    else if constexpr (std::is_pointer_v<TYPE>)
        return 2; // the null or back-reference tag
    else
        return sizeof(TYPE);
}

// ---------------------------------------------------------------------------------------
// CArray: a growable array whose elements are contiguous (GetData), indexed from 0.

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() = default;
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;
    ~CArray() override = default;

    INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const noexcept { return GetSize(); }
    BOOL IsEmpty() const noexcept { return m_data.empty(); }
    INT_PTR GetUpperBound() const noexcept { return GetSize() - 1; }

    // New elements are value-initialised (zero for numbers and pointers). nGrowBy is the
    // number of elements added to the allocation when it must grow; -1 keeps the current one.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        ASSERT(nNewSize >= 0);
        if (nGrowBy >= 0)
            m_nGrowBy = nGrowBy;
        if (nNewSize < 0)
            return;
        Reserve(nNewSize);
        m_data.resize(static_cast<size_t>(nNewSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll()
    {
        m_data.clear();
        m_data.shrink_to_fit();
    }

    const TYPE& GetAt(INT_PTR nIndex) const
    {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return m_data[static_cast<size_t>(nIndex)];
    }
    TYPE& GetAt(INT_PTR nIndex)
    {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return m_data[static_cast<size_t>(nIndex)];
    }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { GetAt(nIndex) = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }
    const TYPE* GetData() const noexcept { return m_data.empty() ? nullptr : m_data.data(); }
    TYPE* GetData() noexcept { return m_data.empty() ? nullptr : m_data.data(); }

    // Grows the array as needed; the element may be one of this array's own.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        ASSERT(nIndex >= 0);
        if (nIndex < 0)
            return;
        TYPE copy(newElement);
        if (nIndex >= GetSize())
            SetSize(nIndex + 1, -1);
        m_data[static_cast<size_t>(nIndex)] = std::move(copy);
    }
    // Returns the index of the new element.
    INT_PTR Add(ARG_TYPE newElement)
    {
        INT_PTR nIndex = GetSize();
        SetAtGrow(nIndex, newElement);
        return nIndex;
    }
    // Returns the index of the first appended element.
    INT_PTR Append(const CArray& src)
    {
        INT_PTR nOldSize = GetSize();
        if (this == &src) {
            std::vector<TYPE> copy(m_data);
            Reserve(nOldSize * 2);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            Reserve(nOldSize + src.GetSize());
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return nOldSize;
    }
    void Copy(const CArray& src)
    {
        if (this != &src)
            m_data = src.m_data;
    }

    // Inserts nCount copies at nIndex; an index past the end grows the array first.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0);
        if (nIndex < 0 || nCount <= 0)
            return;
        TYPE copy(newElement);
        if (nIndex >= GetSize())
            SetSize(nIndex, -1);
        Reserve(GetSize() + nCount);
        m_data.insert(m_data.begin() + nIndex, static_cast<size_t>(nCount), copy);
    }
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray)
    {
        ASSERT(pNewArray != nullptr && nStartIndex >= 0);
        if (pNewArray == nullptr || nStartIndex < 0 || pNewArray->IsEmpty())
            return;
        std::vector<TYPE> copy(pNewArray->m_data);
        if (nStartIndex >= GetSize())
            SetSize(nStartIndex, -1);
        Reserve(GetSize() + static_cast<INT_PTR>(copy.size()));
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }
    // Removes nCount elements from nIndex; a range outside the array removes nothing.
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0 || nIndex > GetSize() - nCount)
            return;
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

    // The element count (WriteCount), then the elements (SerializeElements).
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(GetSize()));
        } else {
            DWORD_PTR nCount = ar.ReadCount();
            ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * AfxMinStoredSize<TYPE>());
            SetSize(static_cast<INT_PTR>(nCount), -1);
        }
        SerializeElements<TYPE>(ar, GetData(), GetSize());
    }


private:
    // Grows the allocation in steps of the grow-by value (or a step proportional to the
    // size when it is 0), so that repeated Add calls stay linear.
    void Reserve(INT_PTR nNeeded)
    {
        size_t needed = static_cast<size_t>(nNeeded);
        if (needed <= m_data.capacity())
            return;
        INT_PTR grow = m_nGrowBy;
        if (grow == 0)
            grow = std::clamp<INT_PTR>(GetSize() / 8, 4, 1024);
        m_data.reserve(std::max(needed, m_data.size() + static_cast<size_t>(grow)));
    }

    std::vector<TYPE> m_data;
    INT_PTR m_nGrowBy = 0;
};

// ---------------------------------------------------------------------------------------
// CList: a doubly linked list. A POSITION names one element and stays valid until that
// element is removed, whatever else is added or removed.

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    // The block size is accepted for compatibility; nodes are allocated one by one.
    explicit CList(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize) {}
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() override { RemoveAll(); }

    INT_PTR GetCount() const noexcept { return m_nCount; }
    INT_PTR GetSize() const noexcept { return m_nCount; }
    BOOL IsEmpty() const noexcept { return m_nCount == 0; }

    TYPE& GetHead()
    {
        ASSERT(m_pNodeHead != nullptr);
        return m_pNodeHead->data;
    }
    const TYPE& GetHead() const
    {
        ASSERT(m_pNodeHead != nullptr);
        return m_pNodeHead->data;
    }
    TYPE& GetTail()
    {
        ASSERT(m_pNodeTail != nullptr);
        return m_pNodeTail->data;
    }
    const TYPE& GetTail() const
    {
        ASSERT(m_pNodeTail != nullptr);
        return m_pNodeTail->data;
    }

    // Removing from an empty list is a caller error; it returns a default value.
    TYPE RemoveHead()
    {
        ASSERT(m_pNodeHead != nullptr);
        if (m_pNodeHead == nullptr)
            return TYPE();
        TYPE value(std::move(m_pNodeHead->data));
        FreeNode(m_pNodeHead);
        return value;
    }
    TYPE RemoveTail()
    {
        ASSERT(m_pNodeTail != nullptr);
        if (m_pNodeTail == nullptr)
            return TYPE();
        TYPE value(std::move(m_pNodeTail->data));
        FreeNode(m_pNodeTail);
        return value;
    }

    POSITION AddHead(ARG_TYPE newElement) { return ToPos(NewNode(nullptr, m_pNodeHead, newElement)); }
    POSITION AddTail(ARG_TYPE newElement) { return ToPos(NewNode(m_pNodeTail, nullptr, newElement)); }
    // Adds copies of another list's elements, keeping their order; the list may be this one.
    void AddHead(const CList* pNewList)
    {
        ASSERT(pNewList != nullptr);
        if (pNewList == nullptr)
            return;
        INT_PTR n = pNewList->m_nCount;
        CNode* node = pNewList->m_pNodeTail;
        for (INT_PTR i = 0; i < n; ++i, node = node->pPrev)
            AddHead(node->data);
    }
    void AddTail(const CList* pNewList)
    {
        ASSERT(pNewList != nullptr);
        if (pNewList == nullptr)
            return;
        INT_PTR n = pNewList->m_nCount;
        CNode* node = pNewList->m_pNodeHead;
        for (INT_PTR i = 0; i < n; ++i, node = node->pNext)
            AddTail(node->data);
    }

    void RemoveAll()
    {
        CNode* node = m_pNodeHead;
        while (node != nullptr) {
            CNode* next = node->pNext;
            delete node;
            node = next;
        }
        m_pNodeHead = m_pNodeTail = nullptr;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const noexcept { return ToPos(m_pNodeHead); }
    POSITION GetTailPosition() const noexcept { return ToPos(m_pNodeTail); }
    // Returns the element at rPosition and moves rPosition on (NULL after the last one).
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pNext);
        return node->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pPrev);
        return node->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* node = FromPos(rPosition);
        rPosition = ToPos(node->pPrev);
        return node->data;
    }
    TYPE& GetAt(POSITION position) { return FromPos(position)->data; }
    const TYPE& GetAt(POSITION position) const { return FromPos(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { FromPos(pos)->data = newElement; }
    void RemoveAt(POSITION position) { FreeNode(FromPos(position)); }

    // A NULL position inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddHead(newElement);
        CNode* old = FromPos(position);
        return ToPos(NewNode(old->pPrev, old, newElement));
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (position == nullptr)
            return AddTail(newElement);
        CNode* old = FromPos(position);
        return ToPos(NewNode(old, old->pNext, newElement));
    }

    // The first element equal to searchValue after startAfter (from the head when NULL).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = nullptr) const
    {
        CNode* node = startAfter == nullptr ? m_pNodeHead : FromPos(startAfter)->pNext;
        for (; node != nullptr; node = node->pNext)
            if (CompareElements<TYPE, std::remove_cvref_t<ARG_TYPE>>(&node->data, &searchValue))
                return ToPos(node);
        return nullptr;
    }
    // The position of the element at a 0-based index; NULL when out of range.
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return nullptr;
        CNode* node = m_pNodeHead;
        while (nIndex-- > 0)
            node = node->pNext;
        return ToPos(node);
    }

    // The element count (WriteCount), then the elements from head to tail; loading appends.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (CNode* node = m_pNodeHead; node != nullptr; node = node->pNext)
                SerializeElements<TYPE>(ar, &node->data, 1);
        } else {
            DWORD_PTR nCount = ar.ReadCount();
            while (nCount-- > 0) {
                TYPE newData{};
                SerializeElements<TYPE>(ar, &newData, 1);
                AddTail(newData);
            }
        }
    }

protected:
    static POSITION ToPos(CNode* node) noexcept { return reinterpret_cast<POSITION>(node); }
    static CNode* FromPos(POSITION pos)
    {
        ASSERT(pos != nullptr && pos != BEFORE_START_POSITION);
        return reinterpret_cast<CNode*>(pos);
    }

    CNode* NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE element)
    {
        // The element may live in this list; copy it before the links change.
        CNode* node = new CNode{pNext, pPrev, TYPE(element)};
        if (pPrev != nullptr)
            pPrev->pNext = node;
        else
            m_pNodeHead = node;
        if (pNext != nullptr)
            pNext->pPrev = node;
        else
            m_pNodeTail = node;
        ++m_nCount;
        return node;
    }
    void FreeNode(CNode* node) noexcept
    {
        if (node->pPrev != nullptr)
            node->pPrev->pNext = node->pNext;
        else
            m_pNodeHead = node->pNext;
        if (node->pNext != nullptr)
            node->pNext->pPrev = node->pPrev;
        else
            m_pNodeTail = node->pPrev;
        delete node;
        --m_nCount;
    }

    CNode* m_pNodeHead = nullptr;
    CNode* m_pNodeTail = nullptr;
    INT_PTR m_nCount = 0;
    INT_PTR m_nBlockSize;
};

// ---------------------------------------------------------------------------------------
// CMap: a hash map with chained buckets. Iteration visits the buckets in order and, within
// a bucket, the newest association first; the order therefore depends only on the keys
// and the order of insertion.

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
    typedef KEY BASE_KEY;
    typedef ARG_KEY BASE_ARG_KEY;
    typedef VALUE BASE_VALUE;
    typedef ARG_VALUE BASE_ARG_VALUE;

    struct CPair {
        const KEY key;
        VALUE value;
    };

protected:
    struct CAssoc : CPair {
        CAssoc* pNext;
        UINT nHashValue;
    };

public:
    // The block size is accepted for compatibility; associations are allocated one by one.
    explicit CMap(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize) {}
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() override { RemoveAll(); }

    INT_PTR GetCount() const noexcept { return m_nCount; }
    INT_PTR GetSize() const noexcept { return m_nCount; }
    BOOL IsEmpty() const noexcept { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        UINT nHash;
        CAssoc* assoc = GetAssocAt(key, nHash);
        if (assoc == nullptr)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }
    const CPair* PLookup(ARG_KEY key) const
    {
        UINT nHash;
        return GetAssocAt(key, nHash);
    }
    CPair* PLookup(ARG_KEY key)
    {
        UINT nHash;
        return GetAssocAt(key, nHash);
    }
    // The value of key, added with a default value when the key is new.
    VALUE& operator[](ARG_KEY key)
    {
        UINT nHash;
        CAssoc* assoc = GetAssocAt(key, nHash);
        if (assoc == nullptr) {
            if (m_buckets.empty())
                InitHashTable(m_nHashTableSize);
            assoc = new CAssoc{{KEY(key), VALUE()}, nullptr, nHash};
            UINT bucket = nHash % m_nHashTableSize;
            assoc->pNext = m_buckets[bucket];
            m_buckets[bucket] = assoc;
            ++m_nCount;
        }
        return assoc->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
    // FALSE when the key was not there.
    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty())
            return FALSE;
        UINT nHash = HashKey<ARG_KEY>(key);
        CAssoc** link = &m_buckets[nHash % m_nHashTableSize];
        for (CAssoc* assoc = *link; assoc != nullptr; link = &assoc->pNext, assoc = *link) {
            if (assoc->nHashValue == nHash && CompareElements<KEY, std::remove_cvref_t<ARG_KEY>>(&assoc->key, &key)) {
                *link = assoc->pNext;
                delete assoc;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll()
    {
        for (CAssoc*& head : m_buckets) {
            while (head != nullptr) {
                CAssoc* next = head->pNext;
                delete head;
                head = next;
            }
        }
        m_buckets.clear();
        m_nCount = 0;
    }

    // NULL for an empty map; otherwise walk with GetNextAssoc until the position is NULL.
    // The association just returned may be removed without disturbing the walk.
    POSITION GetStartPosition() const noexcept
    {
        if (m_nCount == 0)
            return nullptr;
        return ToPos(FirstFrom(0));
    }
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        ASSERT(rNextPosition != nullptr);
        CAssoc* assoc = reinterpret_cast<CAssoc*>(rNextPosition);
        rKey = assoc->key;
        rValue = assoc->value;
        rNextPosition = ToPos(NextOf(assoc));
    }

    UINT GetHashTableSize() const noexcept { return m_nHashTableSize; }
    // Sets the number of buckets (a prime a little above the expected count works best).
    // Existing associations are kept.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        ASSERT(hashSize > 0);
        if (hashSize == 0)
            return;
        std::vector<CAssoc*> old;
        old.swap(m_buckets);
        m_nHashTableSize = hashSize;
        if (bAllocNow || !old.empty())
            m_buckets.assign(hashSize, nullptr);
        // Re-link oldest first so that each bucket keeps the newest association at its head.
        std::vector<CAssoc*> all;
        for (CAssoc* head : old) {
            std::vector<CAssoc*> chain;
            for (CAssoc* a = head; a != nullptr; a = a->pNext)
                chain.push_back(a);
            all.insert(all.end(), chain.rbegin(), chain.rend());
        }
        for (CAssoc* a : all) {
            UINT bucket = a->nHashValue % m_nHashTableSize;
            a->pNext = m_buckets[bucket];
            m_buckets[bucket] = a;
        }
    }


    // The association count (WriteCount), then key and value of each in iteration order.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<DWORD_PTR>(m_nCount));
            for (CAssoc* assoc = FirstFrom(0); assoc != nullptr; assoc = NextOf(assoc)) {
                KEY key(assoc->key);
                SerializeElements<KEY>(ar, &key, 1);
                SerializeElements<VALUE>(ar, &assoc->value, 1);
            }
        } else {
            DWORD_PTR nCount = ar.ReadCount();
            while (nCount-- > 0) {
                KEY newKey{};
                VALUE newValue{};
                SerializeElements<KEY>(ar, &newKey, 1);
                SerializeElements<VALUE>(ar, &newValue, 1);
                SetAt(newKey, newValue);
            }
        }
    }

protected:
    static POSITION ToPos(CAssoc* assoc) noexcept { return reinterpret_cast<POSITION>(assoc); }

    CAssoc* NextOf(CAssoc* assoc) const noexcept
    {
        return assoc->pNext != nullptr ? assoc->pNext : FirstFrom(assoc->nHashValue % m_nHashTableSize + 1);
    }
    CAssoc* FirstFrom(UINT bucket) const noexcept
    {
        for (; bucket < m_buckets.size(); ++bucket)
            if (m_buckets[bucket] != nullptr)
                return m_buckets[bucket];
        return nullptr;
    }
    CAssoc* GetAssocAt(ARG_KEY key, UINT& nHash) const
    {
        nHash = HashKey<ARG_KEY>(key);
        if (m_buckets.empty())
            return nullptr;
        for (CAssoc* assoc = m_buckets[nHash % m_nHashTableSize]; assoc != nullptr; assoc = assoc->pNext)
            if (assoc->nHashValue == nHash && CompareElements<KEY, std::remove_cvref_t<ARG_KEY>>(&assoc->key, &key))
                return assoc;
        return nullptr;
    }

    std::vector<CAssoc*> m_buckets;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    INT_PTR m_nBlockSize;
};
