// A chained hash set keyed by byte strings: the one table type of the keyword engine.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// Status codes of the hash set.
inline constexpr int kHashOk = 0;
inline constexpr int kHashNotFound = 1;
inline constexpr int kHashNullSet = 2;
inline constexpr int kHashNoMemory = 3;
inline constexpr int kHashEmptyKey = 4;
inline constexpr int kHashNullValue = 5;
inline constexpr int kHashNullIndexOut = 6;
inline constexpr int kHashNullTypedOut = 7;

// The set never grows or rehashes: the bucket count is fixed by Create. Lookups are const and
// touch no shared state, so a filled set may be read by any number of threads at once.
class KxHashSet {
public:
    KxHashSet() = default;
    ~KxHashSet();
    KxHashSet(const KxHashSet&) = delete;
    KxHashSet& operator=(const KxHashSet&) = delete;
    KxHashSet(KxHashSet&&) = delete;
    KxHashSet& operator=(KxHashSet&&) = delete;

    // Allocates nBuckets empty chains; an existing content is freed first.
    [[nodiscard]] int Create(int nBuckets);
    // The bucket of a key: each byte, sign-extended, is XORed in and the sum shifted left.
    [[nodiscard]] static int Index(const char* key, int nBuckets, int* pIndex);

    // Replaces the value of an existing key or adds the key at the head of its chain.
    [[nodiscard]] int Put(const char* key, std::string value);
    [[nodiscard]] int PutInt(const char* key, int value);
    [[nodiscard]] int PutPair(const char* key, double value);
    [[nodiscard]] int PutString(const char* key, const char* value);

    [[nodiscard]] int Find(const char* key, const std::string** ppValue) const;
    [[nodiscard]] int FindInt(const char* key, int* pValue) const;
    [[nodiscard]] int FindPair(const char* key, double* pValue) const;
    // Copies the stored string, cut to fit cbBuffer bytes with its terminator.
    [[nodiscard]] int FindString(const char* key, char* pBuffer, size_t cbBuffer) const;
    // 0 when the key is present, 1 when not.
    [[nodiscard]] int Contains(const char* key) const;
    [[nodiscard]] int Contains(std::string_view key) const;
    [[nodiscard]] int Contains(const std::string& key) const { return Contains(std::string_view(key)); }
    // A convenience for the engine: the stored value or null.
    const std::string* Lookup(const char* key) const;
    const std::string* Lookup(std::string_view key) const;
    // The stored value, to be changed in place (a counter that goes up), or null.
    std::string* LookupMutable(std::string_view key);

    void Free();
    int BucketCount() const { return m_nBuckets; }
    int EntryCount() const { return m_nEntries; }

private:
    struct Entry {
        std::string key;
        std::string value;
        Entry* next = nullptr;
        uint32_t hash = 0;   // before the modulo, to pass over most other keys of the chain
    };
    static uint32_t Hash(std::string_view key);
    const Entry* FindEntry(std::string_view key, int* pStatus) const;
    int PutEntry(std::string_view key, std::string&& value);

    Entry* NewEntry();

    std::unique_ptr<Entry*[]> m_buckets;   // the chains' heads
    // The entries, made in blocks rather than one by one, and freed all at once.
    static constexpr size_t kEntriesPerBlock = 64;
    std::vector<std::unique_ptr<Entry[]>> m_blocks;
    size_t m_nBlockUsed = kEntriesPerBlock;
    int m_nBuckets = 0;
    int m_nEntries = 0;
};

} // namespace kx
