#include "keywords/KxHashSet.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace kx {

KxHashSet::~KxHashSet()
{
    Free();
}

int KxHashSet::Create(int nBuckets)
{
    Free();
    if (nBuckets <= 0)
        return kHashNullSet;
    try {
        m_buckets.assign(static_cast<size_t>(nBuckets), nullptr);
    } catch (const std::bad_alloc&) {
        return kHashNoMemory;
    }
    return kHashOk;
}

int KxHashSet::Index(const char* key, int nBuckets, int* pIndex)
{
    if (pIndex == nullptr)
        return kHashNullIndexOut;
    if (key == nullptr || *key == '\0' || nBuckets <= 0)
        return kHashEmptyKey;
    uint32_t h = 0;
    for (const char* p = key; *p != '\0'; ++p) {
        // The byte is taken as signed and widened, so bytes from 0x80 set the high bits.
        auto widened = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
        h = (h ^ widened) << 1;
    }
    *pIndex = static_cast<int>(h % static_cast<uint32_t>(nBuckets));
    return kHashOk;
}

const KxHashSet::Entry* KxHashSet::FindEntry(const char* key, int* pStatus) const
{
    if (m_buckets.empty()) {
        *pStatus = kHashNullSet;
        return nullptr;
    }
    int index = 0;
    int status = Index(key, BucketCount(), &index);
    if (status != kHashOk) {
        *pStatus = status;
        return nullptr;
    }
    for (const Entry* e = m_buckets[static_cast<size_t>(index)]; e != nullptr; e = e->next) {
        if (e->key == key) {
            *pStatus = kHashOk;
            return e;
        }
    }
    *pStatus = kHashNotFound;
    return nullptr;
}

int KxHashSet::Put(const char* key, std::string value)
{
    if (m_buckets.empty())
        return kHashNullSet;
    int index = 0;
    int status = Index(key, BucketCount(), &index);
    if (status != kHashOk)
        return status;
    Entry*& head = m_buckets[static_cast<size_t>(index)];
    for (Entry* e = head; e != nullptr; e = e->next) {
        if (e->key == key) {
            e->value = std::move(value);
            return kHashOk;
        }
    }
    try {
        auto* entry = new Entry{key, std::move(value), head};
        head = entry;
        ++m_nEntries;
    } catch (const std::bad_alloc&) {
        return kHashNoMemory;
    }
    return kHashOk;
}

namespace {

// Numbers are stored as their bytes, so that a value is always a byte string.
template <class T>
int PutFixed(KxHashSet& set, const char* key, T value)
{
    try {
        return set.Put(key, std::string(reinterpret_cast<const char*>(&value), sizeof value));
    } catch (const std::bad_alloc&) {
        return kHashNoMemory;
    }
}

// A stored value of another size than the number asked for is no such number.
template <class T>
int FindFixed(const KxHashSet& set, const char* key, T* pValue)
{
    if (pValue == nullptr)
        return kHashNullTypedOut;
    const std::string* pStored = nullptr;
    const int status = set.Find(key, &pStored);
    if (pStored == nullptr)
        return status;
    if (pStored->size() != sizeof(T))
        return kHashNullValue;
    std::memcpy(pValue, pStored->data(), sizeof(T));
    return status;
}

} // namespace

int KxHashSet::PutInt(const char* key, int value)
{
    return PutFixed(*this, key, value);
}

int KxHashSet::PutPair(const char* key, double value)
{
    return PutFixed(*this, key, value);
}

int KxHashSet::PutString(const char* key, const char* value)
{
    try {
        return Put(key, std::string(value != nullptr ? value : ""));
    } catch (const std::bad_alloc&) {
        return kHashNoMemory;
    }
}

int KxHashSet::Find(const char* key, const std::string** ppValue) const
{
    if (ppValue == nullptr)
        return kHashNullValue;
    int status = kHashOk;
    const Entry* e = FindEntry(key, &status);
    if (e != nullptr)
        *ppValue = &e->value;
    return status;
}

int KxHashSet::FindInt(const char* key, int* pValue) const
{
    return FindFixed(*this, key, pValue);
}

int KxHashSet::FindPair(const char* key, double* pValue) const
{
    return FindFixed(*this, key, pValue);
}

int KxHashSet::FindString(const char* key, char* pBuffer, size_t cbBuffer) const
{
    if (pBuffer == nullptr || cbBuffer == 0)
        return kHashNullTypedOut;
    int status = kHashOk;
    const Entry* e = FindEntry(key, &status);
    if (e != nullptr) {
        size_t n = std::min(e->value.size(), cbBuffer - 1);
        std::memcpy(pBuffer, e->value.data(), n);
        pBuffer[n] = '\0';
    }
    return status;
}

int KxHashSet::Contains(const char* key) const
{
    int status = kHashOk;
    return FindEntry(key, &status) != nullptr ? kHashOk : kHashNotFound;
}

const std::string* KxHashSet::Lookup(const char* key) const
{
    int status = kHashOk;
    const Entry* e = FindEntry(key, &status);
    return e != nullptr ? &e->value : nullptr;
}

void KxHashSet::Free()
{
    for (Entry*& head : m_buckets) {
        while (head != nullptr) {
            Entry* next = head->next;
            delete head;
            head = next;
        }
    }
    m_buckets.clear();
    m_buckets.shrink_to_fit();
    m_nEntries = 0;
}

} // namespace kx
