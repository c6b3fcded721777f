#include "keywords/KxStringList.h"

#include <new>

namespace kx {

KxStringList::~KxStringList()
{
    DeleteAll();
}

int KxStringList::Head()
{
    m_pCursor = m_pHead;
    m_pBefore = nullptr;
    return m_pHead == nullptr ? kListEmpty : kListOk;
}

int KxStringList::Next()
{
    if (m_pCursor == nullptr)
        return kListNoCursor;
    if (m_pCursor->next == nullptr)
        return kListAtEnd;
    m_pBefore = m_pCursor;
    m_pCursor = m_pCursor->next;
    return kListOk;
}

int KxStringList::Read(const std::string** ppValue) const
{
    if (ppValue == nullptr)
        return kListNullBuffer;
    if (m_pCursor == nullptr)
        return kListNoCursor;
    *ppValue = &m_pCursor->value;
    return kListOk;
}

int KxStringList::InsertAfter(std::string value)
{
    Node* node = new (std::nothrow) Node;
    if (node == nullptr)
        return kListNoMemory;
    node->value = std::move(value);
    // Without a cursor (an empty list, or the last node just deleted) the node goes after the
    // node that preceded the old cursor, so appending keeps its order.
    Node* after = m_pCursor != nullptr ? m_pCursor : m_pBefore;
    if (after == nullptr) {
        node->next = m_pHead;
        m_pHead = node;
        m_pBefore = nullptr;
    } else {
        node->next = after->next;
        after->next = node;
        m_pBefore = after;
    }
    m_pCursor = node;
    ++m_nCount;
    return kListOk;
}

int KxStringList::InsertBefore(std::string value)
{
    Node* node = new (std::nothrow) Node;
    if (node == nullptr)
        return kListNoMemory;
    node->value = std::move(value);
    if (m_pBefore == nullptr) {
        node->next = m_pHead;
        m_pHead = node;
    } else {
        node->next = m_pBefore->next;
        m_pBefore->next = node;
    }
    m_pCursor = node;
    ++m_nCount;
    return kListOk;
}

int KxStringList::AppendString(const char* text)
{
    try {
        return InsertAfter(std::string(text != nullptr ? text : ""));
    } catch (const std::bad_alloc&) {
        return kListNoMemory;
    }
}

int KxStringList::AppendPair(double value)
{
    try {
        return InsertAfter(std::string(reinterpret_cast<const char*>(&value), sizeof value));
    } catch (const std::bad_alloc&) {
        return kListNoMemory;
    }
}

int KxStringList::DeleteCurrent()
{
    if (m_pCursor == nullptr)
        return kListNoCursor;
    Node* next = m_pCursor->next;
    if (m_pBefore == nullptr)
        m_pHead = next;
    else
        m_pBefore->next = next;
    delete m_pCursor;
    m_pCursor = next;
    --m_nCount;
    return kListOk;
}

void KxStringList::DeleteAll()
{
    while (m_pHead != nullptr) {
        Node* next = m_pHead->next;
        delete m_pHead;
        m_pHead = next;
    }
    m_pCursor = nullptr;
    m_pBefore = nullptr;
    m_nCount = 0;
}

const std::string* KxStringList::At(int index) const
{
    if (index < 0)
        return nullptr;
    const Node* n = m_pHead;
    for (int i = 0; n != nullptr && i < index; ++i)
        n = n->next;
    return n != nullptr ? &n->value : nullptr;
}

} // namespace kx
