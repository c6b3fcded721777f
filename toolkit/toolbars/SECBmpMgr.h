// The button images of a frame's toolbars: strips of equally sized images loaded from toolbar
// resources, each command id mapped to its strip and image, kept small and, on demand, large.
// One manager is shared by reference count between a toolbar manager and its toolbars.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

#include <memory>
#include <unordered_map>
#include <vector>

class SECBmpMgr : public CObject {
    DECLARE_DYNAMIC(SECBmpMgr)
public:
    // Where a command's image lies.
    struct BmpItem {
        int nStrip = 0;
        int nIndex = 0;
    };
    // One loaded strip. Bitmaps are owned by the manager.
    struct BmpInfo {
        UINT nSmallID = 0;
        UINT nLargeID = 0; // 0: the large strip is made by stretching the small one
        HBITMAP hSmall = nullptr;
        HBITMAP hLarge = nullptr;
        int nCount = 0;
        BOOL bSysColor = FALSE;
    };

    SECBmpMgr();
    ~SECBmpMgr() override;
    SECBmpMgr(const SECBmpMgr&) = delete;
    SECBmpMgr& operator=(const SECBmpMgr&) = delete;

    // Loads a toolbar resource (and its large twin, when given) and builds its images. The first
    // resource loaded sets the image sizes. FALSE when a resource or its bitmap is missing; the
    // strip then stays registered without images.
    BOOL LoadToolBar(UINT nID, UINT nLargeID = 0, BOOL bSysColor = TRUE);
    // Registers a strip for the given command ids (0 entries are not expected here) and builds it.
    BOOL AddStrip(UINT nSmallID, UINT nLargeID, const UINT* pIDs, int nCount, BOOL bSysColor);
    // The strip bitmap and image index of a command; FALSE when the id has no image.
    BOOL GetImage(UINT nID, HBITMAP& hBitmap, int& nIndex, BOOL bForceSmall = FALSE) const;

    void SetSmallImages(BOOL bSmall);
    void SetKeepBoth(BOOL bKeepBoth);
    BOOL IsSmallImages() const { return m_bSmall; }
    // Rebuilds every strip (after a colour scheme change, or to switch sizes).
    BOOL ReloadAll(BOOL bForce);

    void AddRef() { ++m_nRef; }
    // Drops a reference; the last one deletes the manager.
    void Release();

    int GetSmallWidth() const { return m_cxSmall; }
    int GetSmallHeight() const { return m_cySmall; }
    int GetLargeWidth() const { return m_cxLarge; }
    int GetLargeHeight() const { return m_cyLarge; }
    // The size of the images in use: small or large by the current mode.
    int GetImageWidth() const { return m_bSmall ? m_cxSmall : m_cxLarge; }
    int GetImageHeight() const { return m_bSmall ? m_cySmall : m_cyLarge; }
    int GetStripCount() const { return static_cast<int>(m_strips.size()); }
    const BmpInfo* GetStrip(int n) const;

protected:
    BOOL BuildStrip(BmpInfo& strip, BOOL bForce);
    HBITMAP LoadStripBitmap(UINT nID, BOOL bSysColor) const;
    HBITMAP StretchStrip(HBITMAP hSmall, int nCount) const;

    std::unordered_map<UINT, BmpItem> m_idMap;
    std::vector<std::unique_ptr<BmpInfo>> m_strips;
    int m_cxSmall = 16;
    int m_cySmall = 15;
    int m_cxLarge = 22;
    int m_cyLarge = 24;
    BOOL m_bSmall = TRUE;
    BOOL m_bKeepBoth = FALSE;
    int m_nRef = 1;
};
