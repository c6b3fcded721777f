#include "EngineTestSupport.h"

#include "engine/meta/CDoubleLinkNode.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/meta/CStringListWrapper.h"
#include "engine/project/CPageNode.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace enginetest {

namespace {

// The user's registry file must never be touched by tests: the whole program points its
// configuration folder at a scratch folder before any test runs.
class ConfigHomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        // A death test's child runs with its parent's folder, and leaves without tearing down.
        if (!GTEST_FLAG_GET(internal_run_death_test).empty())
            return;
        m_pDir = std::make_unique<ScopedTempDir>();
        if (!m_pDir->Path().empty())
            m_pConfigHome = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", m_pDir->Path());
    }
    void TearDown() override
    {
        m_pConfigHome.reset();
        m_pDir.reset();
    }

private:
    std::unique_ptr<ScopedTempDir> m_pDir;
    std::unique_ptr<ScopedEnv> m_pConfigHome;
};

[[maybe_unused]] ::testing::Environment* const g_configHome =
    ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

void FillList(CStringListWrapper& list, const std::vector<std::string>& items)
{
    list.RemoveAll();
    for (const std::string& item : items)
        list.AddTail(item.c_str());
}

} // namespace

std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    // A missing file must fail the test that wanted it, not pass as an empty one.
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void AddContentTypeSetting(CMetaSettingList& list)
{
    auto* pSetting = new CMetaUndefinedSetting;
    pSetting->SetName("Content-Type");
    pSetting->SetHttpEquiv(1);
    list.AddTail(pSetting);
}

void NoteFileAsScanned(CPageNode& page)
{
    CString strPath;
    page.GetFullPath(strPath);
    if (struct stat info {}; ::stat(strPath, &info) == 0)
        page.SetReadFile(info);
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

std::string MarksMissingIn(const std::filesystem::path& folder)
{
    if (setxattr(folder.c_str(), "user.vostrel.probe", "1", 1, 0) == 0) {
        removexattr(folder.c_str(), "user.vostrel.probe");
        return std::string();
    }
    return "extended attributes of the user's (user.*) on the file system of " + folder.string();
}

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

std::filesystem::path TestDataDir()
{
    // CTest names the folder; run by hand, the program takes the tests folder it was built
    // from, so that it works from any working directory.
    const char* dir = std::getenv("VOSTREL_TEST_DATA");
    if (dir != nullptr)
        return std::filesystem::path(dir) / "engine";
    return std::filesystem::path(VOSTREL_TESTS_DIR) / "data" / "engine";
}

std::vector<std::string> ToVector(const CStringList& list)
{
    std::vector<std::string> items;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        items.emplace_back(list.GetNext(pos).GetString());
    return items;
}

BOOL FakeDialogs::AskOpenFileName(LPCTSTR, LPCTSTR, CString& strPath)
{
    log.push_back("open file");
    proposedFile = strPath.GetString();
    if (chosenFile.empty())
        return FALSE;
    strPath = chosenFile.c_str();
    return TRUE;
}

BOOL FakeDialogs::EditOptionList(CStringListWrapper& options)
{
    log.push_back("options");
    if (answer)
        FillList(options, newOptions);
    else
        FillList(options, {"cancelled edit"});
    return answer;
}

BOOL FakeDialogs::EditMultiSelOptions(CStringListWrapper& options, UINT& bAllowModify, CString& strSeparator)
{
    log.push_back("multioptions");
    seenValue = strSeparator.GetString();
    FillList(options, newOptions);
    bAllowModify = 1;
    strSeparator = text.c_str();
    return answer;
}

BOOL FakeDialogs::SelectMultiSelValue(CMetaComboMultiSelSetting& setting, CMetaContent& content, BOOL& bChanged)
{
    log.push_back("multiselect");
    seenValue = content.GetContent().GetString();
    if (!answer)
        return FALSE;
    content.SetContent(text.c_str());
    if (optionsChanged)
        FillList(setting.m_Options, newOptions);
    bChanged = optionsChanged;
    return TRUE;
}

BOOL FakeDialogs::DefineClassification(CDoubleLinkNodeCol& tree)
{
    log.push_back("define");
    tree.AddNew(text.c_str());
    return answer;
}

BOOL FakeDialogs::SelectClassification(DWORD, const CString& strCurrent, CMetaClassificationSetting&, CString& strPath)
{
    log.push_back("classify");
    seenValue = strCurrent.GetString();
    strPath = text.c_str();
    return answer;
}

BOOL FakeDialogs::EditKeywords(DWORD, const CString& strTag, const CMetaContent& content, CString& strText)
{
    log.push_back("keywords");
    seenTag = strTag.GetString();
    seenValue = content.GetContent().GetString();
    strText = text.c_str();
    return answer;
}

BOOL FakeDialogs::ChooseGroupKeywordsAction(int& nAction)
{
    log.push_back("group");
    presetAction = nAction;
    nAction = groupAction;
    return answer;
}

BOOL FakeDialogs::EditRefresh(DWORD, const CMetaContent& content, CString& strText)
{
    log.push_back("refresh");
    seenValue = content.GetContent().GetString();
    strText = text.c_str();
    return answer;
}

BOOL FakeDialogs::EditDate(DWORD, const CString&, const CString& strValue, const CString& strFormat, CString& strText)
{
    log.push_back("date");
    seenValue = strValue.GetString();
    seenFormat = strFormat.GetString();
    strText = text.c_str();
    return answer;
}

void EngineTest::SetUp()
{
    m_pModel = std::make_unique<CVostrelAppModel>();
    m_pModel->Install();
    m_pModel->SetDialogs(&m_dialogs);
}

void EngineTest::TearDown()
{
    m_pModel.reset();
    m_tempDir.reset();
}

std::filesystem::path EngineTest::TempDir()
{
    if (!m_tempDir)
        m_tempDir.emplace();
    return m_tempDir->Path();
}

void EngineTest::UseOwnProfile(CProfileStore& profile)
{
    profile.SetRegistryKey("Vostrel Engine Tests");
    profile.SetAppName(::testing::UnitTest::GetInstance()->current_test_info()->name());
    m_pModel->SetProfile(&profile);
}

} // namespace enginetest
