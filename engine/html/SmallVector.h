// SmallVector: a growable array of trivially copyable items that keeps its first N items inside
// the object, so that the common small case costs no allocation. The tag actions keep their
// attributes in it: a page has thousands of tags, nearly all with a few short attributes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

template <class T, size_t N>
class SmallVector {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    SmallVector() = default;
    SmallVector(const SmallVector&) = delete;
    SmallVector& operator=(const SmallVector&) = delete;

    T* data() { return m_p; }
    const T* data() const { return m_p; }
    size_t size() const { return m_nSize; }
    bool empty() const { return m_nSize == 0; }
    T* begin() { return m_p; }
    T* end() { return m_p + m_nSize; }
    const T* begin() const { return m_p; }
    const T* end() const { return m_p + m_nSize; }
    T& operator[](size_t i) { return m_p[i]; }
    const T& operator[](size_t i) const { return m_p[i]; }

    void push_back(const T& item)
    {
        if (m_nSize == m_nCapacity)
            Grow(m_nSize + 1);
        m_p[m_nSize++] = item;
    }
    // Room for n items in all, without a copy when the items come.
    void reserve(size_t n)
    {
        if (n > m_nCapacity)
            Grow(n);
    }
    // Appends n items from outside this vector.
    void append(const T* pItems, size_t n)
    {
        if (n == 0)
            return;
        if (m_nSize + n > m_nCapacity)
            Grow(m_nSize + n);
        std::memcpy(m_p + m_nSize, pItems, n * sizeof(T));
        m_nSize += n;
    }

private:
    void Grow(size_t nNeeded)
    {
        const size_t nCapacity = std::max(nNeeded, m_nCapacity * 2);
        std::unique_ptr<T[]> pNew(new T[nCapacity]);
        std::memcpy(pNew.get(), m_p, m_nSize * sizeof(T));
        m_pHeap = std::move(pNew);
        m_p = m_pHeap.get();
        m_nCapacity = nCapacity;
    }

    T m_inline[N];
    T* m_p = m_inline;
    size_t m_nSize = 0;
    size_t m_nCapacity = N;
    std::unique_ptr<T[]> m_pHeap;
};
