// The save thread against what other programs and the system do to a site meanwhile: pages
// changed while saving, links, FIFOs, devices, file size limits, full disks, long names.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/RequiredTools.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <linux/capability.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <sys/wait.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

const std::string kPage = "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";
const std::string kSaved =
    "<html>\r\n<head>\r\n<title>T</title>\r\n<meta name=\"Keywords\" content=\"k\">\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";

// A page of about nBytes: the head above, then a long body.
std::string BigPage(size_t nBytes)
{
    std::string strPage = "<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>";
    const std::string strRow = "<p>Some text of the page, row after row.</p>\r\n";
    while (strPage.size() < nBytes)
        strPage += strRow;
    return strPage + "</body>\r\n</html>\r\n";
}

std::vector<std::string> SaveCopiesIn(const fs::path& folder)
{
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("SAV", 0) == 0)
            left.push_back(name);
    }
    return left;
}

class SaveTest : public EngineTest {
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

    // A page node of a path, with an edited Keywords content; the file is written unless
    // content is null.
    CPageNode* Page(const fs::path& path, const std::string* pContent = &kPage)
    {
        if (pContent != nullptr)
            WriteFileBytes(path, *pContent);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(path.filename().c_str());
        pPage->SetFolder(path.parent_path().c_str());
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContentNode = nullptr;
        pList->AddContent("Keywords", "k", 1, pContentNode);
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

TEST_F(SaveTest, APageChangedWhileItIsSavedKeepsTheOtherProgramsVersion)
{
    // Two pages large enough that the save is still copying when the test, woken by the copy's
    // creation, changes them: one in place, one replaced by a rename.
    const std::string strBig = BigPage(24 << 20);
    CPageNode* pInPlace = Page(TempDir() / "inplace.htm", &strBig);
    CPageNode* pReplaced = Page(TempDir() / "replaced.htm", &strBig);
    const int fdNotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(fdNotify, 0);
    ASSERT_GE(inotify_add_watch(fdNotify, TempDir().c_str(), IN_CREATE), 0);
    auto waitForCopy = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{fdNotify, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0)
                continue;
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = read(fdNotify, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* pEvent = reinterpret_cast<const inotify_event*>(buffer + at);
                if (pEvent->len > 0 && std::string(pEvent->name).rfind("SAV", 0) == 0)
                    return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
            }
        }
        return false;
    };

    MessageSink sink;
    ASSERT_EQ(m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_TRUE(waitForCopy());
    {
        std::ofstream out(TempDir() / "inplace.htm", std::ios::binary | std::ios::app);
        out << "<!-- the other program's line -->";
    }
    ASSERT_TRUE(waitForCopy());
    WriteFileBytes(TempDir() / "other.tmp", "the other program's page");
    fs::rename(TempDir() / "other.tmp", TempDir() / "replaced.htm");
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));
    close(fdNotify);

    EXPECT_EQ(ReadFileBytes(TempDir() / "inplace.htm"), strBig + "<!-- the other program's line -->");
    EXPECT_EQ(ReadFileBytes(TempDir() / "replaced.htm"), "the other program's page");
    EXPECT_EQ(KeywordsModified(pInPlace), 1u);
    EXPECT_EQ(KeywordsModified(pReplaced), 1u);
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 0u);
    const std::string strChanged = "Another program changed the page while it was being saved: its version was "
                                   "kept, and the edits are still to be saved.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"INPLACE.HTM : " + strChanged, "REPLACED.HTM : " + strChanged}));
    EXPECT_TRUE(SaveCopiesIn(TempDir()).empty());
}

TEST_F(SaveTest, ALinkedPageIsSavedThroughItsLink)
{
    fs::create_directories(TempDir() / "real");
    WriteFileBytes(TempDir() / "real" / "page.htm", kPage);
    fs::create_symlink("real/page.htm", TempDir() / "link.htm");
    CPageNode* pPage = Page(TempDir() / "link.htm", nullptr);
    MessageSink sink;
    RunSave(sink);
    EXPECT_TRUE(fs::is_symlink(TempDir() / "link.htm"));
    EXPECT_EQ(fs::read_symlink(TempDir() / "link.htm"), "real/page.htm");
    EXPECT_EQ(ReadFileBytes(TempDir() / "real" / "page.htm"), kSaved);
    EXPECT_EQ(ReadFileBytes(TempDir() / "real" / "page.htm.old"), kPage);
    EXPECT_FALSE(fs::exists(TempDir() / "link.htm.old"));
    EXPECT_EQ(KeywordsModified(pPage), 0u);
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_TRUE(SaveCopiesIn(TempDir() / "real").empty());
}

TEST_F(SaveTest, OwnerGroupAndModeStayAndHardLinksAreTold)
{
    const fs::path owned = TempDir() / "owned.htm";
    Page(owned);
    chmod(owned.c_str(), 0664);
    const bool bRoot = geteuid() == 0;
    if (bRoot) {
        ASSERT_EQ(chown(owned.c_str(), 4321, 8765), 0);
    }
    const fs::path linked = TempDir() / "linked.htm";
    CPageNode* pLinked = Page(linked);
    fs::create_hard_link(linked, TempDir() / "other-name.htm");

    MessageSink sink;
    RunSave(sink);
    struct stat info {};
    ASSERT_EQ(stat(owned.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
    if (bRoot) {
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 8765u);
    }
    EXPECT_EQ(ReadFileBytes(owned), kSaved);
    // The page is replaced as a whole; its other name keeps the old text, and the user is told.
    EXPECT_EQ(ReadFileBytes(linked), kSaved);
    EXPECT_EQ(ReadFileBytes(TempDir() / "other-name.htm"), kPage);
    EXPECT_EQ(KeywordsModified(pLinked), 0u);
    EXPECT_EQ(sink.Lines(), std::vector<std::string>{"LINKED.HTM : Saved as a new file: the page's other names "
                                                     "(hard links) still show the old text."});
}

TEST_F(SaveTest, LongPathsSaveAndLongLinesShow)
{
    // A folder path far past 260 bytes, and a page name that makes its line longer than 255.
    fs::path folder = TempDir();
    for (int i = 0; i < 4; ++i)
        folder /= std::string(120, static_cast<char>('a' + i));
    fs::create_directories(folder);
    CPageNode* pDeep = Page(folder / "deep.htm");
    std::string strLongName(240, 'n');
    strLongName += ".htm";
    CPageNode* pLocked = Page(TempDir() / strLongName);
    chmod((TempDir() / strLongName).c_str(), 0444);
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(folder / "deep.htm"), kSaved);
    EXPECT_EQ(ReadFileBytes(folder / "deep.htm.old"), kPage);
    EXPECT_EQ(KeywordsModified(pDeep), 0u);
    EXPECT_EQ(KeywordsModified(pLocked), 1u);
    CString strExpected(strLongName.c_str());
    strExpected.MakeUpper();
    strExpected += " : Denied Access.";
    EXPECT_EQ(sink.Lines(), std::vector<std::string>{strExpected.GetString()});
}

TEST_F(SaveTest, FifosAndDevicesAreLeftAloneWithoutBlocking)
{
    const fs::path fifo = TempDir() / "pipe.htm";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    CPageNode* pFifo = Page(fifo, nullptr);
    const fs::path zero = TempDir() / "zero.htm";
    fs::create_symlink("/dev/zero", zero);
    Page(zero, nullptr);
    Page(TempDir() / "plain.htm");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "plain.htm"), kSaved);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(fs::read_symlink(zero), "/dev/zero");
    EXPECT_EQ(KeywordsModified(pFifo), 1u);
    const std::string strLine = " : Not a regular file (a pipe, a device or a folder): the page was left alone.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"PIPE.HTM" + strLine, "ZERO.HTM" + strLine}));
    EXPECT_TRUE(SaveCopiesIn(TempDir()).empty());
}

TEST_F(SaveTest, EveryCopyAndItsFolderAreFlushedBeforeThePageIsReplaced)
{
    // The system calls of the save, as strace sees them, with the paths of descriptors.
    VOSTREL_REQUIRE(access("/usr/bin/strace", X_OK) == 0 ? "" : "strace (not in /usr/bin)");
    Page(TempDir() / "one.htm");
    Page(TempDir() / "two.htm");
    const std::string strLog = (TempDir() / "calls.txt").string();
    const std::string strPid = std::to_string(getpid());
    const pid_t tracer = fork();
    if (tracer == 0) {
        execl("/usr/bin/strace", "strace", "-f", "-qq", "-y", "-e", "trace=fsync,rename,link", "-o", strLog.c_str(),
              "-p", strPid.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(tracer, 0);
    prctl(PR_SET_PTRACER, tracer, 0, 0, 0);
    auto traced = [] {
        std::ifstream status("/proc/self/status");
        std::string strLine;
        while (std::getline(status, strLine)) {
            if (strLine.rfind("TracerPid:", 0) == 0)
                return std::atoi(strLine.c_str() + 10) != 0;
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!traced() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!traced()) {
        kill(tracer, SIGKILL);
        waitpid(tracer, nullptr, 0);
        VOSTREL_REQUIRE("the right to follow this process with strace");
    }
    MessageSink sink;
    RunSave(sink);
    kill(tracer, SIGINT);
    waitpid(tracer, nullptr, 0);

    std::vector<std::string> calls;
    {
        std::ifstream log(strLog);
        for (std::string strLine; std::getline(log, strLine);)
            calls.push_back(strLine);
    }
    const std::string strFolder = TempDir().string();
    for (const std::string name : {"one.htm", "two.htm"}) {
        // The rename that puts the copy in the page's place.
        size_t nRename = calls.size();
        std::string strCopy;
        for (size_t i = 0; i < calls.size(); ++i) {
            const size_t at = calls[i].find("rename(\"" + strFolder + "/SAV");
            if (at != std::string::npos && calls[i].find("\"" + strFolder + "/" + name + "\"") != std::string::npos) {
                nRename = i;
                strCopy = calls[i].substr(at + 8, calls[i].find('"', at + 8) - at - 8);
            }
        }
        ASSERT_LT(nRename, calls.size()) << name;
        bool bCopyFlushed = false;
        bool bFolderFlushed = false;
        for (size_t i = 0; i < nRename; ++i) {
            if (calls[i].find("fsync(") == std::string::npos || calls[i].find("= 0") == std::string::npos)
                continue;
            bCopyFlushed = bCopyFlushed || calls[i].find("<" + strCopy + ">") != std::string::npos;
            bFolderFlushed = bFolderFlushed || calls[i].find("<" + strFolder + ">") != std::string::npos;
        }
        EXPECT_TRUE(bCopyFlushed) << name;
        EXPECT_TRUE(bFolderFlushed) << name;
        // The new name itself is flushed once it is there.
        bool bAfter = false;
        for (size_t i = nRename + 1; i < calls.size(); ++i)
            bAfter = bAfter
                || (calls[i].find("fsync(") != std::string::npos && calls[i].find("<" + strFolder + ">") != std::string::npos);
        EXPECT_TRUE(bAfter) << name;
    }
    EXPECT_EQ(ReadFileBytes(TempDir() / "one.htm"), kSaved);
}

// Runs in a child process (a death test that re-runs the program), which exits with 0 when the
// checks held and 1 when not, so that a signal that kills it fails the test.
class SaveLimitTest : public SaveTest {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        SaveTest::SetUp();
    }

    // Saves the page, then checks that it is left as it was, still marked, without a copy in
    // the folder, and with the one line expected.
    [[noreturn]] void SaveAndExit(CPageNode* pPage, const fs::path& path, const std::string& strOld,
                                  const std::string& strLine)
    {
        MessageSink sink;
        bool bOk = m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()) == 0
            && sink.WaitFor(kMsgSaveFinished);
        const std::vector<std::string> lines = sink.Lines();
        bOk = bOk && ReadFileBytes(path) == strOld && KeywordsModified(pPage) == 1
            && SaveCopiesIn(path.parent_path()).empty() && lines.size() == 1 && lines[0] == strLine
            && !sink.Has(kMsgSavePageDone);
        if (!bOk && !lines.empty())
            std::fprintf(stderr, "line: %s\n", lines[0].c_str());
        // The child ran the test from its start: its own scratch folder, and the small file
        // system it may have mounted there, go before it leaves without destructors.
        umount2((TempDir() / "disk").c_str(), MNT_DETACH);
        RemoveTempDir();
        std::_Exit(bOk ? 0 : 1);
    }
};

TEST_F(SaveLimitTest, AFileSizeLimitFailsThePageWithoutKillingTheProgram)
{
    auto save = [this] {
            const std::string strBig = BigPage(256 << 10);
            CPageNode* pPage = Page(TempDir() / "big.htm", &strBig);
            const rlimit limit{128 << 10, 128 << 10};
            setrlimit(RLIMIT_FSIZE, &limit);
            SaveAndExit(pPage, TempDir() / "big.htm", strBig,
                        "BIG.HTM : Not saved: the page would be larger than the file size limit allows. The page "
                        "was left as it was.");
    };
    EXPECT_EXIT(save(), ::testing::ExitedWithCode(0), "");
}

TEST_F(SaveLimitTest, AFullDiskNamesThePage)
{
    // A small file system of its own: needs the right to mount one.
    const fs::path disk = TempDir() / "disk";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0) {
        VOSTREL_REQUIRE("the right to mount a small file system");
    }
    auto save = [this, disk] {
            const std::string strPage = BigPage(160 << 10);
            CPageNode* pPage = Page(disk / "full.htm", &strPage);
            SaveAndExit(pPage, disk / "full.htm", strPage,
                        "FULL.HTM : Not saved: there is not enough space on the disk. The page was left as it was.");
    };
    EXPECT_EXIT(save(), ::testing::ExitedWithCode(0), "");
    umount2(disk.c_str(), MNT_DETACH);
}

// The address sanitizer keeps memory of its own, so a limit on the process's memory says
// nothing about the program's there.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VOSTREL_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(VOSTREL_UNDER_ADDRESS_SANITIZER)
TEST_F(SaveLimitTest, AnyFailureOfOnePageIsToldAndThePageIsNotSaved)
{
    // Too little memory for the rewrite: the failure is not a file error, yet it is the page's.
    auto save = [this] {
            CPageNode* pPage = Page(TempDir() / "huge.htm");
            CMetaContentList* pList = nullptr;
            pPage->GetContentList(pList);
            pList->GetHead()->SetContent(CString('k', 96 << 20));
            pList->GetHead()->SetModified(1);
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            std::ifstream status("/proc/self/statm");
            size_t nPages = 0;
            status >> nPages;
            const rlim_t nLimit = nPages * static_cast<size_t>(sysconf(_SC_PAGESIZE)) + (200u << 20);
            limit.rlim_cur = nLimit;
            setrlimit(RLIMIT_AS, &limit);
            SaveAndExit(pPage, TempDir() / "huge.htm", kPage, "HUGE.HTM : Not saved: there was not enough memory.");
    };
    EXPECT_EXIT(save(), ::testing::ExitedWithCode(0), "");
}
#endif

// The mark the save gives its copies, for a copy of a save that runs in this process: its id and
// its start time (the 22nd field of its stat line).
std::string LiveCopyMark()
{
    std::ifstream stat("/proc/self/stat");
    std::string strLine;
    std::getline(stat, strLine);
    std::istringstream fields(strLine.substr(strLine.rfind(')') + 2));
    std::string strField;
    for (int nField = 3; nField <= 22; ++nField)
        fields >> strField;
    return std::to_string(getpid()) + " " + strField;
}

// Starts a save of the site's pages and kills this process, as kill -9 does, once the save has
// made and marked copies of nCopies of them. Runs in a child process.
[[noreturn]] void KillASaveMidway(const fs::path& site, size_t nCopies)
{
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    CSelNodesCol pages;
    for (const auto& entry : fs::directory_iterator(site)) {
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(entry.path().filename().c_str());
        pPage->SetFolder(site.c_str());
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", "k", 1, pContent);
        pages.AddTail(pPage.get());
        root.AddChild(pPage.release());
    }
    const int fdNotify = inotify_init1(IN_CLOEXEC);
    if (fdNotify < 0 || inotify_add_watch(fdNotify, site.c_str(), IN_ATTRIB) < 0)
        std::_Exit(2);
    MessageSink sink;
    CParserEngine engine;
    if (engine.StartSave(pages, sink.Handle(), sink.Handle()) != 0)
        std::_Exit(3);
    std::set<std::string> marked;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < deadline) {
        alignas(inotify_event) char buffer[4096];
        const ssize_t n = read(fdNotify, buffer, sizeof buffer);
        for (ssize_t at = 0; at < n;) {
            const auto* pEvent = reinterpret_cast<const inotify_event*>(buffer + at);
            if (pEvent->len > 0 && std::string(pEvent->name).rfind("SAV", 0) == 0)
                marked.insert(pEvent->name);
            at += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
        }
        if (marked.size() >= nCopies)
            raise(SIGKILL);
    }
    std::_Exit(4);
}

} // namespace

TEST_F(SaveTest, CopiesAKilledSaveLeftAreRemovedByTheNextAndNoOtherFileIs)
{
    // The site is the parent's: the child the death test starts finds it by the environment.
    const char* pszSite = std::getenv("VOSTREL_TEST_KILLED_SAVE_SITE");
    const fs::path site = pszSite != nullptr ? fs::path(pszSite) : TempDir() / "site";
    if (pszSite == nullptr) {
        fs::create_directories(site);
        if (setxattr(site.c_str(), "user.vostrel.probe", "1", 1, 0) != 0 && errno == ENOTSUP)
            GTEST_SKIP() << "the file system keeps no extended attributes";
        const std::string strBig = BigPage(2 << 20);
        for (int i = 0; i < 12; ++i)
            WriteFileBytes(site / ("page" + std::to_string(i) + ".htm"), strBig);
        setenv("VOSTREL_TEST_KILLED_SAVE_SITE", site.c_str(), 1);
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(KillASaveMidway(site, 4), ::testing::KilledBySignal(SIGKILL), "");
    unsetenv("VOSTREL_TEST_KILLED_SAVE_SITE");
    std::vector<std::string> left = SaveCopiesIn(site);
    // Killed while it wrote its copies, the save left them; the pages are as they were.
    ASSERT_FALSE(left.empty()) << "the killed save left no copy";
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(fs::file_size(site / ("page" + std::to_string(i) + ".htm")), BigPage(2 << 20).size());

    // Files named like copies that are not left ones: a user's, and one of a save that runs.
    WriteFileBytes(site / "SAV1A2B.tmp", "my notes");
    WriteFileBytes(site / "SAVBEEF.tmp", "a copy being written");
    const std::string strLive = LiveCopyMark();
    ASSERT_EQ(setxattr((site / "SAVBEEF.tmp").c_str(), "user.vostrel.save-copy", strLive.data(), strLive.size(), 0), 0);
    // A copy another machine's save makes in a shared folder: its process cannot be seen here.
    WriteFileBytes(site / "SAVD00D.tmp", "a copy from elsewhere");
    const std::string strElsewhere = "4194000 12 another-machine.example";
    ASSERT_EQ(setxattr((site / "SAVD00D.tmp").c_str(), "user.vostrel.save-copy", strElsewhere.data(),
                       strElsewhere.size(), 0),
              0);
    CPageNode* pPage = Page(site / "page0.htm");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(KeywordsModified(pPage), 0u);
    const std::vector<std::string> lines = sink.Lines();
    const std::string told = site.string() + " : Removed " + std::to_string(left.size())
        + " temporary files that an interrupted save had left there.";
    EXPECT_NE(std::find(lines.begin(), lines.end(), told), lines.end()) << (lines.empty() ? "" : lines[0]);
    left = SaveCopiesIn(site);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"SAV1A2B.tmp", "SAVBEEF.tmp", "SAVD00D.tmp"}));
    EXPECT_EQ(ReadFileBytes(site / "SAV1A2B.tmp"), "my notes");

    // The saved page is not marked as a copy.
    char szMark[64] = {};
    EXPECT_LT(getxattr((site / "page0.htm").c_str(), "user.vostrel.save-copy", szMark, sizeof szMark), 0);
}

namespace {

// A site as the enumeration makes it: the root, the project folder under it, folders below.
class SiteSaveTest : public SaveTest {
protected:
    void SetUp() override
    {
        SaveTest::SetUp();
        m_site = TempDir() / "site";
        fs::create_directories(m_site);
        auto pFolder = std::make_unique<CPageNode>();
        pFolder->SetKind(CPageNode::kindFolder);
        pFolder->SetName("site");
        pFolder->SetFolder(TempDir().c_str());
        pFolder->SetParent(&m_root);
        m_pSiteNode = pFolder.get();
        m_root.AddChild(pFolder.release());
    }

    // The page of a path within the site (its folders made as nodes on the way), with the
    // Keywords value edited to the text; the file itself is the test's business.
    CPageNode* SitePage(const std::string& path, const char* keywords)
    {
        CPageNode* pParent = m_pSiteNode;
        fs::path folder = m_site;
        const fs::path relative(path);
        for (auto part = relative.begin(); std::next(part) != relative.end(); ++part) {
            CPageNode* pFound = nullptr;
            for (POSITION pos = pParent->GetChildren().GetHeadPosition(); pos != nullptr;) {
                CPageNode* p = pParent->GetChildren().GetNext(pos);
                if (p->GetName() == part->c_str())
                    pFound = p;
            }
            if (pFound == nullptr) {
                auto pNew = std::make_unique<CPageNode>();
                pNew->SetKind(CPageNode::kindFolder);
                pNew->SetName(part->c_str());
                pNew->SetFolder(folder.c_str());
                pNew->SetParent(pParent);
                pFound = pNew.get();
                pParent->AddChild(pNew.release());
            }
            pParent = pFound;
            folder /= *part;
        }
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetName(relative.filename().c_str());
        pPage->SetFolder(folder.c_str());
        pPage->SetParent(pParent);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", keywords, 1, pContent);
        CPageNode* p = pPage.get();
        pParent->AddChild(pPage.release());
        m_selection.AddTail(p);
        return p;
    }

    static std::string Saved(const char* keywords)
    {
        return "<html>\r\n<head>\r\n<title>T</title>\r\n<meta name=\"Keywords\" content=\"" + std::string(keywords)
            + "\">\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";
    }

    std::vector<std::string> BackupsIn(const fs::path& folder)
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().filename().string().find(".old") != std::string::npos)
                found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    fs::path m_site;
    CPageNode* m_pSiteNode = nullptr;
};

// For its life, the calling thread (and the threads it starts) meets the files' permissions as
// any user does, root too: without the right to override them.
class FilePermissionsHold {
public:
    FilePermissionsHold()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_bLowered = ::syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~FilePermissionsHold()
    {
        if (m_bLowered)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    FilePermissionsHold(const FilePermissionsHold&) = delete;
    FilePermissionsHold& operator=(const FilePermissionsHold&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_bLowered = false;
};

std::string AliasLine(const std::string& page, const std::string& writer)
{
    return page + " : Not saved: it is the same file as " + writer
        + ", which was saved with that page's edits. The edits of this page are kept for the next save.";
}

} // namespace

TEST_F(SiteSaveTest, PagesThatAreOneFileAreWrittenOnceWithTheFirstPagesEdits)
{
    // One file under five names: its own, a link to it, a link to the link, a hard link, and
    // its path through a second name of its folder. Each page has its own edit.
    fs::create_directories(m_site / "en");
    WriteFileBytes(m_site / "en" / "guide.htm", kPage);
    fs::create_symlink("en/guide.htm", m_site / "link.htm");
    fs::create_symlink("link.htm", m_site / "link2.htm");
    fs::create_hard_link(m_site / "en" / "guide.htm", m_site / "hard.htm");
    fs::create_directory_symlink("en", m_site / "again");
    WriteFileBytes(m_site / "other.htm", kPage);
    CPageNode* pFirst = SitePage("en/guide.htm", "first");
    CPageNode* pLink = SitePage("link.htm", "second");
    CPageNode* pLink2 = SitePage("link2.htm", "third");
    CPageNode* pHard = SitePage("hard.htm", "fourth");
    CPageNode* pAgain = SitePage("again/guide.htm", "fifth");
    CPageNode* pOther = SitePage("other.htm", "own");

    MessageSink sink;
    RunSave(sink);
    // The first page's edits went in, once, with one backup; the others' stay to be saved.
    EXPECT_EQ(ReadFileBytes(m_site / "en" / "guide.htm"), Saved("first"));
    EXPECT_EQ(ReadFileBytes(m_site / "other.htm"), Saved("own"));
    EXPECT_EQ(BackupsIn(m_site / "en"), std::vector<std::string>{"guide.htm.old"});
    EXPECT_EQ(BackupsIn(m_site), std::vector<std::string>{"other.htm.old"});
    EXPECT_EQ(KeywordsModified(pFirst), 0u);
    EXPECT_EQ(KeywordsModified(pOther), 0u);
    for (CPageNode* pAlias : {pLink, pLink2, pHard, pAgain})
        EXPECT_EQ(KeywordsModified(pAlias), 1u) << pAlias->GetSitePath().GetString();
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 2u);
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
                                "EN/GUIDE.HTM : Saved as a new file: the page's other names (hard links) still show the "
                                "old text.",
                                AliasLine("link.htm", "en/guide.htm"), AliasLine("link2.htm", "en/guide.htm"),
                                AliasLine("hard.htm", "en/guide.htm"), AliasLine("again/guide.htm", "en/guide.htm")}));
    EXPECT_TRUE(SaveCopiesIn(m_site / "en").empty());

    // The next save, of the pages still edited, writes the next of them, and names the page it
    // wrote for the rest.
    m_selection.RemoveAll();
    for (CPageNode* pAlias : {pLink, pLink2, pHard, pAgain})
        m_selection.AddTail(pAlias);
    MessageSink second;
    RunSave(second);
    EXPECT_EQ(ReadFileBytes(m_site / "en" / "guide.htm"), Saved("second"));
    EXPECT_EQ(KeywordsModified(pLink), 0u);
    EXPECT_EQ(KeywordsModified(pLink2), 1u);
    EXPECT_EQ(KeywordsModified(pAgain), 1u);
    const std::vector<std::string> lines = second.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), AliasLine("link2.htm", "link.htm")), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), AliasLine("again/guide.htm", "link.htm")), lines.end());
}

TEST_F(SiteSaveTest, PagesReportedNotSavedAreNotTouched)
{
    // An empty page, a binary file and pages without a head, each saved twice.
    static const char kBinary[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe";
    const std::string strBinary(kBinary, sizeof kBinary - 1);
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"empty.htm", ""},
        {"binary.htm", strBinary},
        {"nohtml.htm", "<head><title>x</title></head><body>b</body>"},
        {"nohead.htm", "<html><body>x</body></html>"},
        {"open.htm", "<html><head><title>x</title><body>b</body></html>"},
    };
    std::vector<CPageNode*> nodes;
    for (const auto& [name, bytes] : pages) {
        WriteFileBytes(m_site / name, bytes);
        nodes.push_back(SitePage(name, "k"));
    }
    // Times from long ago, so that any rewrite would show.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    for (const auto& [name, bytes] : pages)
        fs::last_write_time(m_site / name, old);
    for (int nSave = 0; nSave < 2; ++nSave) {
        MessageSink sink;
        RunSave(sink);
        EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"EMPTY.HTM : Missing HTML start tag.",
                                                          "BINARY.HTM : Missing HTML start tag.",
                                                          "NOHTML.HTM : Missing HTML start tag.",
                                                          "NOHEAD.HTM : Missing HEAD start tag.",
                                                          "OPEN.HTM : Missing HEAD end tag."}));
        EXPECT_EQ(sink.Count(kMsgSavePageDone), 0u);
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(pages[i].first);
        EXPECT_EQ(ReadFileBytes(m_site / pages[i].first), pages[i].second);
        EXPECT_EQ(fs::last_write_time(m_site / pages[i].first), old);
        EXPECT_EQ(KeywordsModified(nodes[i]), 1u);
    }
    EXPECT_TRUE(BackupsIn(m_site).empty());
    EXPECT_TRUE(SaveCopiesIn(m_site).empty());
}

// Every folder has its index page: a failure names the page by its path in the site, and a
// folder that may not be written is named as the reason, not the page, which is writable.
TEST_F(SiteSaveTest, AFailureNamesThePageByItsPathAndAFolderThatCannotBeWritten)
{
    for (const char* folder : {"open", "locked", "shut"}) {
        fs::create_directories(m_site / folder);
        WriteFileBytes(m_site / folder / "index.htm", kPage);
    }
    WriteFileBytes(m_site / "index.htm", kPage);
    chmod((m_site / "locked" / "index.htm").c_str(), 0444);
    chmod((m_site / "shut").c_str(), 0555);
    CPageNode* pTop = SitePage("index.htm", "top");
    CPageNode* pOpen = SitePage("open/index.htm", "open");
    CPageNode* pLocked = SitePage("locked/index.htm", "locked");
    CPageNode* pShut = SitePage("shut/index.htm", "shut");
    MessageSink sink;
    {
        FilePermissionsHold asAnyUser;
        RunSave(sink);
    }
    chmod((m_site / "shut").c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(m_site / "index.htm"), Saved("top"));
    EXPECT_EQ(ReadFileBytes(m_site / "open" / "index.htm"), Saved("open"));
    EXPECT_EQ(ReadFileBytes(m_site / "locked" / "index.htm"), kPage);
    EXPECT_EQ(ReadFileBytes(m_site / "shut" / "index.htm"), kPage);
    EXPECT_EQ(KeywordsModified(pTop), 0u);
    EXPECT_EQ(KeywordsModified(pOpen), 0u);
    EXPECT_EQ(KeywordsModified(pLocked), 1u);
    EXPECT_EQ(KeywordsModified(pShut), 1u);
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
                                "LOCKED/INDEX.HTM : Denied Access.",
                                "SHUT/INDEX.HTM : Not saved: the folder '" + (m_site / "shut").string()
                                    + "' may not be written, so neither the new page nor the old page's backup can "
                                      "be made there. The page was left as it was."}));
    EXPECT_TRUE(BackupsIn(m_site / "shut").empty());
}
