#include "toolkit/layout/SECLNRootRegistry.h"

#include <algorithm>

SECLNRootRegistry::~SECLNRootRegistry()
{
    while (!m_roots.empty())
        RemoveRoot(m_roots.back().first);
}

BOOL SECLNRootRegistry::AddRoot(SECLayoutNode* pRoot, ISECLNContainer* pContainer)
{
    if (pRoot == nullptr || pContainer == nullptr)
        return FALSE;
    if (ISECLNContainer* existing = LookupContainer(pRoot)) {
        if (existing == pContainer)
            return TRUE;
        RemoveRoot(pRoot);
    }
    m_roots.emplace_back(pRoot, pContainer);
    m_pObserver->OnContainerAdded(pContainer);
    return TRUE;
}

BOOL SECLNRootRegistry::RemoveRoot(SECLayoutNode* pRoot)
{
    auto it = std::find_if(m_roots.begin(), m_roots.end(), [pRoot](const auto& e) { return e.first == pRoot; });
    if (pRoot == nullptr || it == m_roots.end())
        return FALSE;
    ISECLNContainer* container = it->second;
    m_roots.erase(it);
    m_pObserver->OnContainerRemoved(container);
    delete container;
    return TRUE;
}

ISECLNContainer* SECLNRootRegistry::LookupContainer(SECLayoutNode* pRoot) const
{
    for (const auto& [root, container] : m_roots) {
        if (root == pRoot)
            return container;
    }
    return nullptr;
}

ISECLNContainer* SECLNRootRegistry::FindContainer(SECLayoutNode* pNode) const
{
    for (SECLayoutNode* node = pNode; node != nullptr; node = node->GetParentNode()) {
        if (ISECLNContainer* container = LookupContainer(node))
            return container;
    }
    return nullptr;
}

void SECLNRootRegistry::GetRoots(SECLNNodeList& list) const
{
    list.RemoveAll();
    for (const auto& entry : m_roots)
        list.AddTail(entry.first);
}

ISECLNContainer* SECLNRootRegistry::GetContainerAt(CPoint ptScreen) const
{
    // The deepest window under the point, walked up until a registered container's window.
    HWND hWnd = ::WindowFromPoint(ptScreen);
    for (; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        for (const auto& entry : m_roots) {
            if (entry.second->GetHwnd() == hWnd)
                return entry.second;
        }
    }
    return nullptr;
}
