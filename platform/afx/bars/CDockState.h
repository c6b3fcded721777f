// The saved layout of a frame's bars: one CControlBarInfo per bar or dock bar (which keeps its
// rows as bar ids), kept in the profile under "<name>-Summary" and "<name>-Bar<n>", with the
// screen size it was saved on so positions follow a screen of another size.
#pragma once

#include "platform/core/CArchive.h"
#include "platform/core/CObject.h"
#include "platform/core/CPtrArray.h"
#include "platform/core/CRect.h"

class CControlBar;

class CControlBarInfo {
public:
    CControlBarInfo() = default;
    // Layouts that keep more per bar derive from it, and the dock state deletes them as these.
    virtual ~CControlBarInfo() = default;
    CControlBarInfo(const CControlBarInfo&) = delete;
    CControlBarInfo& operator=(const CControlBarInfo&) = delete;

    // Writes section "<name>-Bar<index>", or nothing (FALSE) for a side with no bars on it.
    BOOL SaveState(LPCTSTR lpszProfileName, int nIndex);
    BOOL LoadState(LPCTSTR lpszProfileName, int nIndex, class CDockState* pDockState);
    // The bar in an archive, in the form of the dock state's version; loaded positions follow
    // the screen as in the profile (a version-1 layout kept none to follow).
    BOOL Serialize(CArchive& ar, class CDockState* pDockState);

    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = TRUE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos{-1, -1};   // in the dock bar, or on the screen for a floating frame
    UINT m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE;      // the bar can dock: the MRU fields below are kept
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    // A dock bar's rows: bar ids, 0 ending a row, id | 0x10000 for a place kept for a bar.
    CPtrArray m_arrBarID;
    CControlBar* m_pBar = nullptr;   // while the state is applied or taken
};

class CDockState : public CObject {
    DECLARE_DYNAMIC(CDockState)
public:
    CDockState();
    ~CDockState() override;

    void SaveState(LPCTSTR lpszProfileName);
    void LoadState(LPCTSTR lpszProfileName);
    // The layout in an archive: its version, the screen (from version 2 on), then the bars. A
    // layout read is of the current version afterwards.
    void Serialize(CArchive& ar) override;
    void Clear();

    // The screen the layout was saved on; positions are scaled to the current one.
    CSize GetScreenSize() const { return m_sizeScreen; }
    void SetScreenSize(const CSize& size);
    void ScalePoint(CPoint& pt) const;
    void ScaleRectPos(CRect& rect) const;

    DWORD GetVersion() const { return m_dwVersion; }

    static constexpr DWORD kCurrentVersion = 2;
    CPtrArray m_arrBarInfo;   // CControlBarInfo*, owned
    DWORD m_dwVersion = kCurrentVersion;

private:
    CSize m_sizeScreen;     // saved on
    CSize m_sizeDevice;     // shown on
    BOOL m_bScaling = FALSE;
};
