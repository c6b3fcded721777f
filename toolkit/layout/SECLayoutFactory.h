// SECLayoutFactory creates, owns and destroys layout nodes, window nodes and window listeners;
// SECLNScale scales its children in proportion to its own size. With a layout listener they
// make a dialog resizable.
#pragma once

#include "platform/core/CArray.h"
#include "toolkit/layout/SECLayoutNodeWnd.h"
#include "toolkit/layout/SECWndListener.h"

struct CRuntimeClass;

template <class Base>
class SECClassFactory {
public:
    virtual ~SECClassFactory() = default;
    virtual Base* CreateObject() = 0;
};

// Makes a new T as its Base; null when the allocation fails.
template <class T, class Base>
class SECClassFactory_T : public SECClassFactory<Base> {
public:
    Base* CreateObject() override
    {
        try {
            return new T;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
};

class SECLNScale : public SECLayoutNode {
public:
    // The child's initial rectangle scaled by the ratio of the parent's new size to its initial
    // one, relative to the host's client origin.
    virtual CRect ScaleRect(const CRect& rectParentInitial, const CRect& rectParentNew, const CRect& rectChildInitial) const;

protected:
    CRect OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict) override;
};

class SECLayoutFactory {
public:
    SECLayoutFactory() = default;
    virtual ~SECLayoutFactory();
    SECLayoutFactory(const SECLayoutFactory&) = delete;
    SECLayoutFactory& operator=(const SECLayoutFactory&) = delete;

    virtual BOOL GetChildWindows(CList<CWnd*, CWnd*>& list, CWnd* pParent, CRuntimeClass* pFilter);
    virtual BOOL AddChildWindows(SECLayoutNode* pParentNode, CWnd* pHost, CRuntimeClass* pFilter = nullptr);
    virtual void DestroyNode(SECLayoutNode* pNode);
    virtual int DestroyAllNodes();
    virtual void DestroyListener(SECLayoutWndListener* pListener);
    virtual int DestroyAllListeners();
    virtual BOOL InitNode(SECLayoutNode* pNode);

    SECLayoutNode* CreateNode(SECClassFactory<SECLayoutNode>& classFactory, LPCTSTR lpszName = nullptr);
    SECLayoutNode* CreateNode(LPCTSTR lpszName = nullptr) { return CreateNode(m_nodeFactory, lpszName); }
    SECLayoutNodeWnd* CreateNodeWnd(CWnd* pWnd, CWnd* pHost, SECLayoutNode* pParentNode = nullptr, LPCTSTR lpszName = nullptr);
    SECLayoutNodeWnd* CreateNodeWndEx(SECClassFactory<SECLayoutNode>& classFactory, CWnd* pWnd, CWnd* pHost,
                                      SECLayoutNode* pParentNode = nullptr, LPCTSTR lpszName = nullptr);
    SECLayoutWndListener* CreateListener(SECClassFactory<SECLayoutWndListener>& classFactory);
    SECLayoutWndListener* CreateWndListener() { return CreateListener(m_listenerFactory); }

    int GetNodeCount() const { return m_nodes.GetCount(); }
    int GetListenerCount() const { return m_listeners.GetCount(); }

    // Defaults InitNode gives every new node; all off after construction.
    void SetDefaultMinMax(BOOL bApply, const CSize& sizeMin, const CSize& sizeMax, DWORD dwFlags);
    void SetDefaultPreferredRect(BOOL bApply, const CRect& rect);
    void SetDefaultInitialRect(BOOL bApply, const CRect& rect);

protected:
    SECClassFactory_T<SECLayoutWndListener, SECLayoutWndListener> m_listenerFactory;
    SECClassFactory_T<SECLayoutNodeWnd, SECLayoutNode> m_nodeWndFactory;
    SECClassFactory_T<SECLayoutNode, SECLayoutNode> m_nodeFactory;
    SECObjectMemoryManager_T<SECLayoutNode> m_nodes;
    SECObjectMemoryManager_T<SECLayoutWndListener> m_listeners;

    BOOL m_bApplyMinMax = FALSE;
    CSize m_sizeDefaultMin{0, 0};
    CSize m_sizeDefaultMax{0, 0};
    DWORD m_dwDefaultMinMaxFlags = 0;
    BOOL m_bApplyPreferred = FALSE;
    CRect m_rectDefaultPreferred;
    BOOL m_bApplyInitial = FALSE;
    CRect m_rectDefaultInitial;
};
