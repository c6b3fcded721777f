#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/ITaskManager.h"
#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LPCTSTR TestStrings(UINT nID)
{
    switch (nID) {
    case 914: return "302 -> %1";
    case 915: return "301 -> %1";
    case 927: return "300 -> %1";
    case 63012: return "%s";
    case 700: return "Problem %1 (%2)";
    default: return nullptr;
    }
}

// Installs the test string table for one test and puts the previous one back.
class StringTableScope {
public:
    StringTableScope() : m_previous(AfxSetStringResourceHook(TestStrings)) {}
    ~StringTableScope() { AfxSetStringResourceHook(m_previous); }

private:
    AFX_STRING_RESOURCE_HOOK m_previous;
};

// Keeps the interface's defaults of OnRedirect and ReportResult and records what reaches the
// rest.
class RecordingTaskManager : public ITaskManager {
public:
    std::vector<std::string> m_calls;

    void OnLinkFound(DWORD_PTR page, LPCSTR url, LPCSTR desc, int kind, DWORD flags, int w, int h) override
    {
        m_calls.push_back("link " + std::to_string(page) + " " + url + " | " + desc + " | " + std::to_string(kind) + " "
            + std::to_string(flags) + " " + std::to_string(w) + " " + std::to_string(h));
    }
    void OnTitle(DWORD_PTR, LPCSTR) override {}
    void OnAnchor(DWORD_PTR, LPCSTR) override {}
    void OnAuthor(DWORD_PTR, LPCSTR) override {}
    void OnDescription(DWORD_PTR, LPCSTR) override {}
    void OnOtherMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnAuthenticationRequired(DWORD_PTR, LPCSTR) override {}
    void OnBaseUrl(DWORD_PTR, LPCSTR) override {}
    void OnExtraLink(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnLastModified(DWORD_PTR, LONG) override {}
    void OnContentType(DWORD_PTR, LPCSTR) override {}
    void OnContentLength(DWORD_PTR, DWORD) override {}
    void OnKeyword(DWORD_PTR, LPCSTR, int) override {}
    void OnNamedMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnHttpEquivMeta(DWORD_PTR, LPCSTR, LPCSTR) override {}
    void OnTaskDone(DWORD_PTR) override {}
    void ReportText(DWORD_PTR page, DWORD dwClass, LPCSTR text, DWORD code) override
    {
        char szCode[16];
        snprintf(szCode, sizeof szCode, "%08x", code);
        m_calls.push_back("text " + std::to_string(page) + " " + std::to_string(dwClass) + " " + szCode + " " + text);
    }
};

using Lines = std::vector<std::string>;

TEST(TaskManagerTest, ARedirectIsReportedAsAResultAndALink)
{
    StringTableScope strings;
    RecordingTaskManager sink;
    sink.OnRedirect(7, 301, "http://h/new", LINK_KIND_IMAGE);
    EXPECT_EQ(sink.m_calls,
        Lines({"text 7 3 8400000f 301 -> http://h/new", "link 7 http://h/new | (301 Redirect) | 2 1024 -1 -1"}));

    sink.m_calls.clear();
    sink.OnRedirect(7, 300, "a", 1);
    sink.OnRedirect(7, 302, "b", 1);
    EXPECT_EQ(sink.m_calls[0], "text 7 3 8400001b 300 -> a");
    EXPECT_EQ(sink.m_calls[2], "text 7 3 8400000e 302 -> b");
}

TEST(TaskManagerTest, AnOtherRedirectStatusPassesItsTextThrough)
{
    StringTableScope strings;
    RecordingTaskManager sink;
    sink.OnRedirect(1, 303, "http://h/x", 0);
    EXPECT_EQ(sink.m_calls, Lines({"text 1 3 8000001e 303 -> http://h/x", "link 1 http://h/x | (303 Redirect) | 0 1024 -1 -1"}));
}

TEST(TaskManagerTest, ReportResultFormatsTheStringTableEntry)
{
    StringTableScope strings;
    RecordingTaskManager sink;
    sink.ReportResult(2, 0x3000000, 0x80000000, 0, "as it is %1", 5);
    sink.ReportResult(2, 0x3000000, 0x80000000, 700, "x", 12007);
    sink.ReportResult(2, 0x3000000, 0x80000000, 700, nullptr, 0);
    EXPECT_EQ(sink.m_calls, Lines({"text 2 50331648 80000000 as it is %1", "text 2 50331648 80000000 Problem x (12007)",
                                "text 2 50331648 80000000 Problem %1 (%2)"}));
}

// Overrides only ReportResult, as the scan engine does: ReportText then ends there too.
class SilentTaskManager : public RecordingTaskManager {
public:
    int m_nResults = 0;
    void ReportText(DWORD_PTR page, DWORD dwClass, LPCSTR text, DWORD code) override
    {
        ITaskManager::ReportText(page, dwClass, text, code);
    }
    void ReportResult(DWORD_PTR, DWORD, DWORD, UINT, LPCSTR, DWORD_PTR) override { ++m_nResults; }
};

TEST(TaskManagerTest, AnEmptyReportResultSilencesTextsAndRedirectResults)
{
    StringTableScope strings;
    SilentTaskManager sink;
    sink.ReportText(1, 3, "x", 0x80000001);
    sink.OnRedirect(1, 302, "u", 1);
    EXPECT_EQ(sink.m_nResults, 2);
    EXPECT_EQ(sink.m_calls, Lines({"link 1 u | (302 Redirect) | 1 1024 -1 -1"}));
}

} // namespace

namespace {

// Overrides neither ReportText nor ReportResult: the two defaults must not pass a text between
// them for ever.
class DefaultsOnlyTaskManager : public RecordingTaskManager {
public:
    void ReportText(DWORD_PTR page, DWORD dwClass, LPCSTR text, DWORD code) override
    {
        ++m_nTexts;
        ITaskManager::ReportText(page, dwClass, text, code);
    }
    int m_nTexts = 0;
};

TEST(TaskManagerTest, ASinkWithNeitherReportOverriddenEndsTheText)
{
    StringTableScope strings;
    DefaultsOnlyTaskManager sink;
    sink.ReportText(1, 3, "x", 0x80000001);
    sink.ReportResult(1, 3, 0x8400000e, 914, "http://h/", 302);
    sink.OnRedirect(1, 301, "u", 1);
    // Each of the three reaches ReportText twice (the second time from the default
    // ReportResult's pass-through), and there it stops.
    EXPECT_EQ(sink.m_nTexts, 6);
    EXPECT_EQ(sink.m_calls, Lines({"link 1 u | (301 Redirect) | 1 1024 -1 -1"}));
}

} // namespace
