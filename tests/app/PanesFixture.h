// A toolkit frame on the headless backend with the application's model installed, for the
// Project Area and Output Area tests, and a small site-shaped page tree.
#pragma once

#include "engine/project/CPageNode.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/frames/SECFrameWnd.h"

#include <memory>

class PanesTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        model.Install();
        frame = new SECFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 400)));
        frame->EnableDocking(CBRS_ALIGN_ANY);
    }
    void TearDown() override
    {
        if (frame->m_hWnd)
            frame->DestroyWindow();
        model.GetSelectedNodes().RemoveAll();
        model.GetPageCol().DeleteAll();
        AfxTest::TearDown();
    }
    static CPageNode* Add(CPageNode* parent, UINT kind, const char* name)
    {
        auto* node = new CPageNode;
        node->SetKind(kind);
        node->SetName(name);
        node->SetFolder(parent->GetKind() == CPageNode::kindRoot ? parent->GetName() : [&] {
            CString path;
            parent->GetFullPath(path);
            return path;
        }());
        node->SetParent(parent);
        parent->AddChild(node);
        return node;
    }
    // /site: a.htm, sub/ (b.htm, deep/ (c.htm)), d.htm
    CPageNode* MakeSite()
    {
        auto* root = new CPageNode;
        model.GetPageCol().InitRootNode("/site", root);
        model.GetPageCol().AddTail(root);
        a = Add(root, CPageNode::kindPage, "a.htm");
        sub = Add(root, CPageNode::kindFolder, "sub");
        b = Add(sub, CPageNode::kindPage, "b.htm");
        deep = Add(sub, CPageNode::kindFolder, "deep");
        c = Add(deep, CPageNode::kindPage, "c.htm");
        d = Add(root, CPageNode::kindPage, "d.htm");
        return root;
    }

    CVostrelAppModel model;
    SECFrameWnd* frame = nullptr;
    CPageNode* a = nullptr;
    CPageNode* sub = nullptr;
    CPageNode* b = nullptr;
    CPageNode* deep = nullptr;
    CPageNode* c = nullptr;
    CPageNode* d = nullptr;
};
