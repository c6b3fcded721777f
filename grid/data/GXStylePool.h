// Shared, immutable styles for the cell store. A grid gives thousands of cells the same style,
// so the store keeps one copy of each distinct style with a count of its users, and a cell
// costs one pointer.
#pragma once

#include "grid/data/CGXStyle.h"

#include <cstddef>
#include <vector>

class GXStylePool;

// One distinct style and the number of cells, rows or columns that use it.
struct GXSharedStyle {
    CGXStyle style;
    size_t hash = 0;
    size_t refs = 0;
    GXStylePool* pool = nullptr;
};

// A counted reference to a shared style; null means "nothing stored".
class GXStyleRef {
public:
    GXStyleRef() = default;
    explicit GXStyleRef(GXSharedStyle* p) : m_p(p) { Acquire(); }
    GXStyleRef(const GXStyleRef& o) : m_p(o.m_p) { Acquire(); }
    GXStyleRef(GXStyleRef&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    GXStyleRef& operator=(const GXStyleRef& o);
    GXStyleRef& operator=(GXStyleRef&& o) noexcept;
    ~GXStyleRef() { Release(); }

    const CGXStyle* get() const { return m_p ? &m_p->style : nullptr; }
    explicit operator bool() const { return m_p != nullptr; }
    bool operator==(const GXStyleRef& o) const { return m_p == o.m_p; }
    void reset() { Release(); m_p = nullptr; }

private:
    void Acquire() { if (m_p) ++m_p->refs; }
    void Release();
    GXSharedStyle* m_p = nullptr;
};

class GXStylePool {
public:
    GXStylePool() = default;
    GXStylePool(const GXStylePool&) = delete;
    GXStylePool& operator=(const GXStylePool&) = delete;
    ~GXStylePool();

    // The shared copy of a style, made when no equal style is shared yet.
    GXStyleRef Intern(const CGXStyle& style);
    size_t GetCount() const { return m_nCount; }

private:
    friend class GXStyleRef;
    void Drop(GXSharedStyle* p);

    // An open-addressed table with linear probing. A slot keeps the style's hash beside it, so
    // a probe compares styles only on equal hashes, and dropping a style compares pointers
    // only: neither touches the other styles in the table.
    struct Slot {
        size_t hash = 0;
        GXSharedStyle* p = nullptr;
    };
    size_t Home(size_t hash) const;
    void Grow();

    std::vector<Slot> m_slots; // a power of two in size, never more than half full
    size_t m_nCount = 0;
    // The style interned last: filling a range stores the same style over and over.
    GXSharedStyle* m_pLast = nullptr;
};
