#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/WithoutFileOverride.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/core/FileOperations.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

const std::string kEnginePage = "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";
const std::string kEngineSaved =
    "<html>\r\n<head>\r\n<title>T</title>\r\n<meta name=\"Keywords\" content=\"k\">\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";

class ParserEngineTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        auto pSettings = std::make_unique<CProjectSettings>();
        m_pSettings = pSettings.get();
        m_pModel->SetProjectSettings(std::move(pSettings));
        m_root.SetKind(CPageNode::kindRoot);
    }

    // A page node of a file in the scratch folder, as a scan read it, with an edited Keywords
    // content.
    CPageNode* Page(const std::string& name, const std::string& content = kEnginePage)
    {
        WriteFileBytes(TempDir() / name, content);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(name.c_str());
        pPage->SetFolder(TempDir().string().c_str());
        NoteFileAsScanned(*pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", "k", 1, pContent);
        CPageNode* p = pPage.get();
        m_root.AddChild(pPage.release());
        m_selection.AddTail(p);
        return p;
    }

    static UINT KeywordsModified(CPageNode* pPage)
    {
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        return pList->GetHead()->GetModified();
    }

    std::vector<std::string> TempFilesLeft()
    {
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(TempDir())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("SAV", 0) == 0)
                left.push_back(name);
        }
        return left;
    }

    void RunSave(MessageSink& sink)
    {
        ASSERT_EQ(m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
        ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));
    }

    CParserEngine m_engine;
    CProjectSettings* m_pSettings = nullptr;
    CPageNode m_root;
    CSelNodesCol m_selection;
};

TEST_F(ParserEngineTest, BackupNamesTakeTheFirstFreeNumber)
{
    const std::string page = (TempDir() / "a.htm").string();
    CString strName;
    EXPECT_EQ(CParserEngine::MakeBackupName(page.c_str(), strName), 0u);
    EXPECT_EQ(std::string(strName), page + ".old");
    WriteFileBytes(page + ".old", "1");
    WriteFileBytes(page + ".old2", "2");
    EXPECT_EQ(CParserEngine::MakeBackupName(page.c_str(), strName), 0u);
    EXPECT_EQ(std::string(strName), page + ".old3");
    for (int n = 3; n <= 24; ++n)
        WriteFileBytes(page + ".old" + std::to_string(n), "n");
    EXPECT_EQ(CParserEngine::MakeBackupName(page.c_str(), strName), 1u);
}

TEST_F(ParserEngineTest, AttributesTextAndExtensions)
{
    EXPECT_STREQ(CParserEngine::MakeAttributesText(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE), "RA");
    EXPECT_STREQ(CParserEngine::MakeAttributesText(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE), "SA");
    EXPECT_STREQ(CParserEngine::MakeAttributesText(FILE_ATTRIBUTE_DIRECTORY), "");
    CStringList htm;
    htm.AddTail(".htm");
    EXPECT_TRUE(CParserEngine::HasPageExtension("INDEX.HTM", htm));
    EXPECT_TRUE(CParserEngine::HasPageExtension("a.b.Htm", htm));
    EXPECT_FALSE(CParserEngine::HasPageExtension("index.html", htm));
    EXPECT_FALSE(CParserEngine::HasPageExtension("htm", htm));
    EXPECT_FALSE(CParserEngine::HasPageExtension("index.htm.txt", htm));
}

TEST_F(ParserEngineTest, EnumerationBuildsTheTreeAndPostsEachPage)
{
    const fs::path site = TempDir() / "site";
    fs::create_directories(site / "empty");
    fs::create_directories(site / "sub");
    WriteFileBytes(site / "a.htm", "a");
    WriteFileBytes(site / "INDEX.HTML", "b");
    WriteFileBytes(site / "notes.txt", "c");
    WriteFileBytes(site / "sub" / "c.shtml", "d");
    // A link back up the tree is walked once only.
    fs::create_directory_symlink(site, site / "sub" / "loop");
    chmod((site / "a.htm").c_str(), 0444);

    MessageSink sink;
    ASSERT_EQ(m_engine.StartEnumeration((site.string() + "/").c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgEnumFinished));
    EXPECT_EQ(sink.Count(kMsgEnumPageFound), 3u);
    EXPECT_EQ(sink.Ids().back(), kMsgEnumFinished);

    ASSERT_EQ(m_root.GetChildren().GetCount(), 1);
    CPageNode* pSite = m_root.GetChildren().GetHead();
    EXPECT_EQ(pSite->GetKind(), CPageNode::kindFolder);
    EXPECT_STREQ(pSite->GetName(), "site");
    EXPECT_EQ(std::string(pSite->GetFolder()), TempDir().string());
    EXPECT_EQ(pSite->GetParent(), &m_root);

    std::map<std::string, CPageNode*> children;
    std::vector<std::string> order;
    for (POSITION pos = pSite->GetChildren().GetHeadPosition(); pos != nullptr;) {
        CPageNode* p = pSite->GetChildren().GetNext(pos);
        children[p->GetName().GetString()] = p;
        order.emplace_back(p->GetName().GetString());
    }
    // Pages and folders together, in name order whatever their case.
    EXPECT_EQ(order, (std::vector<std::string>{"a.htm", "empty", "INDEX.HTML", "sub"}));
    ASSERT_EQ(children.size(), 4u);
    EXPECT_EQ(children["a.htm"]->GetKind(), CPageNode::kindPage);
    EXPECT_STREQ(children["a.htm"]->GetAttributes(), "RA");
    EXPECT_EQ(children["INDEX.HTML"]->GetKind(), CPageNode::kindPage);
    EXPECT_STREQ(children["INDEX.HTML"]->GetAttributes(), "A");
    EXPECT_EQ(children["empty"]->GetKind(), CPageNode::kindFolder);
    EXPECT_EQ(children["empty"]->GetChildren().GetCount(), 0);
    CString strPath;
    children["INDEX.HTML"]->GetFullPath(strPath);
    EXPECT_EQ(std::string(strPath), (site / "INDEX.HTML").string());

    CPageNode* pSub = children["sub"];
    ASSERT_EQ(pSub->GetChildren().GetCount(), 1); // c.shtml; the loop leads back to a folder seen
    EXPECT_STREQ(pSub->GetChildren().GetHead()->GetName(), "c.shtml");

    // Every posted node is a page of the tree.
    for (const PostedMessage& m : sink.messages) {
        if (m.message == kMsgEnumPageFound) {
            EXPECT_EQ(reinterpret_cast<CPageNode*>(m.lParam)->GetKind(), CPageNode::kindPage);
        }
    }
    m_root.GetChildren().DeleteAll();
}

TEST_F(ParserEngineTest, PagesAndFoldersComeInNameOrderWhateverTheFileSystemKeeps)
{
    // Made in reverse order, folders and pages mixed, so that a walk in the file system's order
    // gives them in another.
    const fs::path site = TempDir() / "ordered";
    for (int i = 0; i < 20; ++i) {
        char folder[16], page[16];
        std::snprintf(folder, sizeof folder, "dir%02d", 19 - i);
        std::snprintf(page, sizeof page, "Page%02d.htm", 19 - i);
        fs::create_directories(site / folder);
        WriteFileBytes(site / folder / "index.htm", "x");
        WriteFileBytes(site / page, "x");
    }
    MessageSink sink;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgEnumFinished));
    std::vector<std::string> children;
    CPageNode* pSite = m_root.GetChildren().GetHead();
    for (POSITION pos = pSite->GetChildren().GetHeadPosition(); pos != nullptr;)
        children.emplace_back(pSite->GetChildren().GetNext(pos)->GetName().GetString());
    std::vector<std::string> posted;
    for (const PostedMessage& m : sink.messages)
        if (m.message == kMsgEnumPageFound) {
            CString strPath;
            reinterpret_cast<CPageNode*>(m.lParam)->GetFullPath(strPath);
            posted.push_back(fs::path(strPath.GetString()).lexically_relative(site).string());
        }
    std::vector<std::string> expectedChildren, expectedPosted;
    for (int i = 0; i < 20; ++i) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "dir%02d", i);
        expectedChildren.emplace_back(folder);
        expectedPosted.push_back(std::string(folder) + "/index.htm");
    }
    for (int i = 0; i < 20; ++i) {
        char page[16];
        std::snprintf(page, sizeof page, "Page%02d.htm", i);
        expectedChildren.emplace_back(page);
        expectedPosted.emplace_back(page);
    }
    EXPECT_EQ(children, expectedChildren);
    EXPECT_EQ(posted, expectedPosted);
    m_root.GetChildren().DeleteAll();
}

TEST_F(ParserEngineTest, AnExtensionListOfHtmDoesNotTakeHtml)
{
    const fs::path site = TempDir() / "s";
    fs::create_directories(site);
    WriteFileBytes(site / "a.htm", "a");
    WriteFileBytes(site / "b.html", "b");
    m_pSettings->m_FileExtensions.RemoveAll();
    m_pSettings->m_FileExtensions.AddTail(".htm");
    MessageSink sink;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgEnumFinished));
    ASSERT_EQ(sink.Count(kMsgEnumPageFound), 1u);
    EXPECT_STREQ(reinterpret_cast<CPageNode*>(sink.messages[0].lParam)->GetName(), "a.htm");
    m_root.GetChildren().DeleteAll();
}

TEST_F(ParserEngineTest, StoppingTheEnumerationPostsStoppedOnceTheThreadHasEnded)
{
    const fs::path site = TempDir() / "big";
    constexpr int kFolders = 40;
    constexpr int kFiles = 150;
    for (int d = 0; d < kFolders; ++d) {
        fs::create_directories(site / std::to_string(d));
        for (int f = 0; f < kFiles; ++f)
            WriteFileBytes(site / std::to_string(d) / (std::to_string(f) + ".htm"), "x");
    }
    // The walk is held at the first page it finds until the stop has come: the queue it tells the
    // page to is full.
    MessageSink sink;
    sink.FillQueue();
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
    EXPECT_EQ(m_engine.StopEnumeration(), 0u);
    EXPECT_EQ(m_engine.StopEnumeration(), 1u); // already under way
    ASSERT_TRUE(sink.WaitFor(kMsgEnumStopped));
    const std::vector<UINT> ids = sink.Ids();
    EXPECT_EQ(ids.back(), kMsgEnumStopped);
    EXPECT_EQ(sink.Count(kMsgEnumStopped), 1u);
    // The walk ended in the folder it was held in, without a finish, and every page it found was
    // reported.
    EXPECT_FALSE(sink.Has(kMsgEnumFinished));
    EXPECT_LE(sink.Count(kMsgEnumPageFound), static_cast<size_t>(kFiles));
    size_t nPages = 0;
    if (m_root.GetChildren().GetCount() == 1) {
        const CPageNodeCol& folders = m_root.GetChildren().GetHead()->GetChildren();
        for (POSITION pos = folders.GetHeadPosition(); pos != nullptr;)
            nPages += static_cast<size_t>(folders.GetNext(pos)->GetChildren().GetCount());
    }
    EXPECT_EQ(nPages, sink.Count(kMsgEnumPageFound));
    m_root.GetChildren().DeleteAll();
    // A new start clears the flag.
    MessageSink second;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, second.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(second.WaitFor(kMsgEnumFinished));
    EXPECT_EQ(second.Count(kMsgEnumPageFound), static_cast<size_t>(kFolders * kFiles));
    m_root.GetChildren().DeleteAll();
}

TEST_F(ParserEngineTest, AFolderTooDeepIsSkippedAndFifosAreNoPages)
{
    // A FIFO with a page's name is no page, and the walk does not wait on it.
    const fs::path site = TempDir() / "site";
    fs::create_directories(site);
    WriteFileBytes(site / "a.htm", "a");
    ASSERT_EQ(mkfifo((site / "pipe.htm").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", site / "zero.htm");
    MessageSink sink;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(sink.WaitFor(kMsgEnumFinished));
    ASSERT_EQ(sink.Count(kMsgEnumPageFound), 1u);
    EXPECT_STREQ(reinterpret_cast<CPageNode*>(sink.messages[0].lParam)->GetName(), "a.htm");
    m_root.GetChildren().DeleteAll();

    // A folder too deep for the system's path limit cannot be walked: the project is made
    // without it, and the owner learns which folder was left out and why.
    int fd = open(site.c_str(), O_RDONLY | O_DIRECTORY);
    const std::string strLevel(200, 'd');
    for (int i = 0; i < 24 && fd >= 0; ++i) {
        ASSERT_EQ(mkdirat(fd, strLevel.c_str(), 0755), 0);
        const int next = openat(fd, strLevel.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = next;
    }
    ASSERT_GE(fd, 0);
    close(fd);
    MessageSink deep;
    ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, deep.Handle(), *m_pSettings), 0u);
    ASSERT_TRUE(deep.WaitFor(kMsgEnumFinished));
    EXPECT_FALSE(deep.Has(kMsgEnumFailed));
    EXPECT_EQ(deep.Count(kMsgEnumPageFound), 1u);
    const auto skipped = m_engine.GetEnumerationSkipped();
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(std::string(skipped[0].strPath).rfind(site.string() + "/" + strLevel, 0), 0u);
    EXPECT_NE(std::string(skipped[0].strReason).find("dddd"), std::string::npos);
    m_root.GetChildren().DeleteAll();
    // The deep folders are removed by moving each up before it is deleted.
    const fs::path top = site / strLevel;
    while (fs::exists(top / strLevel)) {
        fs::rename(top / strLevel, site / "up");
        fs::remove(top);
        fs::rename(site / "up", top);
    }
    fs::remove(top);
}

TEST_F(ParserEngineTest, OneBadFolderIsSkippedAndTheRestMakesTheProject)
{
    // A link to itself, a folder closed to everyone, a loop back up, and readable pages around
    // them.
    const fs::path site = TempDir() / "site";
    fs::create_directories(site / "closed");
    fs::create_directories(site / "open" / "deeper");
    WriteFileBytes(site / "a.htm", "a");
    WriteFileBytes(site / "closed" / "hidden.htm", "h");
    WriteFileBytes(site / "open" / "deeper" / "b.htm", "b");
    fs::create_symlink("self", site / "self");
    fs::create_directory_symlink("..", site / "open" / "up");
    chmod((site / "closed").c_str(), 0);
    {
        WithoutFileOverride plainUser;
        ASSERT_TRUE(plainUser.Holds());
        MessageSink sink;
        ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, sink.Handle(), *m_pSettings), 0u);
        ASSERT_TRUE(sink.WaitFor(kMsgEnumFinished));
        EXPECT_FALSE(sink.Has(kMsgEnumFailed));
        EXPECT_EQ(sink.Count(kMsgEnumPageFound), 2u);
        const auto skipped = m_engine.GetEnumerationSkipped();
        ASSERT_EQ(skipped.size(), 1u);
        EXPECT_EQ(std::string(skipped[0].strPath), (site / "closed").string());
        EXPECT_NE(std::string(skipped[0].strReason).find("denied"), std::string::npos) << skipped[0].strReason;
        // The folder left out is not in the tree either: a, open, and no closed or self.
        ASSERT_EQ(m_root.GetChildren().GetCount(), 1);
        std::vector<std::string> names;
        const CPageNodeCol& top = m_root.GetChildren().GetHead()->GetChildren();
        for (POSITION pos = top.GetHeadPosition(); pos != nullptr;)
            names.push_back(top.GetNext(pos)->GetName().GetString());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"a.htm", "open"}));
        m_root.GetChildren().DeleteAll();

        // A project folder that cannot be read is refused, with its reason.
        chmod(site.c_str(), 0);
        MessageSink refused;
        ASSERT_EQ(m_engine.StartEnumeration(site.string().c_str(), &m_root, refused.Handle(), *m_pSettings), 0u);
        ASSERT_TRUE(refused.WaitFor(kMsgEnumFailed));
        EXPECT_FALSE(refused.Has(kMsgEnumFinished));
        EXPECT_NE(std::string(m_engine.GetEnumerationFailure()).find("denied"), std::string::npos);
        m_root.GetChildren().DeleteAll();
    }
    chmod(site.c_str(), 0755);
    chmod((site / "closed").c_str(), 0755);
}

TEST_F(ParserEngineTest, SavingKeepsTheOldPageAsABackup)
{
    CPageNode* p1 = Page("one.htm");
    CPageNode* p2 = Page("two.htm");
    chmod((TempDir() / "two.htm").c_str(), 0640);
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "one.htm"), kEngineSaved);
    EXPECT_EQ(ReadFileBytes(TempDir() / "one.htm.old"), kEnginePage);
    EXPECT_EQ(ReadFileBytes(TempDir() / "two.htm"), kEngineSaved);
    EXPECT_EQ(fs::status(TempDir() / "two.htm").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(KeywordsModified(p1), 0u);
    EXPECT_EQ(KeywordsModified(p2), 0u);
    EXPECT_TRUE(TempFilesLeft().empty());
    const std::vector<UINT> expected = {kMsgOutputClear, kMsgSavePageBegin, kMsgSavePageDone, kMsgSavePageBegin,
                                        kMsgSavePageDone, kMsgSaveFinished};
    EXPECT_EQ(sink.Ids(), expected);
    EXPECT_EQ(reinterpret_cast<CPageNode*>(sink.messages[1].lParam), p1);
    EXPECT_EQ(reinterpret_cast<CPageNode*>(sink.messages[4].lParam), p2);
}

TEST_F(ParserEngineTest, ABackupTakesTheNextFreeNumber)
{
    Page("p.htm");
    WriteFileBytes(TempDir() / "p.htm.old", "first");
    WriteFileBytes(TempDir() / "p.htm.old2", "second");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "p.htm.old"), "first");
    EXPECT_EQ(ReadFileBytes(TempDir() / "p.htm.old2"), "second");
    EXPECT_EQ(ReadFileBytes(TempDir() / "p.htm.old3"), kEnginePage);
    EXPECT_EQ(ReadFileBytes(TempDir() / "p.htm"), kEngineSaved);
}

TEST_F(ParserEngineTest, WithEveryBackupNameTakenThePageIsLeftAlone)
{
    CPageNode* pFull = Page("full.htm");
    CPageNode* pNext = Page("next.htm");
    const std::string base = (TempDir() / "full.htm").string();
    WriteFileBytes(base + ".old", "b1");
    for (int n = 2; n <= 24; ++n)
        WriteFileBytes(base + ".old" + std::to_string(n), "b" + std::to_string(n));
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(base), kEnginePage);
    EXPECT_EQ(ReadFileBytes(base + ".old24"), "b24");
    EXPECT_EQ(KeywordsModified(pFull), 1u);
    EXPECT_EQ(KeywordsModified(pNext), 0u);
    EXPECT_EQ(ReadFileBytes(TempDir() / "next.htm"), kEngineSaved);
    EXPECT_TRUE(TempFilesLeft().empty());
    const std::vector<std::string> lines = sink.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "FULL.HTM : Could not backup: the backup names .old to .old24 are all taken.");
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 1u);
}

TEST_F(ParserEngineTest, AReadOnlyPageIsDeniedAndTheSaveGoesOn)
{
    CPageNode* pLocked = Page("locked.htm");
    Page("open.htm");
    chmod((TempDir() / "locked.htm").c_str(), 0444);
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "locked.htm"), kEnginePage);
    EXPECT_FALSE(fs::exists(TempDir() / "locked.htm.old"));
    EXPECT_EQ(KeywordsModified(pLocked), 1u);
    EXPECT_EQ(ReadFileBytes(TempDir() / "open.htm"), kEngineSaved);
    EXPECT_EQ(sink.Lines(),
              std::vector<std::string>{"LOCKED.HTM : Denied Access: the page is read-only. The page was left as it was."});
    EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(ParserEngineTest, AMissingPageIsReportedAndSkipped)
{
    CPageNode* pGone = Page("gone.htm");
    Page("here.htm");
    fs::remove(TempDir() / "gone.htm");
    MessageSink sink;
    RunSave(sink);
    EXPECT_FALSE(fs::exists(TempDir() / "gone.htm"));
    EXPECT_EQ(KeywordsModified(pGone), 1u);
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].rfind("GONE.HTM : ", 0), 0u);
    EXPECT_EQ(ReadFileBytes(TempDir() / "here.htm"), kEngineSaved);
    EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(ParserEngineTest, APageWithoutAHeadIsLeftAloneAndItsEditsStayMarked)
{
    CPageNode* pPage = Page("nohead.htm", "<html><body>x</body></html>");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(sink.Lines(), std::vector<std::string>{"NOHEAD.HTM : Missing HEAD start tag."});
    EXPECT_EQ(ReadFileBytes(TempDir() / "nohead.htm"), "<html><body>x</body></html>");
    EXPECT_FALSE(fs::exists(TempDir() / "nohead.htm.old"));
    EXPECT_FALSE(sink.Has(kMsgSavePageDone));
    EXPECT_EQ(KeywordsModified(pPage), 1u);
}

TEST_F(ParserEngineTest, AUtf16PageIsLeftAloneAndToldAsSuch)
{
    // A page as an editor writes it in UTF-16 with its byte order mark, little and big endian;
    // its text is ASCII but for the é (U+00E9).
    const std::string strText = "<html><head><title>Caf\xE9</title></head><body>x</body></html>";
    std::string strLittle = "\xFF\xFE";
    std::string strBig = "\xFE\xFF";
    for (const char ch : strText) {
        strLittle += std::string{ch, '\0'};
        strBig += std::string{'\0', ch};
    }
    Page("little.htm", strLittle);
    Page("big.htm", strBig);
    MessageSink sink;
    RunSave(sink);
    const std::string strWhy = " : The page is written in UTF-16, a charset this program does not write: it is left as it is.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"LITTLE.HTM" + strWhy, "BIG.HTM" + strWhy}));
    EXPECT_EQ(ReadFileBytes(TempDir() / "little.htm"), strLittle);
    EXPECT_EQ(ReadFileBytes(TempDir() / "big.htm"), strBig);
    EXPECT_FALSE(fs::exists(TempDir() / "little.htm.old"));
}

TEST_F(ParserEngineTest, AnotherSchemeReplacesThePageWithoutABackup)
{
    m_pSettings->m_nBackupScheme = 2;
    Page("d.htm");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "d.htm"), kEngineSaved);
    EXPECT_FALSE(fs::exists(TempDir() / "d.htm.old"));
    EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(ParserEngineTest, TheTrashSchemeMovesTheOldPageToTheTrash)
{
    const fs::path data = TempDir() / "data";
    fs::create_directories(data);
    const char* pszOld = std::getenv("XDG_DATA_HOME");
    const std::string strOld = pszOld != nullptr ? pszOld : "";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    m_pSettings->m_nBackupScheme = 1;
    Page("t.htm");
    MessageSink sink;
    RunSave(sink);
    if (pszOld != nullptr)
        setenv("XDG_DATA_HOME", strOld.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ReadFileBytes(TempDir() / "t.htm"), kEngineSaved);
    EXPECT_EQ(ReadFileBytes(data / "Trash" / "files" / "t.htm"), kEnginePage);
    EXPECT_TRUE(fs::exists(data / "Trash" / "info" / "t.htm.trashinfo"));
    EXPECT_TRUE(sink.Lines().empty());
}

// A selected page without edits has nothing to write: it is left as it is, without a backup,
// and done as one that holds its edits.
TEST_F(ParserEngineTest, PagesWithoutEditsAreLeftAsTheyAreWithoutABackup)
{
    CPageNode* pPage = Page("same.htm");
    const std::string before = ReadFileBytes(TempDir() / "same.htm");
    CMetaContentList* pList = nullptr;
    pPage->GetContentList(pList);
    pList->SetModifiedAll(0);
    MessageSink sink;
    RunSave(sink);
    EXPECT_FALSE(fs::exists(TempDir() / "same.htm.old"));
    EXPECT_EQ(ReadFileBytes(TempDir() / "same.htm"), before);
    ASSERT_EQ(sink.Count(kMsgSavePageDone), 1u);
    for (const PostedMessage& message : sink.messages) {
        if (message.message == kMsgSavePageDone) {
            EXPECT_EQ(message.wParam, kSavedUnchanged);
        }
    }
}

// The title a scan found elsewhere than in the head (an icon's, a DIV's) is not written into
// the head: a title goes in only when the user edited it.
TEST_F(ParserEngineTest, AHeadWithoutTitleGetsNoTitleTheUserDidNotEdit)
{
    CPageNode* pPage = Page("notitle.htm", "<html><head></head><body>x</body></html>");
    CMetaContentList* pList = nullptr;
    pPage->GetContentList(pList);
    pList->SetModifiedAll(0);
    pPage->SetTitle("A & B");
    pPage->SetTitleModified(0);
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "notitle.htm"), "<html><head></head><body>x</body></html>");
}

TEST_F(ParserEngineTest, AnEditedTitleIsSaved)
{
    CPageNode* pPage = Page("title.htm");
    CMetaContentList* pList = nullptr;
    pPage->GetContentList(pList);
    pList->SetModifiedAll(0);
    pPage->SetTitle("New");
    pPage->SetTitleModified(1);
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "title.htm"),
              "<html>\r\n<head>\r\n<title>New</title>\r\n</head>\r\n<body>text</body>\r\n</html>\r\n");
    EXPECT_EQ(pPage->GetTitleModified(), 0u);
}

// The stop comes while the first page is being saved (the save is held inside it): that page is
// saved, and no other.
TEST_F(ParserEngineTest, StoppingTheSaveEndsAfterThePageBeingSaved)
{
    auto* pHeld = new HeldTagSetting;   // the catalogue owns it
    m_pModel->GetMetaSettings().AddTail(pHeld);
    const HeldTagRelease release{pHeld};
    std::vector<CPageNode*> pages;
    for (int i = 0; i < 200; ++i)
        pages.push_back(Page("s" + std::to_string(i) + ".htm"));
    CMetaContentList* pFirst = nullptr;
    pages.front()->GetContentList(pFirst);
    CMetaContent* pContent = nullptr;
    pFirst->AddContent("Held", "h", 1, pContent);
    MessageSink sink;
    ASSERT_EQ(m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(pHeld->WaitUntilEntered()) << "the save never came to the first page's tags";
    EXPECT_EQ(m_engine.StopSave(), 0u);
    EXPECT_EQ(m_engine.StopSave(), 0u);
    pHeld->Release();
    ASSERT_TRUE(sink.WaitFor(kMsgSaveStopped));
    EXPECT_EQ(sink.Count(kMsgSaveStopped), 1u);
    EXPECT_EQ(sink.Ids().back(), kMsgSaveStopped);
    // The first page is saved and reported; every other is untouched and still marked.
    for (CPageNode* p : pages) {
        const std::string name = (TempDir() / p->GetName().GetString()).string();
        bool bReported = false;
        for (const PostedMessage& m : sink.messages)
            bReported = bReported || (m.message == kMsgSavePageDone && reinterpret_cast<CPageNode*>(m.lParam) == p);
        if (p == pages.front()) {
            EXPECT_TRUE(bReported) << "the page being saved when the stop came";
            const std::string saved = ReadFileBytes(name);
            EXPECT_NE(saved.find("<meta name=\"Keywords\" content=\"k\">"), std::string::npos) << saved;
            EXPECT_NE(saved.find("<meta name=\"Held\" content=\"h\">"), std::string::npos) << saved;
            EXPECT_EQ(KeywordsModified(p), 0u);
        } else {
            EXPECT_FALSE(bReported) << p->GetName().GetString();
            EXPECT_EQ(ReadFileBytes(name), kEnginePage);
            EXPECT_EQ(KeywordsModified(p), 1u);
        }
    }
    EXPECT_FALSE(sink.Has(kMsgSaveFinished));
    EXPECT_TRUE(TempFilesLeft().empty());
}

TEST_F(ParserEngineTest, OutputAreaLines)
{
    EXPECT_STREQ(FormatOutputAreaLine("page.htm", "Denied Access."), "PAGE.HTM : Denied Access.");
    EXPECT_STREQ(FormatOutputAreaLine("", "Only the message"), "Only the message");
    MessageSink sink;
    EXPECT_TRUE(PostOutputAreaLine(sink.Handle(), "a.htm", "first"));
    // Lines longer than an atom holds arrive whole, also with a multi-byte character at a cut.
    const std::string strLong = std::string(246, 'x') + "\xC3\xA9" + std::string(600, 'y');
    EXPECT_TRUE(PostOutputAreaLine(sink.Handle(), "a.htm", strLong.c_str()));
    EXPECT_TRUE(PostOutputAreaLine(sink.Handle(), "", "last"));
    EXPECT_FALSE(PostOutputAreaLine(nullptr, "a.htm", "nowhere"));
    sink.Drain();
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"A.HTM : first", "A.HTM : " + strLong, "last"}));
    for (const PostedMessage& m : sink.messages)
        EXPECT_EQ(m.message, kMsgOutputAddLine); // pieces are joined, not shown as lines

    // Two workers at once, with more lines than the pane's queue holds and some longer than an
    // atom: the workers wait for room, and every line arrives whole, in each worker's order.
    sink.messages.clear();
    constexpr int kEach = 6000;
    std::atomic<int> nPosted{0};
    std::atomic<int> nDone{0};
    std::vector<std::thread> workers;
    const auto text = [](int nWorker, int i) {
        return std::to_string(nWorker) + ":" + std::to_string(i) + (i % 500 == 0 ? std::string(400, 'z') : "");
    };
    for (int w = 0; w < 2; ++w)
        workers.emplace_back([&, w] {
            for (int i = 0; i < kEach; ++i)
                nPosted += PostOutputAreaLine(sink.Handle(), "", text(w, i).c_str()) ? 1 : 0;
            ++nDone;
        });
    // Nothing is taken from the queue until it is full (a note of the test's own is refused).
    while (nDone < 2) {
        if (nPosted > 9000 && !PostThreadMessage(GetCurrentThreadId(), WM_NULL, 0, 0)
            && GetLastError() == ERROR_NOT_ENOUGH_QUOTA)
            break;
        std::this_thread::yield();
    }
    sink.Drain();
    for (std::thread& worker : workers)
        worker.join();
    sink.Drain();
    EXPECT_EQ(nPosted, 2 * kEach);
    std::vector<int> next(2, 0);
    for (const std::string& line : sink.Lines()) {
        const int w = line[0] - '0';
        ASSERT_TRUE(w == 0 || w == 1) << line;
        EXPECT_EQ(line, text(w, next[w])) << "worker " << w;
        ++next[w];
    }
    EXPECT_EQ(next, (std::vector<int>{kEach, kEach}));
}

TEST_F(ParserEngineTest, TemporaryFilesAreMadeEmptyWithThePrefix)
{
    CString strPath;
    ASSERT_EQ(CParserEngine::MakeTempFileNameIn(TempDir().string().c_str(), "SAV", strPath), 0u);
    EXPECT_EQ(fs::path(strPath.GetString()).filename().string().rfind("SAV", 0), 0u);
    EXPECT_EQ(fs::file_size(strPath.GetString()), 0u);
    ASSERT_EQ(CParserEngine::MakeTempFileName("SAV", strPath), 0u);
    EXPECT_TRUE(fs::exists(strPath.GetString()));
    fs::remove(strPath.GetString());
}

} // namespace
