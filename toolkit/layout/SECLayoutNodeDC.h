// Two further node kinds: SECLayoutNodeDCBase paints into a window's device context instead of
// moving a child window; SECLNBorder_T surrounds at most one child with a fixed border and
// passes the child's limits up, widened by the border.
#pragma once

#include "platform/win/Gdi.h"
#include "toolkit/layout/SECLayoutNodeWnd.h"

class SECLayoutNodeDCBase : public SECLayoutNode {
public:
    BOOL IsNodeValid() override { return m_hDrawWnd != nullptr; }
    // Realising a drawing node paints it; the argument is the device context, or 0.
    BOOL RealizeNode(HDWP* phDWP, LPARAM lArg) override;
    void Paint(BOOL bDeep, CDC* pDC) override;
    virtual void PaintHdc(BOOL bDeep, HDC hDC);
    virtual void SetDrawWnd(HWND hWnd) { m_hDrawWnd = hWnd; }
    HWND GetDrawWnd() const { return m_hDrawWnd; }
    // Subclasses draw here, in the node's own coordinates less the draw offset.
    virtual void OnDraw(HDC /*hDC*/, const RECT& /*rect*/) {}

protected:
    void InvalidateNodeRect(const CRect& rect, BOOL bErase) override;

    HWND m_hDrawWnd = nullptr;
};

template <class Base>
class SECLNBorder_T : public Base {
public:
    CRect GetPreferredRect() const override
    {
        SECLayoutNode* child = GetBorderedNodeConst();
        if (child == nullptr)
            return this->GetCurrentRect();
        CRect rect = child->GetPreferredRect();
        rect.InflateRect(m_nBorderLeft, m_nBorderTop, m_nBorderRight, m_nBorderBottom);
        return rect;
    }
    void SetPreferredRect(const CRect& rect) override
    {
        Base::SetPreferredRect(rect);
        if (SECLayoutNode* child = GetBorderedNode()) {
            CRect inner = rect;
            inner.DeflateRect(m_nBorderLeft, m_nBorderTop, m_nBorderRight, m_nBorderBottom);
            child->SetPreferredRect(inner);
        }
    }
    // A border holds one child: a second one is refused.
    int AddLayoutNode(SECLayoutNode* pChild) override
    {
        if (HasBorderedNode() && GetBorderedNode() != pChild)
            return -1;
        return Base::AddLayoutNode(pChild);
    }
    int RemoveLayoutNode(SECLayoutNode* pChild) override { return Base::RemoveLayoutNode(pChild); }

    virtual SECLayoutNode* GetBorderedNode() { return GetBorderedNodeConst(); }
    virtual BOOL HasBorderedNode() const { return this->GetChildCount() != 0; }
    virtual CRect RecalcBorderedNode(SECLayoutNode* pNode, const CRect& rect)
    {
        return pNode->RecalcLayout(rect, FALSE, TRUE);
    }
    virtual void UpdateMinMaxFromChild()
    {
        SECLayoutNode* child = GetBorderedNode();
        if (child == nullptr)
            return;
        auto* hideable = dynamic_cast<ISECHideableNode*>(child);
        if (hideable != nullptr && !hideable->IsNodeVisible()) {
            this->SetMinMaxSize(CSize(0, 0), CSize(0, 0), 0);   // a hidden child takes no room
            return;
        }
        CSize sizeMin, sizeMax;
        DWORD dwFlags = 0;
        child->GetMinMaxSize(sizeMin, sizeMax, dwFlags);
        const CSize extra(m_nBorderLeft + m_nBorderRight, m_nBorderTop + m_nBorderBottom);
        this->SetMinMaxSize(sizeMin + extra, sizeMax + extra, dwFlags);
    }
    virtual void ApplyPendingOffsets(CRect& rect)
    {
        rect.top += m_nPendingTop;
        rect.bottom += m_nPendingBottom;
        rect.left += m_nPendingLeft;
        rect.right += m_nPendingRight;
        m_nPendingTop = m_nPendingBottom = m_nPendingLeft = m_nPendingRight = 0;
    }
    virtual void NegotiateWithChild(CRect& rect)
    {
        SECLayoutNode* child = GetBorderedNode();
        if (child == nullptr)
            return;
        const CRect before = child->GetCurrentRect();
        const CRect after = child->RecalcLayout(before, TRUE, TRUE);
        rect.right += after.Width() - before.Width();
        rect.bottom += after.Height() - before.Height();
    }

    void SetBorders(int left, int top, int right, int bottom)
    {
        m_nBorderLeft = left;
        m_nBorderTop = top;
        m_nBorderRight = right;
        m_nBorderBottom = bottom;
        this->MarkDirty();
    }
    void SetPendingOffsets(int left, int top, int right, int bottom)
    {
        m_nPendingLeft = left;
        m_nPendingTop = top;
        m_nPendingRight = right;
        m_nPendingBottom = bottom;
        this->MarkDirty();
    }

protected:
    CRect OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL /*bStrict*/) override
    {
        CRect rect = rectProposed;
        if (bChildNegotiate) {
            ApplyPendingOffsets(rect);
            NegotiateWithChild(rect);
        }
        rect.right = std::max(rect.right, rect.left);
        rect.bottom = std::max(rect.bottom, rect.top);
        this->SetCurrentRect(rect);
        if (SECLayoutNode* child = GetBorderedNode()) {
            CRect inner = rect;
            inner.DeflateRect(m_nBorderLeft, m_nBorderTop, m_nBorderRight, m_nBorderBottom);
            // A border wider than the node still keeps every edge of the child inside it.
            inner.left = std::clamp(inner.left, rect.left, rect.right);
            inner.right = std::clamp(inner.right, rect.left, rect.right);
            inner.top = std::clamp(inner.top, rect.top, rect.bottom);
            inner.bottom = std::clamp(inner.bottom, rect.top, rect.bottom);
            UpdateMinMaxFromChild();
            RecalcBorderedNode(child, inner);
        }
        return rect;
    }

    SECLayoutNode* GetBorderedNodeConst() const
    {
        return this->HasBorderedNode() ? this->GetAt(this->GetHeadPosition()) : nullptr;
    }

    int m_nBorderLeft = 0, m_nBorderRight = 0, m_nBorderTop = 0, m_nBorderBottom = 0;
    int m_nPendingTop = 0, m_nPendingBottom = 0, m_nPendingLeft = 0, m_nPendingRight = 0;
};
