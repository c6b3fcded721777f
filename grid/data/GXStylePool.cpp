#include "grid/data/GXStylePool.h"

GXStyleRef& GXStyleRef::operator=(const GXStyleRef& o)
{
    if (o.m_p != m_p) {
        GXSharedStyle* p = o.m_p;
        if (p)
            ++p->refs;
        Release();
        m_p = p;
    }
    return *this;
}

GXStyleRef& GXStyleRef::operator=(GXStyleRef&& o) noexcept
{
    if (&o != this) {
        Release();
        m_p = o.m_p;
        o.m_p = nullptr;
    }
    return *this;
}

void GXStyleRef::Release()
{
    if (m_p && --m_p->refs == 0)
        m_p->pool->Drop(m_p);
}

GXStylePool::~GXStylePool()
{
    // Every reference lives in the store that owns this pool and is gone by now; whatever is
    // left is freed all the same.
    for (auto& [hash, p] : m_styles)
        delete p;
}

GXStyleRef GXStylePool::Intern(const CGXStyle& style)
{
    if (m_pLast && m_pLast->style == style)
        return GXStyleRef(m_pLast);
    const size_t hash = style.GetHash();
    auto [first, last] = m_styles.equal_range(hash);
    for (auto it = first; it != last; ++it) {
        if (it->second->style == style) {
            m_pLast = it->second;
            return GXStyleRef(it->second);
        }
    }
    auto* p = new GXSharedStyle{style, hash, 0, this};
    m_styles.emplace(hash, p);
    m_pLast = p;
    return GXStyleRef(p);
}

void GXStylePool::Drop(GXSharedStyle* p)
{
    auto [first, last] = m_styles.equal_range(p->hash);
    for (auto it = first; it != last; ++it) {
        if (it->second == p) {
            m_styles.erase(it);
            break;
        }
    }
    if (m_pLast == p)
        m_pLast = nullptr;
    delete p;
}
