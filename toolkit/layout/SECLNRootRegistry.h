// The registry of docking roots: each layout root that can take part in drag docking with the
// container of the window that shows it (the registry owns the containers), and the hit testers
// that search those trees for the node that starts a drag and the node that accepts a drop.
#pragma once

#include <vector>

#include "toolkit/layout/SECLNContainer.h"
#include "toolkit/layout/SECLNDockInterfaces.h"
#include "toolkit/layout/SECLayoutNode.h"

// Told of each container added to and removed from a registry.
class SECLNRegistryObserver {
public:
    virtual ~SECLNRegistryObserver() = default;
    virtual void OnContainerAdded(ISECLNContainer* /*pContainer*/) {}
    virtual void OnContainerRemoved(ISECLNContainer* /*pContainer*/) {}
};

class SECLNRootRegistry {
public:
    SECLNRootRegistry() = default;
    virtual ~SECLNRootRegistry();
    SECLNRootRegistry(const SECLNRootRegistry&) = delete;
    SECLNRootRegistry& operator=(const SECLNRootRegistry&) = delete;

    BOOL AddRoot(SECLayoutNode* pRoot, ISECLNContainer* pContainer);
    BOOL RemoveRoot(SECLayoutNode* pRoot);
    ISECLNContainer* LookupContainer(SECLayoutNode* pRoot) const;
    // The container of the first registered root above the node (or the node itself).
    ISECLNContainer* FindContainer(SECLayoutNode* pNode) const;
    void GetRoots(SECLNNodeList& list) const;
    void SetObserver(SECLNRegistryObserver* pObserver) { m_pObserver = pObserver ? pObserver : &m_defaultObserver; }

    virtual void NotifyDock(SECLayoutNode* /*pDockable*/, void* /*pDragData*/, SECLayoutNode* /*pTarget*/,
                            SECLNNodeList* /*pNodes*/) {}
    virtual void NotifyDragStart(CPoint /*ptScreen*/, SECLayoutNode* /*pInitiator*/, DWORD_PTR* /*pFirstWord*/) {}
    // The container whose window is under the point: the topmost window there that belongs to
    // a registered container (or is inside one).
    virtual ISECLNContainer* GetContainerAt(CPoint ptScreen) const;
    virtual void NodeChanged(void* /*pObject*/) {}

private:
    // In registration order, so the search order is stable.
    std::vector<std::pair<SECLayoutNode*, ISECLNContainer*>> m_roots;
    SECLNRegistryObserver m_defaultObserver;
    SECLNRegistryObserver* m_pObserver = &m_defaultObserver;
};

// Searches the registered trees for the node under a screen point that has interface I.
template <class I>
class SECLNDockHitTester {
public:
    virtual ~SECLNDockHitTester() = default;
    virtual I* SearchRoot(SECLayoutNode* pRoot, SECLNRootRegistry* pRegistry, CPoint pt, BOOL bDeep)
    {
        return SearchNode(pRoot, pt, pRegistry ? pRegistry->LookupContainer(pRoot) : nullptr, bDeep);
    }
    virtual I* Search(SECLNRootRegistry* pRegistry, CPoint pt, BOOL bDeep)
    {
        if (pRegistry == nullptr)
            return nullptr;
        SECLNNodeList candidates;
        if (CollectCandidates(pRegistry, pt, candidates) == 0)
            return nullptr;
        FilterCandidates(pRegistry, pt, candidates);
        std::vector<I*> results;
        SearchCandidates(candidates, results, pRegistry, pt, bDeep);
        return results.size() == 1 ? results.front() : nullptr;   // none or several: no answer
    }
    virtual void SearchCandidates(const SECLNNodeList& candidates, std::vector<I*>& results, SECLNRootRegistry* pRegistry,
                                  CPoint pt, BOOL bDeep)
    {
        results.clear();
        for (POSITION pos = candidates.GetHeadPosition(); pos != nullptr;) {
            if (I* found = SearchRoot(candidates.GetNext(pos), pRegistry, pt, bDeep))
                results.push_back(found);
        }
    }
    virtual DWORD QueryHook(ISECLNContainer* /*pContainer*/, CPoint /*pt*/, SECLayoutNode* /*pNode*/) { return 0; }
    virtual int CollectCandidates(SECLNRootRegistry* pRegistry, CPoint pt, SECLNNodeList& list)
    {
        SECLNNodeList roots;
        pRegistry->GetRoots(roots);
        list.RemoveAll();
        for (POSITION pos = roots.GetHeadPosition(); pos != nullptr;) {
            SECLayoutNode* root = roots.GetNext(pos);
            if (NodeContainsPoint(root, pt, pRegistry->LookupContainer(root)))
                list.AddTail(root);
        }
        return static_cast<int>(list.GetCount());
    }
    virtual BOOL NodeContainsPoint(SECLayoutNode* pNode, CPoint pt, ISECLNContainer* pContainer)
    {
        if (pNode == nullptr || pContainer == nullptr || !pContainer->ScreenToNode(pt))
            return FALSE;
        return pNode->GetCurrentRect().PtInRect(pt);
    }
    virtual void FilterCandidates(SECLNRootRegistry* pRegistry, CPoint pt, SECLNNodeList& list)
    {
        ISECLNContainer* under = pRegistry->GetContainerAt(pt);
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
            POSITION here = pos;
            ISECLNContainer* container = pRegistry->FindContainer(list.GetNext(pos));
            if (container == m_pExcludedContainer || container != under)
                list.RemoveAt(here);
        }
    }
    virtual I* SearchNode(SECLayoutNode* pNode, CPoint pt, ISECLNContainer* pContainer, BOOL bDeep)
    {
        if (pNode == nullptr || pContainer == nullptr || !NodeContainsPoint(pNode, pt, pContainer))
            return nullptr;
        return SearchDescend(pNode, pt, pContainer, bDeep);
    }
    virtual I* SearchDescend(SECLayoutNode* pNode, CPoint pt, ISECLNContainer* pContainer, BOOL bDeep)
    {
        I* found = dynamic_cast<I*>(pNode);
        if (found != nullptr) {
            const DWORD flags = QueryHook(pContainer, pt, pNode);
            if (flags & SEC_DOCKHIT_REFUSE)
                return nullptr;
            if (flags & SEC_DOCKHIT_TAKE)
                return found;
        }
        SECLayoutNode* child = FirstChildAt(pNode, pt, pContainer);
        if (child == nullptr)
            return found;
        if (I* inner = SearchDescend(child, pt, pContainer, bDeep))
            return inner;
        return bDeep ? nullptr : found;
    }
    virtual SECLayoutNode* FirstChildAt(SECLayoutNode* pNode, CPoint pt, ISECLNContainer* pContainer)
    {
        Iterator_T<SECLayoutNode> it(pNode);
        while (SECLayoutNode* child = it.Next()) {
            if (NodeContainsPoint(child, pt, pContainer))
                return child;
        }
        return nullptr;
    }

    void SetExcludedContainer(ISECLNContainer* pContainer) { m_pExcludedContainer = pContainer; }

protected:
    // The hook's answer for the direct child under the point.
    template <class Hook>
    DWORD AskHook(ISECLNContainer* pContainer, CPoint pt, SECLayoutNode* pNode)
    {
        auto* hook = dynamic_cast<Hook*>(pNode);
        if (hook == nullptr || pContainer == nullptr)
            return 0;
        CPoint node = pt;
        pContainer->ScreenToNode(node);
        SECLayoutNode* under = nullptr;
        Iterator_T<SECLayoutNode> it(pNode);
        while (SECLayoutNode* child = it.Next()) {
            if (child->GetCurrentRect().PtInRect(node)) {
                under = child;
                break;
            }
        }
        return hook->HitTestHook(pt, under);
    }

    ISECLNContainer* m_pExcludedContainer = nullptr;
};

// The initiator side searches deep whatever it is asked.
class SECDockInitiatorHitTester : public SECLNDockHitTester<ISECDockInitiator> {
public:
    ISECDockInitiator* SearchRoot(SECLayoutNode* pRoot, SECLNRootRegistry* pRegistry, CPoint pt, BOOL) override
    {
        return SECLNDockHitTester::SearchRoot(pRoot, pRegistry, pt, TRUE);
    }
    ISECDockInitiator* Search(SECLNRootRegistry* pRegistry, CPoint pt, BOOL) override
    {
        return SECLNDockHitTester::Search(pRegistry, pt, TRUE);
    }
    DWORD QueryHook(ISECLNContainer* pContainer, CPoint pt, SECLayoutNode* pNode) override
    {
        return AskHook<ISECHookDockSourceHitTester>(pContainer, pt, pNode);
    }
};

class SECLNTargetDockHitTester : public SECLNDockHitTester<ISECDockTarget> {
public:
    DWORD QueryHook(ISECLNContainer* pContainer, CPoint pt, SECLayoutNode* pNode) override
    {
        return AskHook<ISECHookDockTargetHitTester>(pContainer, pt, pNode);
    }
};

// Finds a target that accepts a point outside its own rectangle.
template <class I>
class SECLNOffNodeIFaceHitTest_T {
public:
    virtual ~SECLNOffNodeIFaceHitTest_T() = default;
    virtual I* HitTestSubtree(SECLayoutNode* pNode, CPoint pt)
    {
        if (pNode == nullptr)
            return nullptr;
        if (I* hit = HitTestNode(pNode, pt))
            return hit;
        return HitTestChildren(pNode, pt);
    }
    virtual I* HitTestChildren(SECLayoutNode* pNode, CPoint pt)
    {
        {
            Iterator_T<SECLayoutNode> it(pNode);
            while (SECLayoutNode* child = it.Next()) {
                if (I* hit = HitTestNode(child, pt))
                    return hit;
            }
        }
        Iterator_T<SECLayoutNode> it(pNode);
        while (SECLayoutNode* child = it.Next()) {
            if (I* hit = HitTestSubtree(child, pt))
                return hit;
        }
        return nullptr;
    }
    virtual I* HitTestNode(SECLayoutNode* pNode, CPoint pt)
    {
        auto* off = dynamic_cast<ISECOffNodeHitTest*>(pNode);
        auto* target = dynamic_cast<I*>(pNode);
        return off != nullptr && target != nullptr && off->HitTestOffNode(pt) ? target : nullptr;
    }
};

template <class I>
class SECLNOffNodeDockIFaceHitTest_T : public SECLNOffNodeIFaceHitTest_T<I> {
public:
    virtual I* SearchRegistry(SECLNRootRegistry* pRegistry, CPoint ptScreen)
    {
        if (pRegistry == nullptr)
            return nullptr;
        SECLNNodeList roots;
        pRegistry->GetRoots(roots);
        for (POSITION pos = roots.GetHeadPosition(); pos != nullptr;) {
            SECLayoutNode* root = roots.GetNext(pos);
            ISECLNContainer* container = pRegistry->LookupContainer(root);
            CPoint pt = ptScreen;
            if (container == nullptr || !container->ScreenToNode(pt))
                continue;
            if (I* hit = this->HitTestSubtree(root, pt))
                return hit;
        }
        return nullptr;
    }
};
