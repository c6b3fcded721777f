// CGXDIBPool: the program's one pool of bitmaps that cells show by name: a cell whose text is
// a name in the pool is drawn as that bitmap and sized to it. The pool owns its bitmaps; the
// grid library empties and deletes it at shut-down.
#pragma once

#include "platform/core/CString.h"
#include "platform/win/GdiTypes.h"

#include <map>

class CGXDIBPool {
public:
    // The pool, made on first use; null after Destroy until it is asked for again.
    static CGXDIBPool* GetInstance();
    // The pool if one was made, without making it.
    static CGXDIBPool* GetExisting();
    // Empties and deletes the pool (library shut-down).
    static void Destroy();

    CGXDIBPool() = default;
    ~CGXDIBPool();
    CGXDIBPool(const CGXDIBPool&) = delete;
    CGXDIBPool& operator=(const CGXDIBPool&) = delete;

    // Gives the pool a bitmap under a name (it takes the handle); a bitmap the name had before
    // is deleted. An empty name or no bitmap is refused.
    BOOL Add(LPCTSTR pszName, HBITMAP hBitmap);
    // The bitmap a cell text names, or null; names match exactly.
    HBITMAP Lookup(LPCTSTR pszText) const;
    INT_PTR GetCount() const { return static_cast<INT_PTR>(m_bitmaps.size()); }
    void RemoveAll();

private:
    std::map<CString, HBITMAP> m_bitmaps;
};
