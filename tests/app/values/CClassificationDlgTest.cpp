// The classification dialog: a page's path picked in the tree and read back in the tree's own
// spelling, and the tree built in define mode with its checks and messages.
#include "app/values/CClassificationDlg.h"
#include "engine/meta/CMetaClassificationSetting.h"
#include "tests/app/MetaDialogsFixture.h"

#include <string>

namespace {

using namespace dialog_automation;

class ClassificationDlgTest : public MetaDialogsTest {
protected:
    // Products (Tools (Hammers), Paint), Services
    static void MakeTree(CDoubleLinkNodeCol& tree)
    {
        tree.AddNew("Products");
        tree.AddNew("Services");
        CDoubleLinkNode* products = tree.GetHead();
        auto* tools = new CDoubleLinkNode(products);
        tools->m_strName = "Tools";
        products->AddChild(tools);
        auto* paint = new CDoubleLinkNode(products);
        paint->m_strName = "Paint";
        products->AddChild(paint);
        auto* hammers = new CDoubleLinkNode(tools);
        hammers->m_strName = "Hammers";
        tools->AddChild(hammers);
    }
    static int Count(const CDoubleLinkNodeCol& nodes)
    {
        int n = 0;
        for (POSITION pos = nodes.GetHeadPosition(); pos != nullptr;)
            n += 1 + Count(nodes.GetNext(pos)->m_Children);
        return n;
    }
    static HTREEITEM Find(CClassificationTreeCtrl& tree, const char* name)
    {
        for (HTREEITEM h = tree.GetRootItem(); h != nullptr; h = tree.GetNextItemInPreorder(h))
            if (tree.GetItemText(h) == name)
                return h;
        return nullptr;
    }
};

} // namespace

TEST_F(ClassificationDlgTest, ValueModeSelectsThePathInAnyCaseAndGivesItBackAsTheTreeSpellsIt)
{
    CMetaClassificationSetting setting;
    setting.SetName("Category");
    setting.m_Tree.DeleteAll();
    MakeTree(setting.m_Tree);

    CClassificationDlg dlg;
    dlg.SetValue(0, setting, "products:tools");
    std::string title;
    bool toolbar = true;
    EXPECT_EQ(Run(dlg, CClassificationDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      toolbar = dlg.GetToolbar().GetSafeHwnd() != nullptr;
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Classification: 'Category'");
    EXPECT_FALSE(toolbar);
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "Products:Tools");

    // With no node to choose, OK gives an empty value, no message.
    CMetaClassificationSetting bare;
    bare.m_Tree.DeleteAll();
    CClassificationDlg none;
    none.SetValue(0, bare, "Products:Nails");
    EXPECT_EQ(Run(none, CClassificationDlg::IDD, [&](HWND hwnd) { Press(hwnd, IDOK); }), IDOK);
    none.GetValue(value);
    EXPECT_STREQ(value, "");

    // A deep pick gives the whole path.
    CClassificationDlg deep;
    deep.SetValue(0, setting, "");
    EXPECT_EQ(Run(deep, CClassificationDlg::IDD,
                  [&](HWND hwnd) {
                      deep.GetTreeCtrl().SelectItem(Find(deep.GetTreeCtrl(), "Hammers"));
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    deep.GetValue(value);
    EXPECT_STREQ(value, "Products:Tools:Hammers");
    EXPECT_EQ(Count(setting.m_Tree), 5);
}

TEST_F(ClassificationDlgTest, DefineModeBuildsTheTreeWithItsChecksAndMessages)
{
    CDoubleLinkNodeCol start;
    MakeTree(start);
    CClassificationDlg dlg;
    dlg.SetTreeToDefine(start);
    std::string title;
    bool toolbar = false;
    SeenMessageBox keepTree, editing;
    int nodesAfterNo = 0, nodesAfterDelete = 0;
    EXPECT_EQ(Run(dlg, CClassificationDlg::IDD,
                  [&](HWND hwnd) {
                      title = TextOf(hwnd);
                      toolbar = dlg.GetToolbar().GetSafeHwnd() != nullptr && dlg.GetToolbar().IsWindowVisible();
                      CClassificationTreeCtrl& tree = dlg.GetTreeCtrl();
                      // Create Tree over a tree answered No keeps it.
                      AnswerMessageBox(*backend, IDNO, &keepTree);
                      Press(hwnd, CClassificationTreeCtrl::kIdCreateTree);
                      nodesAfterNo = Count(dlg.GetWorkingTree());
                      // Deleting Tools takes Hammers with it.
                      tree.SelectItem(Find(tree, "Tools"));
                      Press(hwnd, CClassificationTreeCtrl::kIdDeleteNode);
                      nodesAfterDelete = Count(dlg.GetWorkingTree());
                      // A child under Services, then its label typed while the edit runs.
                      tree.SelectItem(Find(tree, "Services"));
                      Press(hwnd, CClassificationTreeCtrl::kIdCreateChild);
                      if (CWnd* edit = tree.GetEditControl())
                          edit->SetWindowText("Repairs");
                      // A second child while the new one's label is being edited: refused.
                      AnswerMessageBox(*backend, IDOK, &editing);
                      Press(hwnd, CClassificationTreeCtrl::kIdCreateChild);
                      tree.EndLabelEdit(TRUE);
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(title, "Define Classification Metatag Tree");
    EXPECT_TRUE(toolbar);
    EXPECT_TRUE(keepTree.seen);
    EXPECT_EQ(keepTree.text,
              "You already have a 'Classification' tree defined. Proceeding will delete this tree. Continue?");
    EXPECT_EQ(nodesAfterNo, 5);
    EXPECT_EQ(nodesAfterDelete, 3);
    EXPECT_TRUE(editing.seen);
    EXPECT_EQ(editing.text, "Cannot cary out this operation because a node is currently being in-place edited.");
    CDoubleLinkNodeCol result;
    dlg.GetTree(result);
    EXPECT_EQ(Count(result), 4);
    CDoubleLinkNode* repairs = nullptr;
    EXPECT_EQ(result.FindByPath("Services:Repairs", repairs), 0u);
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "Services:Repairs");
}

TEST_F(ClassificationDlgTest, ALabelWithTheColonIsRefusedAndTheEditComesBack)
{
    CDoubleLinkNodeCol start;
    MakeTree(start);
    CClassificationDlg dlg;
    dlg.SetTreeToDefine(start);
    bool editingAgain = false;
    std::string editText;
    EXPECT_EQ(Run(dlg, CClassificationDlg::IDD,
                  [&](HWND hwnd) {
                      CClassificationTreeCtrl& tree = dlg.GetTreeCtrl();
                      tree.SelectItem(Find(tree, "Paint"));
                      Press(hwnd, CClassificationTreeCtrl::kIdRenameNode);
                      if (CWnd* edit = tree.GetEditControl())
                          edit->SetWindowText("Paint:Oil");
                      tree.EndLabelEdit(TRUE);
                      backend->WhenIdle([&, hwnd] {
                          editingAgain = tree.IsEditingLabel() != FALSE;
                          if (CWnd* edit = tree.GetEditControl()) {
                              CString text;
                              edit->GetWindowText(text);
                              editText = text.GetString();
                          }
                          tree.EndLabelEdit(FALSE);
                          Press(hwnd, IDOK);
                      });
                  }),
              IDOK);
    EXPECT_TRUE(editingAgain);
    EXPECT_EQ(editText, "Paint:Oil");
    CDoubleLinkNodeCol result;
    dlg.GetTree(result);
    CDoubleLinkNode* paint = nullptr;
    EXPECT_EQ(result.FindByPath("Products:Paint", paint), 0u);
    EXPECT_EQ(Count(result), 5);
}

TEST_F(ClassificationDlgTest, AnEmptyTreeAsksForASelectionThenCreatesItsFirstNode)
{
    CDoubleLinkNodeCol empty;
    CClassificationDlg dlg;
    dlg.SetTreeToDefine(empty);
    SeenMessageBox noSelection, question;
    bool editing = false;
    EXPECT_EQ(Run(dlg, CClassificationDlg::IDD,
                  [&](HWND hwnd) {
                      AnswerMessageBox(*backend, IDOK, &noSelection);
                      Press(hwnd, CClassificationTreeCtrl::kIdCreateChild);
                      // An empty tree is made without a question, its node at once in edit.
                      AnswerMessageBox(*backend, IDYES, &question);
                      Press(hwnd, CClassificationTreeCtrl::kIdCreateTree);
                      editing = dlg.GetTreeCtrl().IsEditingLabel() != FALSE;
                      Press(hwnd, IDOK);
                  }),
              IDOK);
    EXPECT_TRUE(noSelection.seen);
    EXPECT_EQ(noSelection.text, "You must first select a node in the tree before you can perform  this operation.");
    EXPECT_FALSE(question.seen);
    EXPECT_TRUE(editing);
    CDoubleLinkNodeCol result;
    dlg.GetTree(result);
    ASSERT_EQ(result.GetCount(), 1);
    EXPECT_STREQ(result.GetHead()->m_strName, "New Node");
    CString value;
    dlg.GetValue(value);
    EXPECT_STREQ(value, "New Node");
}
