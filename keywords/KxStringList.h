// A singly linked list of owned byte blocks with a cursor, for the engine's phrase, result and
// score lists.
#pragma once

#include <string>

namespace kx {

// Status codes of the list.
inline constexpr int kListOk = 0;
inline constexpr int kListEmpty = 2;
inline constexpr int kListNoCursor = 3;
inline constexpr int kListAtEnd = 4;
inline constexpr int kListNoMemory = 5;
inline constexpr int kListNullBuffer = 6;

class KxStringList {
public:
    KxStringList() = default;
    ~KxStringList();
    KxStringList(const KxStringList&) = delete;
    KxStringList& operator=(const KxStringList&) = delete;
    KxStringList(KxStringList&&) = delete;
    KxStringList& operator=(KxStringList&&) = delete;

    // Moves the cursor to the first node; 2 when the list is empty.
    [[nodiscard]] int Head();
    // Moves the cursor on; 3 without a cursor, 4 at the end (the cursor stays on the last node).
    [[nodiscard]] int Next();
    // The cursor's value block.
    [[nodiscard]] int Read(const std::string** ppValue) const;
    // The new node follows the cursor and becomes the cursor.
    [[nodiscard]] int InsertAfter(std::string value);
    // The new node goes before the cursor (at the head when nothing precedes it) and becomes
    // the cursor.
    [[nodiscard]] int InsertBefore(std::string value);
    [[nodiscard]] int AppendString(const char* text);
    [[nodiscard]] int AppendPair(double value);
    // Removes the cursor's node; the cursor moves to the node after it.
    [[nodiscard]] int DeleteCurrent();
    void DeleteAll();

    int Count() const { return m_nCount; }
    bool IsEmpty() const { return m_pHead == nullptr; }
    // Walks the values in order without moving the cursor, so a filled list can be read by
    // several threads at once.
    template <class F>
    void ForEach(F&& f) const
    {
        for (const Node* n = m_pHead; n != nullptr; n = n->next)
            f(n->value);
    }
    // The value at a 0-based index, or null; walks from the head.
    const std::string* At(int index) const;

private:
    struct Node {
        std::string value;
        Node* next = nullptr;
    };
    Node* m_pHead = nullptr;
    Node* m_pCursor = nullptr;
    Node* m_pBefore = nullptr;   // the node before the cursor, or null at the head
    int m_nCount = 0;
};

} // namespace kx
