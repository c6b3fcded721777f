// SECLayoutNode: a rectangle of a host window's client area with a minimum and maximum size,
// an initial and a current rectangle and child nodes. The tree is recalculated top-down when
// the host changes size; nodes bound to windows then move them in one deferred batch.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/win/UserApi.h"
#include "toolkit/layout/SECComposite.h"

class CDC;
class SECLayoutNode;
template <class T>
class SECObjectMemoryManager_T;
using SECLayoutNodeOwner = SECObjectMemoryManager_T<SECLayoutNode>;

// Minimum/maximum flags.
#define SEC_LNMINMAX_NOMIN 0x0001
#define SEC_LNMINMAX_NOMAX 0x0002
// Node flags: keep the old width, height, left edge, top edge; partial redraw.
#define SEC_LNFLAG_KEEPWIDTH 0x0001
#define SEC_LNFLAG_KEEPHEIGHT 0x0002
#define SEC_LNFLAG_KEEPLEFT 0x0004
#define SEC_LNFLAG_KEEPTOP 0x0008
#define SEC_LNFLAG_PARTIALREDRAW 0x0010

class SECLayoutNode : public SECComposite_T<SECLayoutNode> {
public:
    SECLayoutNode() = default;
    ~SECLayoutNode() override;

    virtual int GetRealizeCount() { return 0; }
    virtual BOOL IsNodeValid() { return TRUE; }
    virtual void SetMinMaxSize(const CSize& sizeMin, const CSize& sizeMax, DWORD dwFlags);
    virtual void GetMinMaxSize(CSize& sizeMin, CSize& sizeMax, DWORD& dwFlags) const;
    virtual void Reparent(SECLayoutNode* pNewParent) { SetParent(pNewParent, TRUE); }
    virtual SECLayoutNode* GetParentNode() const { return GetParent(); }
    virtual SECLayoutNode* GetRootNode();
    virtual void MarkDirty(BOOL bPropagateUp = FALSE);
    virtual void ClearDirty() { m_bDirty = FALSE; }
    virtual void MarkRealizePending() { m_bRealizePending = TRUE; }
    virtual BOOL IsRealizePending() const { return m_bRealizePending; }
    virtual void SetNodeFlags(DWORD dwFlags, BOOL bDeep = FALSE);
    virtual void ModifyNodeFlags(DWORD dwRemove, DWORD dwAdd, BOOL bDeep = FALSE);
    virtual DWORD GetNodeFlags() const { return m_dwNodeFlags; }
    virtual void SetFrozen(BOOL bFrozen, BOOL bDeep = FALSE);
    virtual CRect GetInitialRect() const { return m_rectInitial; }
    virtual void InitFromChildren();
    virtual void SetInitialRect(const CRect& rect);
    virtual void StoreInitialRect(const CRect& rect) { m_rectInitial = rect; }
    virtual CRect GetPreferredRect() const { return m_rectPreferred; }
    virtual void SetPreferredRect(const CRect& rect) { m_rectPreferred = rect; }
    virtual CRect GetCurrentRect() const { return m_rectCurrent; }
    virtual CRect GetConstrainedRect() const;
    virtual void SetCurrentRect(const CRect& rect) { m_rectCurrent = rect; }
    virtual CRect GetRealizedRect() const { return m_rectRealized; }
    virtual void SetRealizedRect(const CRect& rect) { m_rectRealized = rect; }
    virtual CRect GetPreviousRect() const { return m_rectPrevious; }
    virtual void SetPreviousRect(const CRect& rect) { m_rectPrevious = rect; }
    // The new child count, or -1 when the child is refused.
    virtual int AddLayoutNode(SECLayoutNode* pChild);
    virtual BOOL InsertLayoutNode(SECLayoutNode* pChild, SECLayoutNode* pRelativeTo, BOOL bAfter);
    virtual int RemoveLayoutNode(SECLayoutNode* pChild);
    virtual CRect RecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict);
    virtual BOOL RealizeLayout(LPARAM lArg = 0);
    virtual BOOL RealizeNode(HDWP* phDWP, LPARAM lArg);
    virtual void EraseBackground(BOOL bDeep, CDC* pDC);
    virtual void Paint(BOOL bDeep, CDC* pDC);
    virtual BOOL InvalidateNode(BOOL bErase, BOOL bDeep);
    virtual void GetChildrenBoundingRect(CRect& rect) const;
    virtual void InitializeNode(BOOL bDeep);
    virtual SECLayoutNodeOwner* GetOwner() const { return m_pOwner; }
    virtual void SetOwner(SECLayoutNodeOwner* pOwner, BOOL bDeep);
    virtual void SetDrawOffset(int x, int y)
    {
        m_nDrawOffsetX = x;
        m_nDrawOffsetY = y;
    }
    virtual void SetUserFlag(BOOL bValue, BOOL bDeep = FALSE);

    const CString& GetName() const { return m_strName; }
    void SetName(LPCTSTR lpszName) { m_strName = lpszName ? lpszName : ""; }
    BOOL IsDirty() const { return m_bDirty; }
    BOOL IsFrozen() const { return m_bFrozen; }
    BOOL GetUserFlag() const { return m_bUserFlag; }
    int GetDrawOffsetX() const { return m_nDrawOffsetX; }
    int GetDrawOffsetY() const { return m_nDrawOffsetY; }

protected:
    // The layout rule of this kind of node; the base moves the children rigidly.
    virtual CRect OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict);
    virtual void InvalidateNodeRect(const CRect& /*rect*/, BOOL /*bErase*/) {}
    virtual BOOL NeedsRecalc(BOOL bForce, const CRect& rectProposed);
    virtual void ClampToMinMax(CRect& rect) const;
    virtual void ApplyKeepFlags(const CRect& rectOld, CRect& rectNew) const;
    virtual void InvalidateUncoveredStrips();

    CSize m_sizeMin{0, 0};
    CSize m_sizeMax{0, 0};
    DWORD m_dwMinMaxFlags = SEC_LNMINMAX_NOMAX;
    BOOL m_bDirty = TRUE;
    BOOL m_bRealizePending = FALSE;
    DWORD m_dwNodeFlags = 0;
    int m_nDrawOffsetX = 0;
    int m_nDrawOffsetY = 0;
    BOOL m_bFrozen = FALSE;
    BOOL m_bUserFlag = TRUE;
    CString m_strName;
    CRect m_rectInitial;
    CRect m_rectCurrent;
    CRect m_rectPreferred;
    CRect m_rectRealized;
    CRect m_rectPrevious;
    SECLayoutNodeOwner* m_pOwner = nullptr;

private:
    void CleanUpAfterRealize();
};

// Owns a list of objects: adding twice is refused, destroying the manager destroys what it
// holds.
template <class T>
class SECObjectMemoryManager_T {
public:
    SECObjectMemoryManager_T() : m_objects(10) {}
    virtual ~SECObjectMemoryManager_T() { DestroyAll(); }
    SECObjectMemoryManager_T(const SECObjectMemoryManager_T&) = delete;
    SECObjectMemoryManager_T& operator=(const SECObjectMemoryManager_T&) = delete;

    virtual BOOL Add(T* pObject)
    {
        if (pObject == nullptr || Find(pObject) != nullptr)
            return FALSE;
        m_objects.AddTail(pObject);
        return TRUE;
    }
    virtual BOOL Remove(T* pObject)
    {
        POSITION pos = Find(pObject);
        if (pos == nullptr)
            return FALSE;
        m_objects.RemoveAt(pos);
        return TRUE;
    }
    virtual POSITION Find(T* pObject) const { return pObject ? m_objects.Find(pObject) : nullptr; }
    virtual int DestroyAll()
    {
        int n = 0;
        // Each object is unlinked before it is destroyed, so a destructor that asks the manager
        // to remove it finds nothing to do.
        while (!m_objects.IsEmpty()) {
            T* pObject = m_objects.RemoveHead();
            OnDestroy(pObject);
            delete pObject;
            ++n;
        }
        return n;
    }
    virtual int GetCount() const { return static_cast<int>(m_objects.GetCount()); }

protected:
    virtual void OnDestroy(T* /*pObject*/) {}

    CList<T*, T*> m_objects;
};
