// The enumeration dialog: a finished walk ends it with 1 and fills the tree; Stop ends it with
// 1012 only after the thread has ended, keeping what was found; Cancel ends it with 2; a walk
// that cannot start ends it with 2 and a message instead of waiting for ever.
#include "app/dialogs/CEnumFilesDlg.h"
#include "engine/project/CParserEngine.h"
#include "tests/app/PanesFixture.h"
#include "tests/support/DialogAutomation.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/support/WithoutFileOverride.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace dialog_automation;

// Presses a button of the dialog as soon as its walk has started, before any message of the walk
// is handled: a walk this short can end before the dialog's first idle turn. The walk is held at
// the first page it finds until then: the queue it tells the page to is full, and the dialog's
// loop empties it only afterwards.
class PressingEnumDlg : public CEnumFilesDlg {
public:
    PressingEnumDlg(CParserEngine& engine, const CProjectSettings& settings, int nButton)
        : CEnumFilesDlg(engine, settings), m_nButton(nButton)
    {
    }
    BOOL OnInitDialog() override
    {
        while (::PostMessage(m_hWnd, WM_NULL, 0, 0)) {
        }
        const BOOL result = CEnumFilesDlg::OnInitDialog();
        for (int id : {int(kIdStop), IDCANCEL, int(kIdHelp)})
            m_styles.push_back(GetWindowLong(::GetDlgItem(m_hWnd, id), GWL_STYLE) & BS_TYPEMASK);
        SendMessage(WM_COMMAND, static_cast<WPARAM>(m_nButton), 0);
        return result;
    }
    int m_nButton;
    std::vector<LONG> m_styles;
};

class EnumFilesDlgTest : public PanesTest {
protected:
    void MakeSite(int folders, int pagesEach)
    {
        for (int f = 0; f < folders; ++f) {
            const auto dir = std::filesystem::path(temp.Path()) / ("f" + std::to_string(f));
            std::filesystem::create_directories(dir);
            for (int p = 0; p < pagesEach; ++p)
                std::ofstream(dir / ("p" + std::to_string(p) + ".htm")) << "<html><head></head></html>";
        }
    }
    static int CountPages(const CPageNode* node)
    {
        int n = node->GetKind() == CPageNode::kindPage ? 1 : 0;
        for (POSITION pos = node->GetChildren().GetHeadPosition(); pos != nullptr;)
            n += CountPages(node->GetChildren().GetNext(pos));
        return n;
    }
    // Runs the dialog; `onOpen` acts on it at its first idle turn.
    INT_PTR Run(CPageNode* rootNode, std::function<void(HWND)> onOpen = nullptr)
    {
        CEnumFilesDlg dlg(engine, settings);
        dlg.SetPath(temp.Path().c_str(), rootNode);
        if (onOpen)
            WhenWindowOpens(*backend, [] { auto d = ShownDialogs(); return d.empty() ? HWND{} : d.front(); }, onOpen,
                            [] { ADD_FAILURE() << "the dialog never opened"; });
        const INT_PTR result = dlg.DoModal();
        state = dlg.GetState();
        return result;
    }

    // Runs the dialog with a button pressed as the walk starts.
    INT_PTR RunPressing(CPageNode* rootNode, int nButton, std::vector<LONG>* styles = nullptr)
    {
        PressingEnumDlg dlg(engine, settings, nButton);
        dlg.SetPath(temp.Path().c_str(), rootNode);
        const INT_PTR result = dlg.DoModal();
        state = dlg.GetState();
        if (styles)
            *styles = dlg.m_styles;
        return result;
    }

    // Answers the message box whose text holds the words with OK when it opens, keeping its
    // text; past the deadline the dialogs still open are ended and the test fails.
    void AnswerBoxSaying(const char* pszWords, std::chrono::steady_clock::time_point deadline, SeenMessageBox& seen)
    {
        backend->WhenIdle([this, pszWords, deadline, &seen] {
            for (HWND dlg : ShownDialogs()) {
                const std::string text = TextOf(GetDlgItem(dlg, kMessageBoxTextId));
                if (text.find(pszWords) != std::string::npos) {
                    seen.seen = true;
                    seen.text = text;
                    backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
                    EnsureClosed(*backend, dlg);
                    return;
                }
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "no message box saying \"" << pszWords << "\"";
                for (HWND dlg : ShownDialogs())
                    EndDialog(dlg, -1);
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            AnswerBoxSaying(pszWords, deadline, seen);
        });
    }

    ScopedTempDir temp;
    CParserEngine engine;
    CProjectSettings settings;
    CPageNode root;
    UINT state = 0;
};

TEST_F(EnumFilesDlgTest, FinishedWalkEndsWithOneAndFillsTheTree)
{
    MakeSite(3, 4);
    root.SetKind(CPageNode::kindRoot);
    EXPECT_EQ(Run(&root), IDOK);
    EXPECT_EQ(CountPages(&root), 12);
}

TEST_F(EnumFilesDlgTest, StopKeepsThePagesFoundAndCancelDoesNot)
{
    MakeSite(200, 25);
    root.SetKind(CPageNode::kindRoot);
    // Stop pressed at once: whatever the thread found stays, and the dialog ends only on the
    // stopper's message, with 1012.
    std::vector<LONG> styles;
    EXPECT_EQ(RunPressing(&root, CEnumFilesDlg::kIdStop, &styles), static_cast<INT_PTR>(CEnumFilesDlg::kIdStop));
    EXPECT_EQ(state, static_cast<UINT>(CEnumFilesDlg::stateStopRequested));
    // The buttons show their pictures, found by their texts.
    EXPECT_EQ(styles, (std::vector<LONG>(3, BS_OWNERDRAW)));

    CPageNode second;
    second.SetKind(CPageNode::kindRoot);
    EXPECT_EQ(RunPressing(&second, IDCANCEL), IDCANCEL);
    EXPECT_EQ(state, static_cast<UINT>(CEnumFilesDlg::stateCancelRequested));
}

TEST_F(EnumFilesDlgTest, WalkThatCannotStartEndsWithTwoAndSaysSo)
{
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDOK, &seen);
    EXPECT_EQ(Run(nullptr), IDCANCEL);
    EXPECT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("could not be started"), std::string::npos);
}

TEST_F(EnumFilesDlgTest, AProjectFolderThatCannotBeReadEndsWithTwoAndSaysWhy)
{
    MakeSite(1, 1);
    root.SetKind(CPageNode::kindRoot);
    ::chmod(temp.Path().c_str(), 0);
    SeenMessageBox seen;
    {
        WithoutFileOverride plainUser;
        ASSERT_TRUE(plainUser.Holds());
        // The box comes once the walk's thread has failed, however long that takes: it is
        // looked for at every turn of the dialog's loop, for up to a minute, and told from the
        // dialog under it by its text.
        AnswerBoxSaying("could not be read", std::chrono::steady_clock::now() + std::chrono::minutes(1), seen);
        EXPECT_EQ(Run(&root), IDCANCEL);
    }
    ::chmod(temp.Path().c_str(), 0700);
    EXPECT_TRUE(seen.seen);
    EXPECT_NE(seen.text.find("The project folder could not be read"), std::string::npos) << seen.text;
    EXPECT_NE(seen.text.find("Access to " + temp.Path() + " was denied."), std::string::npos) << seen.text;
}

} // namespace
