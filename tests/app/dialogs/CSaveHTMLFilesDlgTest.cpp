// The save dialog: edited pages are saved with the meter stepping once per page and the dialog
// ends with 1; with nothing to save it starts no thread and ends with 2 at once.
#include "app/dialogs/CSaveHTMLFilesDlg.h"
#include "engine/project/CParserEngine.h"
#include "tests/app/PanesFixture.h"
#include "tests/support/ScopedTempDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

class SaveHTMLFilesDlgTest : public PanesTest {
protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        model.SetProjectSettings(std::make_unique<CProjectSettings>());
        root = new CPageNode;
        model.GetPageCol().InitRootNode(temp.Path().c_str(), root);
        model.GetPageCol().AddTail(root);
        for (const char* name : {"a.htm", "b.htm", "c.htm"}) {
            std::ofstream(std::filesystem::path(temp.Path()) / name)
                << "<html><head><title>Old</title></head><body>x</body></html>";
            CPageNode* page = Add(root, CPageNode::kindPage, name);
            page->SetFolder(temp.Path().c_str());
            page->SetTitle("Old");
            // As a scan read it: a page not read is never saved, and a save writes only into the
            // file the scan read.
            page->SetScanState(0);
            struct stat info {};
            ASSERT_EQ(::stat((std::filesystem::path(temp.Path()) / name).c_str(), &info), 0);
            page->SetReadFile(info);
            pages.push_back(page);
        }
    }
    static std::string Read(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ScopedTempDir temp;
    CParserEngine engine;
    CPageNode* root = nullptr;
    std::vector<CPageNode*> pages;
};

TEST_F(SaveHTMLFilesDlgTest, EditedPagesAreSavedWithOneStepEach)
{
    for (int i : {0, 2}) {
        pages[i]->SetTitle("New");
        pages[i]->SetTitleModified(1);
    }
    CSaveHTMLFilesDlg dlg(engine, model.GetPageCol(), nullptr);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPages().GetCount(), 2);
    EXPECT_EQ(dlg.GetProgressPos(), 2u);
    const auto dir = std::filesystem::path(temp.Path());
    EXPECT_NE(Read(dir / "a.htm").find("<title>New</title>"), std::string::npos);
    EXPECT_NE(Read(dir / "b.htm").find("<title>Old</title>"), std::string::npos);
    EXPECT_NE(Read(dir / "c.htm").find("<title>New</title>"), std::string::npos);
}

TEST_F(SaveHTMLFilesDlgTest, NothingToSaveEndsWithTwoAndTouchesNoFile)
{
    const auto before = std::filesystem::last_write_time(std::filesystem::path(temp.Path()) / "a.htm");
    CSaveHTMLFilesDlg dlg(engine, model.GetPageCol(), nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.GetPages().GetCount(), 0);
    EXPECT_EQ(std::filesystem::last_write_time(std::filesystem::path(temp.Path()) / "a.htm"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), std::filesystem::directory_iterator()), 3);
}

} // namespace
