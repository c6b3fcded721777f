// The save thread against what other programs and the system do to a site meanwhile: pages
// changed while saving, links, FIFOs, devices, file size limits, full disks, long names.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/RequiredTools.h"
#include "support/SaveHolder.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/SaveHold.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <sys/wait.h>
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

// strace following this process and the threads it starts: the system calls of the kinds named,
// with the paths of descriptors, one line each (a call another thread cut in two is joined).
class SystemCallTrace {
public:
    SystemCallTrace() = default;
    ~SystemCallTrace() { Stop(); }
    SystemCallTrace(const SystemCallTrace&) = delete;
    SystemCallTrace& operator=(const SystemCallTrace&) = delete;

    // Starts following; false when strace cannot follow this process.
    bool Start(const std::string& strCalls, const fs::path& log)
    {
        m_strLog = log.string();
        const std::string strTrace = "trace=" + strCalls;
        const std::string strPid = std::to_string(getpid());
        m_tracer = fork();
        if (m_tracer == 0) {
            execl("/usr/bin/strace", "strace", "-f", "-qq", "-y", "-e", strTrace.c_str(), "-o", m_strLog.c_str(),
                  "-p", strPid.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (m_tracer < 0)
            return false;
        prctl(PR_SET_PTRACER, m_tracer, 0, 0, 0);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!Traced() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (Traced())
            return true;
        Stop();
        return false;
    }

    // Stops following; the lines of the calls seen.
    std::vector<std::string> Stop()
    {
        if (m_tracer <= 0)
            return {};
        kill(m_tracer, SIGINT);
        waitpid(m_tracer, nullptr, 0);
        m_tracer = -1;
        std::vector<std::string> calls;
        std::map<std::string, std::string> unfinished; // by thread
        std::ifstream log(m_strLog);
        for (std::string strLine; std::getline(log, strLine);) {
            const std::string strThread = strLine.substr(0, strLine.find(' '));
            if (const size_t at = strLine.find(" <unfinished ...>"); at != std::string::npos) {
                unfinished[strThread] = strLine.substr(0, at);
                continue;
            }
            if (const size_t at = strLine.find(" resumed>"); at != std::string::npos && unfinished.count(strThread)) {
                strLine = unfinished[strThread] + strLine.substr(at + 9);
                unfinished.erase(strThread);
            }
            calls.push_back(strLine);
        }
        return calls;
    }

private:
    static bool Traced()
    {
        std::ifstream status("/proc/self/status");
        std::string strLine;
        while (std::getline(status, strLine)) {
            if (strLine.rfind("TracerPid:", 0) == 0)
                return std::atoi(strLine.c_str() + 10) != 0;
        }
        return false;
    }

    pid_t m_tracer = -1;
    std::string m_strLog;
};

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

    // A page node of a path, as a scan read it, with an edited Keywords content; the file is
    // written unless content is null.
    CPageNode* Page(const fs::path& path, const std::string* pContent = &kPage)
    {
        if (pContent != nullptr)
            WriteFileBytes(path, *pContent);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(path.filename().c_str());
        pPage->SetFolder(path.parent_path().c_str());
        NoteFileAsScanned(*pPage);
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

    // The page's Content-Type edited to the value, the setting made first.
    void EditContentType(CPageNode* pPage, const std::string& value)
    {
        CMetaSetting* pFound = nullptr;
        if (m_pModel->GetMetaSettings().FindByName("Content-Type", pFound) != 0)
            AddContentTypeSetting(m_pModel->GetMetaSettings());
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Content-Type", value.c_str(), 1, pContent);
    }

    CParserEngine m_engine;
    CProjectSettings* m_pSettings = nullptr;
    CPageNode m_root;
    CSelNodesCol m_selection;
};

// The pages a save wrote are read back on its own thread: once it is done the window takes
// their values from there and reads no file itself, here not even one that went meanwhile.
TEST_F(SaveTest, TheWrittenPagesAreReadBackByTheSaveItself)
{
    const std::string strPage = "<html>\r\n<head>\r\n<title>Stra\xC3\x9F\x65 \xCE\xB1\xCE\xB2 \xE6\x9D\xB1</title>\r\n"
                                "<meta name=\"Description\" content=\"Another program's text\">\r\n</head>\r\n"
                                "<body>text</body>\r\n</html>\r\n";
    CPageNode* pPage = Page(TempDir() / "read.htm", &strPage);
    CPageNode* pGone = Page(TempDir() / "gone.htm", &strPage);
    // The scan saw older values than the file holds now.
    pPage->SetTitle("Scanned");
    pGone->SetTitle("Scanned");
    MessageSink sink;
    RunSave(sink);
    fs::remove(TempDir() / "gone.htm");

    const auto changed = m_engine.ReadSavedPagesAgain({pPage, pGone});
    ASSERT_EQ(changed.size(), 2u);
    for (CPageNode* p : {pPage, pGone}) {
        EXPECT_EQ(p->GetTitle(), "Stra\xC3\x9F\x65 \xCE\xB1\xCE\xB2 \xE6\x9D\xB1");
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        ASSERT_EQ(p->GetContentList(pList), 0u);
        ASSERT_EQ(pList->FindByName("description", pContent), 0u);
        EXPECT_EQ(pContent->GetContent(), "Another program's text");
        EXPECT_EQ(pContent->GetModified(), 0u);
        // The edit that was saved stays as it was written, no longer marked.
        EXPECT_EQ(KeywordsModified(p), 0u);
    }
    // Handed over once: a second reading goes to the file, and the one that went gives nothing.
    pGone->SetTitle("Scanned");
    EXPECT_TRUE(m_engine.ReadSavedPagesAgain({pGone}).empty());
    EXPECT_EQ(pGone->GetTitle(), "Scanned");
}

TEST_F(SaveTest, APageChangedWhileItIsSavedKeepsTheOtherProgramsVersion)
{
    // Two pages, each changed by the test while the save holds its copy ready to take its place:
    // one in place, one replaced by a rename.
    CPageNode* pInPlace = Page(TempDir() / "inplace.htm");
    CPageNode* pReplaced = Page(TempDir() / "replaced.htm");
    SaveHolder hold(SaveStep::CopyReady);
    MessageSink sink;
    ASSERT_EQ(m_engine.StartSave(m_selection, sink.Handle(), sink.Handle()), 0u);
    ASSERT_EQ(hold.WaitUntilHeld(), "inplace.htm");
    {
        std::ofstream out(TempDir() / "inplace.htm", std::ios::binary | std::ios::app);
        out << "<!-- the other program's line -->";
    }
    hold.Release();
    ASSERT_EQ(hold.WaitUntilHeld(), "replaced.htm");
    WriteFileBytes(TempDir() / "other.tmp", "the other program's page");
    fs::rename(TempDir() / "other.tmp", TempDir() / "replaced.htm");
    hold.Release();
    ASSERT_TRUE(sink.WaitFor(kMsgSaveFinished));

    EXPECT_EQ(ReadFileBytes(TempDir() / "inplace.htm"), kPage + "<!-- the other program's line -->");
    EXPECT_EQ(ReadFileBytes(TempDir() / "replaced.htm"), "the other program's page");
    EXPECT_EQ(KeywordsModified(pInPlace), 1u);
    EXPECT_EQ(KeywordsModified(pReplaced), 1u);
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 0u);
    const std::string strChanged = "Another program changed the page while it was being saved: its version was "
                                   "kept, and the edits are still to be saved.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"INPLACE.HTM : " + strChanged, "REPLACED.HTM : " + strChanged}));
    EXPECT_TRUE(SaveCopiesIn(TempDir()).empty());
    EXPECT_FALSE(fs::exists(TempDir() / "inplace.htm.old"));
    EXPECT_FALSE(fs::exists(TempDir() / "replaced.htm.old"));
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
    strExpected += " : Denied Access: the page is read-only. The page was left as it was.";
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

namespace {

// The parts of a traced call's line: "<thread> <name>(<arguments>) = <result>".
struct TracedCall {
    std::string name;
    std::string arguments;
    long result = -1;
};

TracedCall ParseTracedCall(const std::string& strLine)
{
    TracedCall call;
    const size_t nName = strLine.find_first_not_of(' ', strLine.find(' '));
    const size_t nOpen = strLine.find('(', nName);
    const size_t nResult = strLine.rfind(") = ");
    if (nOpen == std::string::npos || nResult == std::string::npos || nResult < nOpen)
        return call;
    call.name = strLine.substr(nName, nOpen - nName);
    call.arguments = strLine.substr(nOpen + 1, nResult - nOpen - 1);
    call.result = std::strtol(strLine.c_str() + nResult + 4, nullptr, 10);
    return call;
}

// The descriptor number that begins the text ("7</path>" gives 7), or -1.
int LeadingDescriptor(const std::string& strText)
{
    return !strText.empty() && std::isdigit(static_cast<unsigned char>(strText[0])) ? std::atoi(strText.c_str()) : -1;
}

} // namespace

// A save killed at any moment must leave no file under a copy's name without the mark by which
// the next save knows it for a left one: a copy is marked before it is given its name.
TEST_F(SaveTest, ACopyCarriesItsMarkBeforeItBearsItsName)
{
    VOSTREL_REQUIRE(access("/usr/bin/strace", X_OK) == 0 ? "" : "strace (not in /usr/bin)");
    VOSTREL_REQUIRE(MarksMissingIn(TempDir()));
    Page(TempDir() / "one.htm");
    Page(TempDir() / "two.htm");
    SystemCallTrace trace;
    if (!trace.Start("open,openat,creat,link,linkat,rename,renameat,renameat2,fsetxattr", TempDir() / "calls.txt")) {
        VOSTREL_REQUIRE("the right to follow this process with strace");
    }
    MessageSink sink;
    RunSave(sink);
    const std::vector<std::string> calls = trace.Stop();

    const std::string strCopyName = "\"" + TempDir().string() + "/SAV";
    std::map<int, bool> marked; // by descriptor: whether it was marked since it was opened
    int nNamed = 0;
    for (const std::string& strLine : calls) {
        const TracedCall call = ParseTracedCall(strLine);
        const bool bToCopyName = call.arguments.find(strCopyName) != std::string::npos;
        if (call.name == "open" || call.name == "openat" || call.name == "creat") {
            if (call.result >= 0)
                marked[static_cast<int>(call.result)] = false;
            EXPECT_FALSE(bToCopyName && (call.name == "creat" || call.arguments.find("O_CREAT") != std::string::npos))
                << "a copy's name made before its mark: " << strLine;
        } else if (call.name == "fsetxattr") {
            if (call.result == 0 && call.arguments.find("\"user.vostrel.save-copy\"") != std::string::npos)
                marked[LeadingDescriptor(call.arguments)] = true;
        } else if (call.name == "linkat" && bToCopyName && call.result == 0) {
            // The file named: through /proc/self/fd/N, or by its descriptor itself.
            const size_t nSelf = call.arguments.find("\"/proc/self/fd/");
            const int fd = nSelf != std::string::npos ? std::atoi(call.arguments.c_str() + nSelf + 15)
                                                      : LeadingDescriptor(call.arguments);
            EXPECT_TRUE(marked[fd]) << "a copy named before it was marked: " << strLine;
            ++nNamed;
        } else if (call.name != "linkat") {
            // link, rename, renameat, renameat2: the name given is the last path.
            const size_t nClose = call.arguments.rfind('"');
            const size_t nOpenQuote = nClose == std::string::npos || nClose == 0 ? std::string::npos
                                                                                 : call.arguments.rfind('"', nClose - 1);
            EXPECT_FALSE(nOpenQuote != std::string::npos
                         && call.arguments.compare(nOpenQuote, strCopyName.size(), strCopyName) == 0)
                << "a copy's name given another way: " << strLine;
        }
    }
    EXPECT_EQ(nNamed, 2) << "one copy for each page";
    EXPECT_EQ(ReadFileBytes(TempDir() / "one.htm"), kSaved);
    EXPECT_EQ(ReadFileBytes(TempDir() / "two.htm"), kSaved);
    EXPECT_TRUE(SaveCopiesIn(TempDir()).empty());
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

// A save held inside a page (while its copy is written), for a test to look at its copy meanwhile;
// the test lets it go on with Release.
class HeldSave {
public:
    HeldSave(CVostrelAppModel& model, CPageNode* pPage) : m_pHeld(new HeldTagSetting)
    {
        model.GetMetaSettings().AddTail(m_pHeld); // the catalogue owns it
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Held", "h", 1, pContent);
    }
    ~HeldSave() { m_pHeld->Release(); }
    HeldSave(const HeldSave&) = delete;
    HeldSave& operator=(const HeldSave&) = delete;

    // Starts the save and waits until it holds; false when it did not come to the page.
    bool Start(CParserEngine& engine, const CSelNodesCol& pages, MessageSink& sink)
    {
        return engine.StartSave(pages, sink.Handle(), sink.Handle()) == 0 && m_pHeld->WaitUntilEntered();
    }
    void Release() { m_pHeld->Release(); }

private:
    HeldTagSetting* m_pHeld;
};

// Waits until every thread of this process but the caller sleeps. A thread the save started
// may not have taken its first step yet, and the sanitizers' checks of that step need file
// descriptors of their own: a test that takes them all waits for the save's threads first.
bool OtherThreadsSleep()
{
    const std::string self = std::to_string(syscall(SYS_gettid));
    for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < deadline; std::this_thread::yield()) {
        bool bAllSleep = true;
        for (const auto& task : fs::directory_iterator("/proc/self/task")) {
            if (task.path().filename() == self)
                continue;
            std::ifstream stat(task.path() / "stat");
            std::string line;
            std::getline(stat, line);
            // The state follows the name, which ends at the last parenthesis.
            const size_t at = line.rfind(')');
            if (at != std::string::npos && at + 2 < line.size() && line[at + 2] == 'R')
                bAllSleep = false;
        }
        if (bAllSleep)
            return true;
    }
    return false;
}

// Whether the page was written with the held save's tag, and nothing was told.
bool SavedWithHeldTag(const fs::path& page, const MessageSink& sink)
{
    return ReadFileBytes(page).find("<meta name=\"Held\" content=\"h\">") != std::string::npos && sink.Lines().empty();
}

TEST_F(SaveLimitTest, TheCopyOfARunningSaveStaysWhenItsProcessCannotBeLookedAt)
{
    // Another program's sweep runs short of file descriptors while this save writes its copy:
    // whichever of its looks fails, the copy stays, and the save puts it in the page's place.
    auto run = [this] {
        CPageNode* pPage = Page(TempDir() / "held.htm");
        HeldSave held(*m_pModel, pPage);
        MessageSink sink;
        bool bOk = held.Start(m_engine, m_selection, sink);
        const std::vector<std::string> copies = SaveCopiesIn(TempDir());
        bOk = bOk && copies.size() == 1 && OtherThreadsSleep();
        // Every descriptor below kTop is taken; a limit of kTop + n leaves n to the sweep.
        constexpr int kTop = 512;
        std::vector<int> taken;
        for (int fd = open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0; fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) {
            taken.push_back(fd);
            if (fd >= kTop - 1)
                break;
        }
        rlimit saved{};
        getrlimit(RLIMIT_NOFILE, &saved);
        for (rlim_t n = 0; n <= 16 && bOk; ++n) {
            const rlimit limit{kTop + n, saved.rlim_max};
            setrlimit(RLIMIT_NOFILE, &limit);
            CParserEngine::RemoveLeftSaveCopies(TempDir().c_str());
            setrlimit(RLIMIT_NOFILE, &saved);
            bOk = fs::exists(TempDir() / copies[0]);
            if (!bOk)
                std::fprintf(stderr, "the copy was removed with %d descriptors free\n", static_cast<int>(n));
        }
        for (int fd : taken)
            close(fd);
        held.Release();
        bOk = bOk && sink.WaitFor(kMsgSaveFinished) && SavedWithHeldTag(TempDir() / "held.htm", sink)
            && SaveCopiesIn(TempDir()).empty();
        RemoveTempDir();
        std::_Exit(bOk ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(SaveLimitTest, TheCopyOfASaveInAnotherProcessNamespaceStays)
{
    // A program in a container of its own on this machine (its own process ids and /proc, the
    // machine's name) saves a page of a folder it shares with this one, while this one sweeps.
    // Process ids of that namespace mean other processes here.
    const pid_t probe = fork();
    if (probe == 0)
        _exit(unshare(CLONE_NEWPID | CLONE_NEWNS) == 0 ? 0 : 1);
    int nProbe = -1;
    waitpid(probe, &nProbe, 0);
    if (!WIFEXITED(nProbe) || WEXITSTATUS(nProbe) != 0) {
        VOSTREL_REQUIRE("the right to make process and mount namespaces");
    }
    auto run = [this] {
        int toSweeper[2] = {-1, -1};
        int toSaver[2] = {-1, -1};
        if (unshare(CLONE_NEWPID) != 0 || pipe(toSweeper) != 0 || pipe(toSaver) != 0)
            std::_Exit(2);
        CPageNode* pPage = Page(TempDir() / "held.htm");
        HeldSave held(*m_pModel, pPage);
        const pid_t saver = fork();
        if (saver == 0) {
            // The first process of the new namespace, with a /proc of its own, as a container's.
            bool bOk = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
                && mount("proc", "/proc", "proc", 0, nullptr) == 0 && getpid() == 1;
            MessageSink sink;
            bOk = bOk && held.Start(m_engine, m_selection, sink);
            char ch = bOk ? 'h' : 'f';
            bOk = write(toSweeper[1], &ch, 1) == 1 && read(toSaver[0], &ch, 1) == 1 && bOk;
            held.Release();
            bOk = bOk && sink.WaitFor(kMsgSaveFinished) && SavedWithHeldTag(TempDir() / "held.htm", sink);
            std::_Exit(bOk ? 0 : 1);
        }
        char ch = 0;
        bool bOk = saver > 0 && read(toSweeper[0], &ch, 1) == 1 && ch == 'h';
        const std::vector<std::string> copies = SaveCopiesIn(TempDir());
        const UINT nRemoved = CParserEngine::RemoveLeftSaveCopies(TempDir().c_str());
        bOk = bOk && copies.size() == 1 && nRemoved == 0 && fs::exists(TempDir() / copies[0]);
        ch = 'g';
        bOk = write(toSaver[1], &ch, 1) == 1 && bOk;
        int nStatus = -1;
        waitpid(saver, &nStatus, 0);
        bOk = bOk && WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0 && SaveCopiesIn(TempDir()).empty();
        RemoveTempDir();
        std::_Exit(bOk ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

// A site of twelve pages of 2 MB for a save killed in a child process. The parent makes it and
// names it in the environment, where the child, which runs the test again from its start, finds
// it; bMade tells the parent.
fs::path SiteForAKilledSave(const fs::path& scratch, bool& bMade)
{
    const char* pszSite = std::getenv("VOSTREL_TEST_KILLED_SAVE_SITE");
    bMade = pszSite == nullptr;
    if (!bMade)
        return fs::path(pszSite);
    const fs::path site = scratch / "site";
    fs::create_directories(site);
    const std::string strBig = BigPage(2 << 20);
    for (int i = 0; i < 12; ++i)
        WriteFileBytes(site / ("page" + std::to_string(i) + ".htm"), strBig);
    setenv("VOSTREL_TEST_KILLED_SAVE_SITE", site.c_str(), 1);
    return site;
}

// Starts a save of the site's pages and kills this process, as kill -9 does, when the save comes
// to the step in the nth page (from 1) that comes to it. Runs in a child process.
[[noreturn]] void KillASave(const fs::path& site, SaveStep step, size_t nPage)
{
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    CSelNodesCol pages;
    for (const auto& entry : fs::directory_iterator(site)) {
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(entry.path().filename().c_str());
        pPage->SetFolder(site.c_str());
        NoteFileAsScanned(*pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent("Keywords", "k", 1, pContent);
        pages.AddTail(pPage.get());
        root.AddChild(pPage.release());
    }
    static SaveStep s_step;
    static size_t s_nPage;
    s_step = step;
    s_nPage = nPage;
    SetSaveHoldHook([](SaveStep at, const CPageNode& page, ULONGLONG) {
        static const CPageNode* s_pLast = nullptr;
        static size_t s_nSeen = 0;
        if (at != s_step || &page == s_pLast)
            return;
        s_pLast = &page;
        if (++s_nSeen == s_nPage)
            raise(SIGKILL);
    });
    MessageSink sink;
    CParserEngine engine;
    if (engine.StartSave(pages, sink.Handle(), sink.Handle()) != 0)
        std::_Exit(3);
    sink.WaitFor(kMsgSaveFinished);
    std::_Exit(4);
}

} // namespace

TEST_F(SaveTest, CopiesAKilledSaveLeftAreRemovedByTheNextAndNoOtherFileIs)
{
    VOSTREL_REQUIRE(MarksMissingIn(TempDir()));
    // Killed while it wrote the fifth page's copy, four copies written.
    bool bMade = false;
    const fs::path site = SiteForAKilledSave(TempDir(), bMade);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(KillASave(site, SaveStep::PagePiece, 5), ::testing::KilledBySignal(SIGKILL), "");
    unsetenv("VOSTREL_TEST_KILLED_SAVE_SITE");
    std::vector<std::string> left = SaveCopiesIn(site);
    // Killed while it wrote its copies, the save left them; the pages are as they were.
    ASSERT_EQ(left.size(), 5u) << "the killed save did not leave the copies it had made";
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

TEST_F(SaveTest, ASaveKilledBeforeItReplacedThePagesLeavesNoBackupThatIsThePageItself)
{
    // The save gives every old page its backup name, then is killed before it puts any new
    // page in place: each backup name still names the page itself.
    VOSTREL_REQUIRE(MarksMissingIn(TempDir()));
    bool bMade = false;
    const fs::path site = SiteForAKilledSave(TempDir(), bMade);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(KillASave(site, SaveStep::CopyReady, 1), ::testing::KilledBySignal(SIGKILL), "");
    unsetenv("VOSTREL_TEST_KILLED_SAVE_SITE");
    const std::string strOld = BigPage(2 << 20);
    std::vector<CPageNode*> pages;
    for (int i = 0; i < 12; ++i) {
        const fs::path page = site / ("page" + std::to_string(i) + ".htm");
        ASSERT_TRUE(fs::equivalent(page, page.string() + ".old")) << "the save was killed after it replaced " << page;
        pages.push_back(Page(page, nullptr));
    }

    // The next save takes those names back before it makes its own backups, and does not take
    // them for other names of the pages.
    MessageSink sink;
    RunSave(sink);
    for (const std::string& strLine : sink.Lines())
        EXPECT_EQ(strLine.find("hard links"), std::string::npos) << strLine;
    for (int i = 0; i < 12; ++i) {
        const fs::path page = site / ("page" + std::to_string(i) + ".htm");
        SCOPED_TRACE(page.string());
        EXPECT_EQ(KeywordsModified(pages[static_cast<size_t>(i)]), 0u);
        EXPECT_EQ(fs::hard_link_count(page), 1u);
        EXPECT_EQ(ReadFileBytes(page.string() + ".old"), strOld);
        EXPECT_EQ(fs::hard_link_count(page.string() + ".old"), 1u);
        EXPECT_FALSE(fs::exists(page.string() + ".old2"));
    }
    EXPECT_TRUE(SaveCopiesIn(site).empty());
}

TEST_F(SaveTest, ThePagesOwnBackupNamesAreNotToldAsOtherNames)
{
    // A backup name that names the page itself, as a save left it on a file system without
    // marks, is no other name of the user's.
    CPageNode* pPage = Page(TempDir() / "page.htm");
    fs::create_hard_link(TempDir() / "page.htm", TempDir() / "page.htm.old2");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(KeywordsModified(pPage), 0u);
    EXPECT_TRUE(sink.Lines().empty()) << sink.Lines().front();
    EXPECT_EQ(ReadFileBytes(TempDir() / "page.htm.old"), kPage);
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

    // The page of a path within the site (its folders made as nodes on the way), as a scan read
    // it, with the Keywords value edited to the text; the file itself is the test's business.
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
        pPage->SetScanState(0);
        pPage->SetName(relative.filename().c_str());
        pPage->SetFolder(folder.c_str());
        pPage->SetParent(pParent);
        NoteFileAsScanned(*pPage);
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
        EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"EMPTY.HTM : The page is empty: its file holds nothing, so there is no HTML "
                                                          "to write the tags into.",
                                                          "BINARY.HTM : The file holds binary data, not the text of an "
                                                          "HTML page.",
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

// Pages a stopped scan did not come to, and pages it could not read, handed to a save with edits
// that reached them: the save leaves them byte for byte as they are, makes no backup of them,
// and says why; the page the scan read is saved beside them.
TEST_F(SiteSaveTest, PagesTheScanDidNotReadAreNeverWritten)
{
    const std::string strWide("\xFF\xFE<\0h\0t\0m\0l\0>\0", 14);
    WriteFileBytes(m_site / "read.htm", kPage);
    WriteFileBytes(m_site / "notread.htm", kPage);
    WriteFileBytes(m_site / "wide.htm", strWide);
    CPageNode* pRead = SitePage("read.htm", "new");
    CPageNode* pNotRead = SitePage("notread.htm", "new");
    CPageNode* pWide = SitePage("wide.htm", "new");
    pNotRead->SetScanState(1);
    pNotRead->SetTitleModified(1);
    pWide->SetReadFailure("The page is written in UTF-16, a charset this program does not write: it is left as it is.");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    for (const char* name : {"notread.htm", "wide.htm"})
        fs::last_write_time(m_site / name, old);

    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(m_site / "read.htm"), Saved("new"));
    EXPECT_EQ(ReadFileBytes(m_site / "notread.htm"), kPage);
    EXPECT_EQ(ReadFileBytes(m_site / "wide.htm"), strWide);
    for (const char* name : {"notread.htm", "wide.htm"})
        EXPECT_EQ(fs::last_write_time(m_site / name), old) << name;
    EXPECT_EQ(BackupsIn(m_site), std::vector<std::string>{"read.htm.old"});
    EXPECT_TRUE(SaveCopiesIn(m_site).empty());
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 1u);
    EXPECT_EQ(sink.Lines(),
              (std::vector<std::string>{
                  "NOTREAD.HTM : Not saved: the scan did not read the page, so its tags are not known. Start Scan "
                  "reads it.",
                  "WIDE.HTM : Not saved: the page could not be read when it was scanned, so its tags are not known. "
                  "Scan it again first."}));
    EXPECT_EQ(KeywordsModified(pRead), 0u);
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
                                "LOCKED/INDEX.HTM : Denied Access: the page is read-only. The page was left as it "
                                "was.",
                                "SHUT/INDEX.HTM : Not saved: the folder '" + (m_site / "shut").string()
                                    + "' may not be written, so neither the new page nor the old page's backup can "
                                      "be made there. The page was left as it was."}));
    EXPECT_TRUE(BackupsIn(m_site / "shut").empty());
}

// A save of many pages in several folders waits for the disk once for a batch of pages, not
// once per page: every page's copy is on the disk after the old page's backup was made and
// before the copy takes the page's name. A page and a folder that may not be written fail alone
// in the midst of their batches, and the pages saved before a stop have their new names flushed.
TEST_F(SiteSaveTest, ManyPagesWaitForTheDiskTogetherAndEachFailsAlone)
{
    VOSTREL_REQUIRE(access("/usr/bin/strace", X_OK) == 0 ? "" : "strace (not in /usr/bin)");
    constexpr int kFolders = 4, kPerFolder = 40;
    std::vector<std::string> names;
    std::vector<CPageNode*> pages;
    for (int f = 0; f < kFolders; ++f) {
        fs::create_directories(m_site / ("f" + std::to_string(f)));
        for (int p = 0; p < kPerFolder; ++p) {
            names.push_back("f" + std::to_string(f) + "/p" + std::to_string(p) + ".htm");
            WriteFileBytes(m_site / names.back(), kPage);
            pages.push_back(SitePage(names.back(), "k"));
        }
    }
    chmod((m_site / "f0" / "p30.htm").c_str(), 0444);
    chmod((m_site / "f2").c_str(), 0555);
    // The stop comes while the save writes a page of its third batch.
    HeldSave held(*m_pModel, pages[140]);
    SystemCallTrace trace;
    if (!trace.Start("fsync,fdatasync,syncfs,link,linkat,rename,renameat,renameat2", TempDir() / "calls.txt")) {
        VOSTREL_REQUIRE("the right to follow this process with strace");
    }
    MessageSink sink;
    {
        FilePermissionsHold asAnyUser;
        ASSERT_TRUE(held.Start(m_engine, m_selection, sink));
    }
    m_engine.StopSave();
    held.Release();
    ASSERT_TRUE(sink.WaitFor(kMsgSaveStopped));
    const std::vector<std::string> calls = trace.Stop();
    chmod((m_site / "f2").c_str(), 0755);

    // Where each saved page's backup was made and its copy took its name, and the flushes.
    std::map<std::string, size_t> backedUp, replaced;
    std::vector<size_t> flushes;
    for (size_t i = 0; i < calls.size(); ++i) {
        const TracedCall call = ParseTracedCall(calls[i]);
        const size_t nClose = call.arguments.rfind('"');
        const size_t nOpen = nClose == std::string::npos || nClose == 0 ? nClose : call.arguments.rfind('"', nClose - 1);
        const std::string strTo = nOpen == std::string::npos ? "" : call.arguments.substr(nOpen + 1, nClose - nOpen - 1);
        if (call.result != 0)
            continue;
        if (call.name.find("sync") != std::string::npos)
            flushes.push_back(i);
        else if (call.name.rfind("link", 0) == 0)
            backedUp[strTo] = i;
        else if (call.arguments.find("/SAV") != std::string::npos)
            replaced[strTo] = i;
    }
    // Far fewer waits than pages, each page's copy flushed between its backup and its rename,
    // and the last new name flushed too.
    EXPECT_LT(flushes.size(), pages.size() / 10);
    size_t nSaved = 0;
    std::vector<std::string> expected;
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::string strPage = (m_site / names[i]).string();
        const bool bFailed = names[i] == "f0/p30.htm" || names[i].rfind("f2/", 0) == 0;
        if (bFailed) {
            std::string strUpper = names[i];
            std::transform(strUpper.begin(), strUpper.end(), strUpper.begin(), ::toupper);
            expected.push_back(strUpper + (names[i] == "f0/p30.htm" ? " : Denied Access: the page is read-only. The page "
                                                                      "was left as it was." :
                " : Not saved: the folder '" + (m_site / "f2").string() + "' may not be written, so neither the new "
                "page nor the old page's backup can be made there. The page was left as it was."));
        }
        if (bFailed || i > 128) {
            EXPECT_EQ(ReadFileBytes(strPage), kPage);
            EXPECT_FALSE(fs::exists(strPage + ".old"));
            EXPECT_EQ(KeywordsModified(pages[i]), 1u);
            continue;
        }
        ++nSaved;
        EXPECT_EQ(ReadFileBytes(strPage), Saved("k"));
        EXPECT_EQ(ReadFileBytes(strPage + ".old"), kPage);
        EXPECT_EQ(KeywordsModified(pages[i]), 0u);
        ASSERT_TRUE(backedUp.count(strPage + ".old") && replaced.count(strPage));
        EXPECT_NE(std::find_if(flushes.begin(), flushes.end(),
                               [&](size_t n) { return n > backedUp[strPage + ".old"] && n < replaced[strPage]; }),
                  flushes.end());
        EXPECT_TRUE(!flushes.empty() && flushes.back() > replaced[strPage]);
    }
    EXPECT_EQ(sink.Count(kMsgSavePageDone), nSaved);
    EXPECT_EQ(sink.Lines(), expected);
    EXPECT_FALSE(sink.Has(kMsgSaveFinished));
    for (int f = 0; f < kFolders; ++f)
        EXPECT_TRUE(SaveCopiesIn(m_site / ("f" + std::to_string(f))).empty());
}

namespace {

// Sets or clears the file system's immutable mark of a file (chattr +i, -i); false when the
// file system or the process's rights do not allow it.
bool SetImmutable(const fs::path& file, bool bImmutable)
{
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int nFlags = 0;
    bool bDone = fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &nFlags) == 0;
    nFlags = bImmutable ? (nFlags | FS_IMMUTABLE_FL) : (nFlags & ~FS_IMMUTABLE_FL);
    bDone = bDone && ioctl(fd, FS_IOC_SETFLAGS, &nFlags) == 0;
    if (fd >= 0)
        close(fd);
    return bDone;
}

} // namespace

// One page of a folder may not be changed, although the folder may: the others are saved, and
// the line names that page with its own cause, not the folder.
TEST_F(SiteSaveTest, APageMarkedImmutableIsToldWithItsOwnCauseWhileItsFolderIsSaved)
{
    fs::create_directories(m_site / "en-US");
    const fs::path locked = m_site / "en-US" / "locked.htm";
    for (const char* name : {"a.htm", "locked.htm", "z.htm"})
        WriteFileBytes(m_site / "en-US" / name, kPage);
    if (!SetImmutable(locked, true)) {
        VOSTREL_REQUIRE("the right to mark a file immutable (chattr +i) on the file system of " + m_site.string());
    }
    struct Unlock {
        fs::path file;
        ~Unlock() { SetImmutable(file, false); }
    } unlock{locked};
    CPageNode* pLocked = SitePage("en-US/locked.htm", "k");
    // The backup that is a second name, and the deleting scheme's replace, are refused alike.
    for (const UINT nScheme : {CProjectSettings::kBackupFile, CProjectSettings::kBackupDelete}) {
        SCOPED_TRACE(nScheme);
        m_pSettings->m_nBackupScheme = nScheme;
        m_selection.RemoveAll();
        m_selection.AddTail(pLocked);
        // Values the pages do not hold yet, so that each scheme writes them.
        const std::string a = "a" + std::to_string(nScheme), z = "z" + std::to_string(nScheme);
        CPageNode* pA = SitePage("en-US/a.htm", a.c_str());
        CPageNode* pZ = SitePage("en-US/z.htm", z.c_str());
        MessageSink sink;
        RunSave(sink);
        EXPECT_EQ(ReadFileBytes(m_site / "en-US" / "a.htm"), Saved(a.c_str()));
        EXPECT_EQ(ReadFileBytes(m_site / "en-US" / "z.htm"), Saved(z.c_str()));
        EXPECT_EQ(KeywordsModified(pA), 0u);
        EXPECT_EQ(KeywordsModified(pZ), 0u);
        EXPECT_EQ(ReadFileBytes(locked), kPage);
        EXPECT_EQ(KeywordsModified(pLocked), 1u);
        EXPECT_EQ(sink.Lines(), std::vector<std::string>{
                                    "EN-US/LOCKED.HTM : Not saved: the page is marked unchangeable (immutable) in the "
                                    "file system, so it can be neither replaced nor backed up. The page was left as it "
                                    "was."});
        EXPECT_FALSE(fs::exists(locked.string() + ".old"));
        EXPECT_TRUE(SaveCopiesIn(m_site / "en-US").empty());
    }
}

// The reference pages carry their keywords two or three times; the edited value goes into the
// first, the others are taken out, and the report names each page with how many went.
TEST_F(SiteSaveTest, RepeatedTagsTakenOutAreToldForEachPageWithHowMany)
{
    fs::create_directories(m_site / "ref");
    const std::string strKeywords = "<meta name=\"keywords\" content=\"old\">\r\n";
    const std::string strAuthor = "<meta name=\"author\" content=\"me\">\r\n";
    auto page = [](const std::string& strTags) {
        return "<html>\r\n<head>\r\n<title>T</title>\r\n" + strTags + "</head>\r\n<body>text</body>\r\n</html>\r\n";
    };
    WriteFileBytes(m_site / "ref" / "a.htm", page(strKeywords + strAuthor + strAuthor + strKeywords));
    WriteFileBytes(m_site / "ref" / "b.htm", page(strKeywords + strKeywords + strKeywords));
    WriteFileBytes(m_site / "ref" / "c.htm", page(strKeywords));
    for (const char* name : {"ref/a.htm", "ref/b.htm", "ref/c.htm"})
        SitePage(name, "new");
    MessageSink sink;
    RunSave(sink);
    const std::string strNew = "<meta name=\"keywords\" content=\"new\">\r\n";
    // The tags of a name not edited stay as they were, repeated or not.
    EXPECT_EQ(ReadFileBytes(m_site / "ref" / "a.htm"), page(strNew + strAuthor + strAuthor));
    EXPECT_EQ(ReadFileBytes(m_site / "ref" / "b.htm"), page(strNew));
    EXPECT_EQ(ReadFileBytes(m_site / "ref" / "c.htm"), page(strNew));
    EXPECT_EQ(sink.Count(kMsgSavePageDone), 3u);
    const std::string strRule = ": a page keeps one tag of a name, the first, which holds the value.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
                                "REF/A.HTM : Saved with 1 repeated META tag taken out (\"keywords\": 1)" + strRule,
                                "REF/B.HTM : Saved with 2 repeated META tags taken out (\"keywords\": 2)" + strRule}));
}

// A setting deleted from the catalogue (or renamed) after its values were edited takes nothing
// out of the pages: every tag of its name stays byte for byte, in a page with one of them and in
// one that repeats it, while the page's other edits are written. The user is told of the edits
// that were not written; a page whose only edit was such is left alone, without a backup.
TEST_F(SiteSaveTest, AnEditOfASettingNoLongerInTheCatalogueLeavesItsTagsAsTheyAre)
{
    const std::string single = "<html><head><meta charset=\"utf-8\"><title>Eins &mdash; \xCE\xB1\xCE\xB2</title>"
                               "<meta name=\"description\" content=\"only one\"><script>var a = \"<meta>\";</script>"
                               "</head><body>b</body></html>\n";
    const std::string dup = "<html>\r\n<head>\r\n<title>T</title>\r\n"
                            "<meta name=\"description\" content=\"first\">\r\n"
                            "<meta name=\"keywords\" content=\"old\">\r\n"
                            "  <META NAME=\"Description\" CONTENT=\"second\">\r\n"
                            "<meta name=\"author\" content=\"me\">\r\n</head>\r\n<body>text</body>\r\n</html>\r\n";
    WriteFileBytes(m_site / "singleB.html", single);
    WriteFileBytes(m_site / "dupA.html", dup);
    CPageNode* pSingle = SitePage("singleB.html", "unused");
    CPageNode* pDup = SitePage("dupA.html", "new");
    const auto edit = [](CPageNode* pPage, const char* pszName, const char* pszText) {
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        CMetaContent* pContent = nullptr;
        pList->AddContent(pszName, pszText, 1, pContent);
        return pContent;
    };
    const auto keywords = [](CPageNode* pPage) {
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        return pList->GetHead();
    };
    // The single page's only edit is its description.
    keywords(pSingle)->SetModified(0);
    CMetaContent* pSingleDescription = edit(pSingle, "Description", "only edited \xC3\xA9\xC3\x9F");
    CMetaContent* pDupDescription = edit(pDup, "Description", "first edited \xE6\x9D\xB1");
    CMetaContent* pDupAuthor = edit(pDup, "Author", "\xCE\xA9 you");
    // Description deleted, Author renamed.
    CMetaSettingList& catalogue = m_pModel->GetMetaSettings();
    CMetaSetting* pSetting = nullptr;
    ASSERT_EQ(catalogue.FindByName("Description", pSetting), 0u);
    ASSERT_EQ(catalogue.RemoveSetting(pSetting), 0u);
    delete pSetting;
    ASSERT_EQ(catalogue.FindByName("Author", pSetting), 0u);
    pSetting->SetName("Writer");

    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(m_site / "singleB.html"), single);
    EXPECT_FALSE(fs::exists(m_site / "singleB.html.old")) << "a page left as it was got a backup";
    std::string saved = dup;
    saved.replace(saved.find("\"old\""), 5, "\"new\"");
    EXPECT_EQ(ReadFileBytes(m_site / "dupA.html"), saved);
    EXPECT_EQ(ReadFileBytes(m_site / "dupA.html.old"), dup);
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
        "SINGLEB.HTML : Not written: the edit of \"Description\", as the metatag settings no longer hold a metatag of "
        "that name. The page keeps its tags of that name as they were.",
        "DUPA.HTML : Not written: the edits of \"Description\", \"Author\", as the metatag settings no longer hold "
        "metatags of those names. The page keeps its tags of those names as they were."}));
    // No later save tries those edits again.
    for (const CMetaContent* pContent : {pSingleDescription, pDupDescription, pDupAuthor})
        EXPECT_EQ(pContent->GetModified(), 0u) << pContent->GetName().GetString();
    EXPECT_EQ(keywords(pDup)->GetModified(), 0u);
}

// A Content-Type given a charset no converter knows is refused for that page, which keeps its
// text and its edits; a page given a charset the program writes is saved in it.
TEST_F(SaveTest, APageGivenACharsetTheProgramCannotWriteIsNotSaved)
{
    const std::string strLatin = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
                                 "<title>Caf\xE9</title></head><body>\xE9</body></html>\n";
    CPageNode* pRefused = Page(TempDir() / "refused.htm", &strLatin);
    EditContentType(pRefused, "text/html; charset=X-Nosuch");
    CPageNode* pSaved = Page(TempDir() / "saved.htm", &strLatin);
    EditContentType(pSaved, "text/html; charset=utf-8");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "refused.htm"), strLatin);
    EXPECT_EQ(KeywordsModified(pRefused), 1u);
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{
        "REFUSED.HTM : Not saved: its Content-Type declares the charset \"X-Nosuch\", which this program cannot write "
        "the page in. The page was left as it was, and its edits are kept."}));
    EXPECT_EQ(ReadFileBytes(TempDir() / "saved.htm"),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
              "<title>Caf\xC3\xA9</title>\n<meta name=\"Keywords\" content=\"k\">\n</head><body>\xC3\xA9</body></html>\n");
    EXPECT_EQ(KeywordsModified(pSaved), 0u);
}

// Pages declaring "<meta charset=utf-8>" whose Content-Type is given "UTF-8": their edit changes no
// byte of them, and nothing is written: no backup, the same file, told as holding its edits
// already, not as written; their edits count as saved. A page whose edit changes it is written.
TEST_F(SaveTest, AnEditThatChangesNoByteOfThePageWritesNothing)
{
    const std::string page = "<!DOCTYPE html>\n<html><head>\n<meta charset=\"utf-8\">\n<title>Gr\xC3\xB6\xC3\x9F" "e</title>\n"
                             "</head><body><p>Gr\xC3\xB6\xC3\x9F" "e der Partition</p></body></html>\n";
    std::vector<CPageNode*> same;
    std::vector<struct stat> before;
    for (const char* pszName : {"a.htm", "b.htm", "c.htm"}) {
        CPageNode* pPage = Page(TempDir() / pszName, &page);
        CMetaContentList* pList = nullptr;
        pPage->GetContentList(pList);
        pList->GetHead()->SetModified(0);
        EditContentType(pPage, "text/html; charset=UTF-8");
        same.push_back(pPage);
        struct stat info {};
        ASSERT_EQ(::stat((TempDir() / pszName).c_str(), &info), 0);
        before.push_back(info);
    }
    Page(TempDir() / "d.htm", &page);
    MessageSink sink;
    RunSave(sink);
    for (size_t i = 0; i < same.size(); ++i) {
        const fs::path path = TempDir() / same[i]->GetName().GetString();
        SCOPED_TRACE(path.string());
        EXPECT_EQ(ReadFileBytes(path), page);
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before[i].st_ino);
        EXPECT_EQ(after.st_mtim.tv_nsec, before[i].st_mtim.tv_nsec);
        EXPECT_FALSE(fs::exists(path.string() + ".old"));
        CMetaContentList* pList = nullptr;
        same[i]->GetContentList(pList);
        EXPECT_EQ(pList->GetTail()->GetModified(), 0u);
    }
    EXPECT_NE(ReadFileBytes(TempDir() / "d.htm"), page);
    EXPECT_TRUE(fs::exists(TempDir() / "d.htm.old"));
    size_t nUnchanged = 0, nWritten = 0;
    for (const PostedMessage& message : sink.messages) {
        if (message.message == kMsgSavePageDone)
            (message.wParam == kSavedUnchanged ? nUnchanged : nWritten) += 1;
    }
    EXPECT_EQ(nUnchanged, 3u);
    EXPECT_EQ(nWritten, 1u);
    const std::string told = "Nothing to write: the page holds its edits already, byte for byte. It was left as it "
                             "was, without a backup.";
    EXPECT_EQ(sink.Lines(), (std::vector<std::string>{"A.HTM : " + told, "B.HTM : " + told, "C.HTM : " + told}));
}

// A page is judged by all of its bytes, however large: a UTF-8 page labelled ISO-8859-1 whose first
// character beyond ASCII comes after 17 MB keeps its bytes under the new label, not encoded twice,
// and a Latin-1 one is converted.
TEST_F(SaveTest, APageOverSixteenMegabytesIsJudgedByAllOfItsBytes)
{
    const std::string head = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">\n"
                             "<title>Log</title>\n";
    std::string rest = "</head><body>\n";
    while (rest.size() < (17u << 20))
        rest += "<p>2024-05-01 12:00:00 GET /index.html 200 5120</p>\n";
    const struct {
        const char* pszName;
        std::string tail, written;
    } pages[] = {
        {"utf8.htm", "<p>Caf\xC3\xA9 \xE2\x82\xAC</p></body></html>\n", "<p>Caf\xC3\xA9 \xE2\x82\xAC</p></body></html>\n"},
        {"latin.htm", "<p>Caf\xE9</p></body></html>\n", "<p>Caf\xC3\xA9</p></body></html>\n"},
    };
    for (const auto& page : pages) {
        const std::string text = head + rest + page.tail;
        EditContentType(Page(TempDir() / page.pszName, &text), "text/html; charset=UTF-8");
    }
    MessageSink sink;
    RunSave(sink);
    EXPECT_TRUE(sink.Lines().empty()) << sink.Lines().front();
    const std::string newHead = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
                                "<title>Log</title>\n<meta name=\"Keywords\" content=\"k\">\n";
    for (const auto& page : pages) {
        const std::string saved = ReadFileBytes(TempDir() / page.pszName);
        EXPECT_TRUE(saved == newHead + rest + page.written) << page.pszName << ": " << saved.substr(saved.size() - 40);
    }
}

// A page whose only declaration is taken out is read back in the charset it was saved in, which
// its bytes are still in, not by the guess a scan would make: its title stays as it was, and no
// change of another program's is found.
TEST_F(SaveTest, APageWhoseDeclarationIsTakenOutIsReadBackInItsCharset)
{
    const std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
                             "<title>\xCF\xF0\xE8\xE2\xE5\xF2</title>\n</head><body>\xEC\xE8\xF0</body></html>\n";
    CPageNode* pPage = Page(TempDir() / "ru.htm", &page);
    pPage->SetTitle("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EditContentType(pPage, "");
    MessageSink sink;
    RunSave(sink);
    EXPECT_EQ(ReadFileBytes(TempDir() / "ru.htm"), "<html><head>\n<title>\xCF\xF0\xE8\xE2\xE5\xF2</title>\n"
                                                   "<meta name=\"Keywords\" content=\"k\">\n</head><body>\xEC\xE8\xF0</body></html>\n");
    EXPECT_TRUE(m_engine.ReadSavedPagesAgain({pPage}).empty());
    EXPECT_EQ(pPage->GetTitle(), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
}
