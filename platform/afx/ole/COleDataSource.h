// COleDataSource: data offered for dragging, held as global memory blocks by format, and the
// modal loop that drags it over the program's windows.
#pragma once

#include "platform/afx/wnd/CCmdTarget.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Ole.h"

#include <vector>

class COleDropSource;
struct FORMATETC;

class COleDataSource : public CCmdTarget {
    DECLARE_DYNAMIC(COleDataSource)
public:
    COleDataSource() = default;
    ~COleDataSource() override;
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes ownership of the block (freed on Empty or destruction); a format cached again
    // replaces its earlier block.
    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, FORMATETC* lpFormatEtc = nullptr);
    void Empty();

    // Runs the drag until the mouse button that started it is released (the effect the target
    // took, DROPEFFECT_NONE when it refused), or Escape or the other button cancels it
    // (DROPEFFECT_NONE). With a start rectangle (screen coordinates) the drag begins only
    // when the mouse leaves it or the drag delay passes; released before, nothing is dragged.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);

    // Sources made with new live by references: the last release deletes the object.
    DWORD InternalAddRef() { return ++m_dwRef; }
    DWORD InternalRelease();

    // The cached block of a format, still owned by the source; null when absent.
    HGLOBAL FindGlobalData(CLIPFORMAT cfFormat) const;

private:
    struct Cached {
        CLIPFORMAT format;
        HGLOBAL data;
    };
    std::vector<Cached> m_cache;
    DWORD m_dwRef = 1;
};
