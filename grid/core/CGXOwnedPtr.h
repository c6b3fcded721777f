// CGXOwnedPtr: a static holder of one heap object that lives until the program ends: the
// object is made on first use by whoever needs it and deleted with the holder at exit, so a
// library-wide object needs no explicit shut-down to be freed.
#pragma once

#include <utility>

template <class T>
class CGXOwnedPtr {
public:
    CGXOwnedPtr() = default;
    ~CGXOwnedPtr() { delete m_pObj; }
    CGXOwnedPtr(const CGXOwnedPtr&) = delete;
    CGXOwnedPtr& operator=(const CGXOwnedPtr&) = delete;

    T* Get() const { return m_pObj; }
    T* operator->() const { return m_pObj; }
    explicit operator bool() const { return m_pObj != nullptr; }

    // Takes ownership of pObj; a different object held before is deleted.
    void Reset(T* pObj = nullptr)
    {
        if (pObj == m_pObj)
            return;
        delete std::exchange(m_pObj, pObj);
    }
    // Gives the object up without deleting it.
    T* Release() { return std::exchange(m_pObj, nullptr); }

private:
    T* m_pObj = nullptr;
};
