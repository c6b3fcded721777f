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
    m_buckets.reset(new (std::nothrow) Entry*[static_cast<size_t>(nBuckets)]());
    if (!m_buckets)
        return kHashNoMemory;
    m_nBuckets = nBuckets;
    return kHashOk;
}

uint32_t KxHashSet::Hash(std::string_view key)
{
    uint32_t h = 0;
    for (char c : key) {
        // The byte is taken as signed and widened, so bytes from 0x80 set the high bits.
        auto widened = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
        h = (h ^ widened) << 1;
    }
    return h;
}

int KxHashSet::Index(const char* key, int nBuckets, int* pIndex)
{
    if (pIndex == nullptr)
        return kHashNullIndexOut;
    if (key == nullptr || *key == '\0' || nBuckets <= 0)
        return kHashEmptyKey;
    *pIndex = static_cast<int>(Hash(key) % static_cast<uint32_t>(nBuckets));
    return kHashOk;
}

const KxHashSet::Entry* KxHashSet::FindEntry(std::string_view key, int* pStatus) const
{
    if (m_nBuckets == 0) {
        *pStatus = kHashNullSet;
        return nullptr;
    }
    if (key.empty()) {
        *pStatus = kHashEmptyKey;
        return nullptr;
    }
    const uint32_t h = Hash(key);
    for (const Entry* e = m_buckets[h % static_cast<uint32_t>(m_nBuckets)]; e != nullptr; e = e->next) {
        if (e->hash == h && e->key == key) {
            *pStatus = kHashOk;
            return e;
        }
    }
    *pStatus = kHashNotFound;
    return nullptr;
}

int KxHashSet::PutEntry(std::string_view key, std::string&& value)
{
    if (m_nBuckets == 0)
        return kHashNullSet;
    if (key.empty())
        return kHashEmptyKey;
    const uint32_t h = Hash(key);
    const uint32_t index = h % static_cast<uint32_t>(m_nBuckets);
    Entry*& head = m_buckets[index];
    for (Entry* e = head; e != nullptr; e = e->next) {
        if (e->hash == h && e->key == key) {
            e->value = std::move(value);
            return kHashOk;
        }
    }
    try {
        // Whatever may fail comes before the entry is linked, so a failure leaves the set as
        // it was (a slot of the block may stay unused).
        Entry* entry = NewEntry();
        entry->key.assign(key);
        entry->value = std::move(value);
        entry->next = head;
        entry->hash = h;
        head = entry;
        ++m_nEntries;
    } catch (const std::bad_alloc&) {
        return kHashNoMemory;
    }
    return kHashOk;
}

KxHashSet::Entry* KxHashSet::NewEntry()
{
    if (m_nBlockUsed == kEntriesPerBlock) {
        auto block = std::make_unique<Entry[]>(kEntriesPerBlock);
        m_blocks.push_back(std::move(block));
        m_nBlockUsed = 0;
    }
    return &m_blocks.back()[m_nBlockUsed++];
}

int KxHashSet::Put(const char* key, std::string value)
{
    if (m_nBuckets == 0)
        return kHashNullSet;
    if (key == nullptr)
        return kHashEmptyKey;
    return PutEntry(key, std::move(value));
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
    const Entry* e = FindEntry(key != nullptr ? std::string_view(key) : std::string_view(), &status);
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
    const Entry* e = FindEntry(key != nullptr ? std::string_view(key) : std::string_view(), &status);
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
    return FindEntry(key != nullptr ? std::string_view(key) : std::string_view(), &status) != nullptr
        ? kHashOk : kHashNotFound;
}

int KxHashSet::Contains(std::string_view key) const
{
    int status = kHashOk;
    return FindEntry(key, &status) != nullptr ? kHashOk : kHashNotFound;
}

const std::string* KxHashSet::Lookup(const char* key) const
{
    return Lookup(key != nullptr ? std::string_view(key) : std::string_view());
}

const std::string* KxHashSet::Lookup(std::string_view key) const
{
    int status = kHashOk;
    const Entry* e = FindEntry(key, &status);
    return e != nullptr ? &e->value : nullptr;
}

std::string* KxHashSet::LookupMutable(std::string_view key)
{
    return const_cast<std::string*>(Lookup(key));
}

void KxHashSet::Free()
{
    m_blocks.clear();
    m_nBlockUsed = kEntriesPerBlock;
    m_buckets.reset();
    m_nBuckets = 0;
    m_nEntries = 0;
}

} // namespace kx
