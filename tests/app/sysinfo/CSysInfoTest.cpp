// The system information report: its lines from fixed facts (sizes, the item list,
// missing facts and libraries), from this machine, and Help > System Info... showing it.
#include "tests/app/VostrelAppFixture.h"

#include "app/sysinfo/CLinuxSysInfoSource.h"
#include "app/sysinfo/CSysInfo.h"
#include "app/sysinfo/CSysInfoDlg.h"
#include "app/res/AppRes.h"
#include "platform/core/CPtrList.h"

#include <gnu/libc-version.h>
#include <unistd.h>

#include <climits>

namespace {

using namespace dialog_automation;

class FixedFacts : public ISysInfoSource {
public:
    CString GetHostName() override { return "build-host.example.org"; }
    CString GetSystemText() override { return "Linux 6.1.0 x86_64, Example OS 1"; }
    UINT GetProcessorCount() override { return 4; }
    CString GetProcessorName() override { return processor; }
    BOOL GetPhysicalMemory(ULONGLONG& nTotal, ULONGLONG& nAvailable) override
    {
        nTotal = 1536 * 1024;
        nAvailable = 512;
        return TRUE;
    }
    BOOL GetPagingFile(ULONGLONG&, ULONGLONG&) override { return FALSE; }
    UINT GetCodePage() override { return codePage; }
    BOOL GetLanguage(CString& strLanguage) override
    {
        strLanguage = language;
        return !language.IsEmpty();
    }
    std::vector<SysInfoLibrary> GetProgramLibraries() override
    {
        return {{"libc.so.6", "2.35", SysInfoLibrary::State::Found},
                {"libX11.so.6", "", SysInfoLibrary::State::NoVersion}};
    }
    SysInfoLibrary FindLibrary(const CString& strName) override
    {
        asked.push_back(strName.GetString());
        return {strName, "", SysInfoLibrary::State::NotFound};
    }

    CString processor = "";
    UINT codePage = 65001;
    CString language = "de_DE.UTF-8";
    std::vector<std::string> asked;
};

std::string Value(const CSysInfo& report, const char* pszName)
{
    for (const auto& item : report.GetItems())
        if (item->m_strName == pszName)
            return item->m_strValue.GetString();
    return "<missing>";
}

} // namespace

TEST_F(VostrelAppTest, SysInfoReportFromFixedFactsHasItsLinesInOrder)
{
    ASSERT_TRUE(Start());
    FixedFacts facts;
    CStringList extra;
    extra.AddTail("libnothere.so.1");
    const CSysInfo report("Vostrel System Info", "A:1,B:", &extra, &facts);
    EXPECT_EQ(std::string(report.GetText().GetString()),
              "Vostrel System Info\r\n"
              "    A:\t1\r\n"
              "B\r\n"
              "    Computer:\tbuild-host.example.org\r\n"
              "    OS:\tLinux 6.1.0 x86_64, Example OS 1\r\n"
              "    Processors:\t4 * Unknown\r\n"
              "    Physical Memory:\t1.50 MBytes (512 Bytes Free)\r\n"
              "    Paging File:\tUnknown\r\n"
              "    CodePage:\t65001\r\n"
              "    Language:\tde_DE.UTF-8\r\n"
              "File Versions\r\n"
              "    libc.so.6:\t2.35\r\n"
              "    libX11.so.6:\t(No Version)\r\n"
              "    libnothere.so.1:\t(Not Found)\r\n");
    EXPECT_EQ(facts.asked, std::vector<std::string>{"libnothere.so.1"});

    // No code page, no language, a known processor, no title and no item list.
    facts.codePage = 0;
    facts.language = "";
    facts.processor = "Example CPU @ 2.00GHz";
    const CSysInfo plain("", "", nullptr, &facts);
    const std::string text = plain.GetText().GetString();
    EXPECT_EQ(text.rfind("    Computer:\t", 0), 0u) << text;
    EXPECT_EQ(Value(plain, "CodePage"), "(None)");
    EXPECT_EQ(Value(plain, "Processors"), "4 * Example CPU @ 2.00GHz");
    EXPECT_EQ(Value(plain, "Language"), "<missing>");

    EXPECT_EQ(std::string(CSysInfo::FormatSize(1023).GetString()), "1023 Bytes");
    EXPECT_EQ(std::string(CSysInfo::FormatSize(1024).GetString()), "1.00 KBytes");
    EXPECT_EQ(std::string(CSysInfo::FormatSize(1048575).GetString()), "1024.00 KBytes");
    // Sizes past 4 GB are counted whole, not cut to 32 bits.
    EXPECT_EQ(std::string(CSysInfo::FormatSize(64ULL << 30).GetString()), "65536.00 MBytes");
}

TEST_F(VostrelAppTest, SysInfoReportFromThisMachineFindsTheProgramsLibraries)
{
    ASSERT_TRUE(Start());
    char host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    CStringList extra;
    extra.AddTail("libnothere.so.1");
    const CSysInfo report("Vostrel System Info", "", &extra);
    EXPECT_EQ(Value(report, "Computer"), host);
    EXPECT_NE(Value(report, "OS").find("Linux"), std::string::npos);
    EXPECT_NE(Value(report, "Physical Memory"), "Unknown");
    EXPECT_NE(Value(report, "Physical Memory").find("Free)"), std::string::npos);
    EXPECT_EQ(Value(report, "CodePage"), "65001");
    EXPECT_EQ(Value(report, "libc.so.6"), gnu_get_libc_version());
    for (const char* name : {"libstdc++.so.6", "libcairo.so.2", "libpango-1.0.so.0", "libfontconfig.so.1",
                             "libX11.so.6", "libcurl.so.4"}) {
        const std::string version = Value(report, name);
        EXPECT_NE(version.find('.'), std::string::npos) << name << ": " << version;
    }
    EXPECT_EQ(Value(report, "libnothere.so.1"), "(Not Found)");
    // The TLS library comes after the transfer library, named as the transfer library names it.
    const auto& items = report.GetItems();
    for (size_t i = 0; i + 1 < items.size(); ++i) {
        if (items[i]->m_strName == "libcurl.so.4") {
            EXPECT_NE(std::string(items[i + 1]->m_strValue.GetString()).find('.'), std::string::npos)
                << items[i + 1]->m_strName.GetString();
        }
    }

    EXPECT_EQ(std::string(CLinuxSysInfoSource::VersionFromFileName("/usr/lib/libX11.so.6.4.0").GetString()), "6.4.0");
    EXPECT_EQ(std::string(CLinuxSysInfoSource::VersionFromFileName("/usr/lib/libc.so.6").GetString()), "6");
    EXPECT_EQ(std::string(CLinuxSysInfoSource::VersionFromFileName("/usr/lib/libfoo.so").GetString()), "");
    ULONGLONG bytes = 0;
    EXPECT_TRUE(CLinuxSysInfoSource::ReadMemInfoValue("MemTotal:       16318420 kB\nSwapFree: 7 kB\n", "SwapFree", bytes));
    EXPECT_EQ(bytes, 7u * 1024);
    EXPECT_FALSE(CLinuxSysInfoSource::ReadMemInfoValue("MemTotal: 99999999999999999999 kB\n", "MemTotal", bytes));
    EXPECT_FALSE(CLinuxSysInfoSource::ReadMemInfoValue("MemTotalX: 1 kB\n", "MemTotal", bytes));
}

TEST_F(VostrelAppTest, SystemInfoCommandShowsTheReportInItsDialog)
{
    ASSERT_TRUE(Start());
    std::string title;
    std::string shown;
    bool opened = false;
    WhenWindowOpens(
        *backend,
        [] {
            for (HWND dlg : ShownDialogs())
                if (reinterpret_cast<uintptr_t>(GetProp(dlg, DIALOG_TEMPLATE_ID_PROP)) == CSysInfoDlg::IDD)
                    return dlg;
            return HWND{};
        },
        [&](HWND dlg) {
            opened = true;
            title = TextOf(dlg);
            shown = TextOf(GetDlgItem(dlg, CSysInfoDlg::kIdReport));
            backend->Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
            EnsureClosed(*backend, dlg);
        },
        [] { ADD_FAILURE() << "System Information never opened"; });
    Frame().SendMessage(WM_COMMAND, ID_SYSTEM_INFO);
    ASSERT_TRUE(opened);
    EXPECT_EQ(title, "System Information");
    char host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(shown.rfind("Vostrel System Info\r\n    Computer:\t" + std::string(host) + "\r\n", 0), 0u) << shown;
    EXPECT_NE(shown.find("\r\nFile Versions\r\n    libc.so.6:\t"), std::string::npos) << shown;
}
