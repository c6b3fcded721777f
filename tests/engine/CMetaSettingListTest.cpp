#include "EngineTestSupport.h"

#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaComboSingleSelSetting.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/CMetaSListSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <filesystem>
#include <iterator>
#include <memory>
#include <sys/stat.h>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

class SettingListTest : public EngineTest {
protected:
    // The catalogue the user had before a load is tried: two settings.
    void FillCatalogue(CMetaSettingList& list)
    {
        auto pEdit = std::make_unique<CMetaEditSetting>();
        pEdit->SetName("Mine");
        list.AddTail(pEdit.release());
        list.AddTail(std::make_unique<CMetaKeywordsSetting>().release());
        list.SetFilePath("/old/path.vsl");
    }
    fs::path WriteTemp(const char* name, const std::string& data)
    {
        const fs::path path = TempDir() / name;
        WriteFileBytes(path, data);
        return path;
    }
    static std::string Names(const CMetaSettingList& list)
    {
        std::string names;
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
            names += std::string(list.GetNext(pos)->Name().GetString()) + "|";
        return names;
    }
};

TEST_F(SettingListTest, NewMultiSelectSettingStoredForm)
{
    CMetaSettingList list;
    list.AddTail(std::make_unique<CMetaComboMultiSelSetting>().release());
    const fs::path path = TempDir() / "one.vsl";
    ASSERT_EQ(list.SaveToFile(path.c_str()), 0u);
    const std::string expected =
        Bytes().Dword(1).Dword(11).SettingBase("", 11, "", 0, 0, 0, 0).Dword(0).Str(",").Word(0).str();
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_STREQ(list.GetFilePath(), path.c_str());
    EXPECT_EQ(list.IsModified(), 0u);
}

TEST_F(SettingListTest, GoldenFileWithEveryTypeLoadsAndSavesByteForByte)
{
    CMetaSettingList list;
    ASSERT_EQ(list.LoadFromFile((TestDataDir() / "all_types.vsl").c_str()), 0u);
    ASSERT_EQ(list.GetCount(), 11);
    EXPECT_EQ(Names(list),
              "Description|Colour|subject|x-custom|Keywords|Refresh|Pragma|Robots|Rating|Expires|Set Cookie|");

    CMetaSetting* pSetting = nullptr;
    ASSERT_EQ(list.FindByName("colour", pSetting), 0u);
    auto* pColour = dynamic_cast<CMetaSListSetting*>(pSetting);
    ASSERT_NE(pColour, nullptr);
    EXPECT_EQ(ToVector(pColour->m_Options), (std::vector<std::string>{"red", "green", "blue"}));

    ASSERT_EQ(list.FindByName("SUBJECT", pSetting), 0u);
    auto* pSubject = dynamic_cast<CMetaClassificationSetting*>(pSetting);
    ASSERT_NE(pSubject, nullptr);
    CDoubleLinkNode* pNode = nullptr;
    ASSERT_EQ(pSubject->m_Tree.FindByPath("science:biology:BOTANY", pNode), 0u);
    EXPECT_EQ(pNode->m_pParent, nullptr);
    UINT nFlag = 0;
    pSubject->GetNameFixed(nFlag);
    EXPECT_EQ(nFlag, 1u);

    ASSERT_EQ(list.FindByName("Robots", pSetting), 0u);
    auto* pRobots = dynamic_cast<CMetaComboMultiSelSetting*>(pSetting);
    ASSERT_NE(pRobots, nullptr);
    EXPECT_EQ(pRobots->m_bAllowModify, 1u);
    EXPECT_STREQ(pRobots->m_strSeparator, ";");
    EXPECT_EQ(pRobots->m_Options.GetCount(), 3);

    ASSERT_EQ(list.FindByName("Expires", pSetting), 0u);
    auto* pExpires = dynamic_cast<CMetaDateSetting*>(pSetting);
    ASSERT_NE(pExpires, nullptr);
    EXPECT_STREQ(pExpires->m_strFormat, "ddd, dd MMM yyyy HH:mm:ss 'GMT'");
    pExpires->GetHttpEquiv(nFlag);
    EXPECT_EQ(nFlag, 1u);

    // Settings read back have no grid column, whatever they had.
    ROWCOL nCol = 9;
    list.GetHead()->GetColumn(nCol);
    EXPECT_EQ(nCol, 0u);
    EXPECT_EQ(list.GetShownCount(), 5u);

    const fs::path copy = TempDir() / "copy.vsl";
    ASSERT_EQ(list.SaveToFile(copy.c_str()), 0u);
    EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(TestDataDir() / "all_types.vsl"));
}

// A catalogue saved while a Refresh or Pragma row could be switched to a NAME tag gets them back
// as HTTP-EQUIV tags, locked so; a setting of a type without a form of its own keeps its form.
TEST_F(SettingListTest, ARefreshOrPragmaSavedAsANameTagLoadsAsHttpEquiv)
{
    const std::string data = Bytes()
                                 .Dword(4)
                                 .Dword(9).SettingBase("Refresh", 9, "", 1, 0, 0, 1)
                                 .Dword(10).SettingBase("Pragma", 10, "", 1, 0, 0, 1)
                                 .Dword(0).SettingBase("Mine", 0, "", 1, 0, 0, 0)
                                 .Dword(0).SettingBase("Content-Language", 0, "", 1, 1, 0, 0)
                                 .str();
    CMetaSettingList list;
    ASSERT_EQ(list.LoadFromFile(WriteTemp("name-refresh.vsl", data).c_str()), 0u);
    ASSERT_EQ(list.GetCount(), 4);
    const auto form = [&](const char* pszName) {
        CMetaSetting* pSetting = nullptr;
        UINT bHttpEquiv = 9, bFixed = 9;
        if (list.FindByName(pszName, pSetting) != 0)
            return std::string("missing");
        pSetting->GetHttpEquiv(bHttpEquiv);
        pSetting->GetFixed(bFixed);
        return std::to_string(bHttpEquiv) + "/" + std::to_string(bFixed);
    };
    EXPECT_EQ(form("Refresh"), "1/1");
    EXPECT_EQ(form("Pragma"), "1/1");
    EXPECT_EQ(form("Mine"), "0/0");
    EXPECT_EQ(form("Content-Language"), "1/0");
    CMetaSetting* pRefresh = nullptr;
    ASSERT_EQ(list.FindByName("Refresh", pRefresh), 0u);
    CString strTag;
    pRefresh->FormatTag("30; URL=next.html", strTag);
    EXPECT_STREQ(strTag, "<META HTTP-EQUIV=\"Refresh\" CONTENT=\"30; URL=next.html\">");
}

TEST_F(SettingListTest, EmptyFileCountLoadsAnEmptyCatalogue)
{
    CMetaSettingList list;
    FillCatalogue(list);
    const fs::path path = WriteTemp("empty.vsl", Bytes().Dword(0).str());
    EXPECT_EQ(list.LoadFromFile(path.c_str()), 0u);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_STREQ(list.GetFilePath(), path.c_str());
}

TEST_F(SettingListTest, UnknownTypeIdsKeepTheCatalogue)
{
    for (uint32_t nType : {2u, 3u, 4u, 6u, 15u, 0xFFFFFFFFu}) {
        CMetaSettingList list;
        FillCatalogue(list);
        const std::string data = Bytes()
                                     .Dword(2)
                                     .Dword(0)
                                     .SettingBase("Good", 0, "", 0, 0, 0, 0)
                                     .Dword(nType)
                                     .SettingBase("Bad", nType, "", 0, 0, 0, 0)
                                     .str();
        const fs::path path = WriteTemp("bad.vsl", data);
        EXPECT_EQ(list.LoadFromFile(path.c_str()), 1u) << nType;
        EXPECT_EQ(Names(list), "Mine|Keywords|") << nType;
    }
    // A bad file is the caller's to report (start-up falls back to the default catalogue).
    EXPECT_TRUE(m_dialogs.messages.empty());
}

TEST_F(SettingListTest, SettingWhoseDataNamesAnotherTypeIsRefused)
{
    CMetaSettingList list;
    FillCatalogue(list);
    // An Edit entry whose data claims to be a multi-select one.
    const std::string data = Bytes().Dword(1).Dword(0).SettingBase("Odd", 11, "", 0, 0, 0, 0).str();
    EXPECT_EQ(list.LoadFromFile(WriteTemp("odd.vsl", data).c_str()), 1u);
    EXPECT_EQ(Names(list), "Mine|Keywords|");
}

TEST_F(SettingListTest, EveryTruncationOfAGoodFileKeepsTheCatalogue)
{
    const std::string golden = ReadFileBytes(TestDataDir() / "all_types.vsl");
    ASSERT_GT(golden.size(), 100u);
    for (size_t nLength = 0; nLength < golden.size(); ++nLength) {
        CMetaSettingList list;
        FillCatalogue(list);
        const fs::path path = WriteTemp("cut.vsl", golden.substr(0, nLength));
        ASSERT_EQ(list.LoadFromFile(path.c_str()), 1u) << nLength;
        ASSERT_EQ(Names(list), "Mine|Keywords|") << nLength;
    }
}

TEST_F(SettingListTest, HugeCountsAndLengthsEndAtTheData)
{
    CMetaSettingList list;
    FillCatalogue(list);
    // A count of four thousand million settings, and a name claiming four thousand million bytes.
    Bytes hostile;
    hostile.Dword(0xFFFFFFFF).Dword(0).Raw("\xFF\xFF\xFF").Dword(0xFFFFFFF0).Raw("short");
    EXPECT_EQ(list.LoadFromFile(WriteTemp("huge.vsl", hostile.str()).c_str()), 1u);
    // An option list claiming 0xFFFFFFFF strings.
    Bytes options;
    options.Dword(1).Dword(1).SettingBase("L", 1, "", 0, 0, 0, 0).Word(0xFFFF).Dword(0xFFFFFFFF).Str("a");
    EXPECT_EQ(list.LoadFromFile(WriteTemp("opts.vsl", options.str()).c_str()), 1u);
    EXPECT_EQ(Names(list), "Mine|Keywords|");
}

TEST_F(SettingListTest, MissingFileIsReportedAndChangesNothing)
{
    CMetaSettingList list;
    FillCatalogue(list);
    EXPECT_EQ(list.LoadFromFile((TempDir() / "missing.vsl").c_str()), 1u);
    EXPECT_EQ(Names(list), "Mine|Keywords|");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_NE(m_dialogs.messages[0].find("missing.vsl"), std::string::npos);
}

TEST_F(SettingListTest, FailedSaveLeavesTheOldFileAndPath)
{
    CMetaSettingList list;
    FillCatalogue(list);
    const fs::path target = TempDir() / "settings.vsl";
    WriteFileBytes(target, "previous contents");
    ::chmod(target.c_str(), 0640);

    // The target's folder does not exist: nothing is written anywhere.
    EXPECT_EQ(list.SaveToFile((TempDir() / "no-such-dir" / "x.vsl").c_str()), 1u);
    EXPECT_STREQ(list.GetFilePath(), "/old/path.vsl");
    EXPECT_EQ(m_dialogs.messages.size(), 1u);

    // A folder in the target's place cannot be replaced; it stays as it was.
    const fs::path folder = TempDir() / "folder.vsl";
    fs::create_directory(folder);
    EXPECT_EQ(list.SaveToFile(folder.c_str()), 1u);
    EXPECT_TRUE(fs::is_directory(folder));

    // A good save replaces the file and keeps its permissions; no temporary file is left.
    list.SetModified(1);
    ASSERT_EQ(list.SaveToFile(target.c_str()), 0u);
    EXPECT_EQ(list.IsModified(), 0u);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    size_t nEntries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(TempDir()))
        ++nEntries;
    EXPECT_EQ(nEntries, 2u); // settings.vsl and folder.vsl
    CMetaSettingList reread;
    ASSERT_EQ(reread.LoadFromFile(target.c_str()), 0u);
    EXPECT_TRUE(reread.IsEqual(list));
}

TEST_F(SettingListTest, DefaultCatalogueRows)
{
    CMetaSettingList& list = m_pModel->GetMetaSettings();
    FillCatalogue(list);
    list.SetDefaults();
    EXPECT_TRUE(list.GetFilePath().IsEmpty());
    ASSERT_EQ(list.GetCount(), 60);
    EXPECT_EQ(list.GetShownCount(), 0u);

    // Every row of the table in order: name, type id, HTTP-EQUIV form. Only the types that know
    // their tag keep fixed marks (Keywords the syntax; Pragma and Refresh syntax and name).
    struct Row {
        const char* name;
        UINT type;
        UINT httpEquiv;
    };
    const Row rows[] = {
        {"Author", 11, 0}, {"Generator", 12, 0}, {"Keywords", 8, 0}, {"Expires", 13, 1}, {"Description", 0, 0},
        {"Pragma", 10, 1}, {"Refresh", 9, 1}, {"Set Cookie", 14, 1}, {"Window-target", 12, 1}, {"Robots", 11, 0},
        {"revisit-after", 12, 0}, {"PICS", 14, 1}, {"Rating", 12, 0}, {"Reply to", 0, 0}, {"Copyright", 0, 0},
        {"Language", 12, 0}, {"dc.title", 0, 0}, {"dc.alttitle", 0, 0}, {"dc.creator", 11, 0},
        {"dc.keywords", 8, 0}, {"dc.subject", 0, 0}, {"dc.description", 0, 0}, {"dc.publisher", 0, 0},
        {"dc.publisherAddress", 0, 0}, {"dc.date", 13, 0}, {"dc.type", 12, 0}, {"dc.format", 0, 0},
        {"dc.identifier", 0, 0}, {"dc.source", 0, 0}, {"dc.language", 12, 0}, {"dc.relation", 0, 0},
        {"dc.lastmodified", 13, 1}, {"dc.rights", 0, 0}, {"originator", 12, 0}, {"originatorJurisdiction", 12, 0},
        {"originatorDepartment", 12, 0}, {"originatorDivision", 12, 0}, {"originatorSection", 12, 0},
        {"originatorOffice", 12, 0}, {"createDate", 13, 1}, {"dateofLastModification", 13, 1},
        {"timePeriodTextual", 0, 0}, {"medium", 12, 0}, {"govType", 12, 0}, {"subject", 5, 0},
        {"contactName", 12, 0}, {"contactOrganization", 12, 0}, {"contactStreetAddress1", 0, 0},
        {"contactStreetAddress2", 0, 0}, {"contactCity", 0, 0}, {"contactState", 12, 0}, {"contactZipcode", 0, 0},
        {"contactPhoneNumber", 0, 0}, {"contactFaxNumber", 0, 0}, {"contactNetworkAddress", 0, 0},
        {"originalControlIdentifier", 0, 0}, {"accessConstraints", 0, 0}, {"agencyProgram", 12, 0},
        {"linkage", 0, 0}, {"note", 0, 0}};
    ASSERT_EQ(std::size(rows), 60u);
    POSITION pos = list.GetHeadPosition();
    for (const Row& row : rows) {
        ASSERT_NE(pos, nullptr);
        const CMetaSetting* p = list.GetNext(pos);
        EXPECT_STREQ(p->Name(), row.name);
        EXPECT_EQ(p->Type(), row.type) << row.name;
        UINT nHttpEquiv = 9, nFixed = 9, nNameFixed = 9;
        p->GetHttpEquiv(nHttpEquiv);
        p->GetFixed(nFixed);
        p->GetNameFixed(nNameFixed);
        EXPECT_EQ(nHttpEquiv, row.httpEquiv) << row.name;
        const bool bKnowsTag = row.type == kMetaTypeKeywords || row.type == kMetaTypePragma ||
                               row.type == kMetaTypeRefresh;
        EXPECT_EQ(nFixed, bKnowsTag ? 1u : 0u) << row.name;
        EXPECT_EQ(nNameFixed, bKnowsTag && row.type != kMetaTypeKeywords ? 1u : 0u) << row.name;
        CString strDescription;
        p->GetDescription(strDescription);
        EXPECT_FALSE(strDescription.IsEmpty()) << row.name;
    }

    // Fixed marks: only the types that know their tag have them.
    UINT nFixed = 0, nNameFixed = 0;
    CMetaSetting* pSetting = nullptr;
    list.FindByName("Pragma", pSetting);
    pSetting->GetFixed(nFixed);
    pSetting->GetNameFixed(nNameFixed);
    EXPECT_EQ(nFixed + nNameFixed, 2u);
    list.FindByName("dc.keywords", pSetting);
    pSetting->GetFixed(nFixed);
    pSetting->GetNameFixed(nNameFixed);
    EXPECT_EQ(nFixed, 1u);
    EXPECT_EQ(nNameFixed, 0u);
    list.FindByName("Author", pSetting);
    pSetting->GetFixed(nFixed);
    EXPECT_EQ(nFixed, 0u);

    CString strDescription;
    list.FindByName("Author", pSetting);
    pSetting->GetDescription(strDescription);
    EXPECT_STREQ(strDescription, "This indicates the name of the page\xE2\x80\x99s author.");
    list.FindByName("revisit-after", pSetting);
    pSetting->GetDescription(strDescription);
    EXPECT_STREQ(strDescription, "Use to inform a visting spider when it should return to re-index the page.");

    list.FindByName("Expires", pSetting);
    EXPECT_STREQ(dynamic_cast<CMetaDateSetting*>(pSetting)->m_strFormat, "ddd, dd MMM yyyy HH:mm:ss 'GMT'");
    list.FindByName("dc.date", pSetting);
    EXPECT_STREQ(dynamic_cast<CMetaDateSetting*>(pSetting)->m_strFormat, "yyyy/MM/dd");
    list.FindByName("Robots", pSetting);
    EXPECT_EQ(ToVector(dynamic_cast<CMetaComboMultiSelSetting*>(pSetting)->m_Options),
              (std::vector<std::string>{"all", "none", "index", "noindex", "follow", "nofollow"}));
    list.FindByName("dc.type", pSetting);
    EXPECT_EQ(dynamic_cast<CMetaComboSingleSelSetting*>(pSetting)->m_Options.GetCount(), 8);
    list.FindByName("govType", pSetting);
    EXPECT_EQ(ToVector(dynamic_cast<CMetaComboSingleSelSetting*>(pSetting)->m_Options),
              (std::vector<std::string>{"city", "town", "county", "state", "multi-jurisdiction", "district",
                                        "regional"}));
    list.FindByName("contactState", pSetting);
    const auto states = ToVector(dynamic_cast<CMetaComboSingleSelSetting*>(pSetting)->m_Options);
    EXPECT_EQ(states.size(), 51u);
    EXPECT_NE(std::find(states.begin(), states.end(), "DC"), states.end());
    list.FindByName("subject", pSetting);
    CDoubleLinkNode* pNode = nullptr;
    EXPECT_EQ(dynamic_cast<CMetaClassificationSetting*>(pSetting)->m_Tree.FindByPath("Root:Folder1:Folder2", pNode),
              0u);
}

TEST_F(SettingListTest, DefaultCatalogueWrittenToAFreshFileReadsBackEqual)
{
    CMetaSettingList& list = m_pModel->GetMetaSettings();
    list.SetDefaults();
    const fs::path path = TempDir() / "VOSTREL.VSL";
    ASSERT_EQ(list.SaveToFile(path.c_str()), 0u);

    // The file begins with the count and the first row, composed from the stored layout.
    const std::string head = Bytes()
                                 .Dword(60)
                                 .Dword(11)
                                 .SettingBase("Author", 11, "This indicates the name of the page\xE2\x80\x99s author.",
                                              0, 0, 0, 0)
                                 .Dword(0)
                                 .Str(",")
                                 .Word(0)
                                 .Dword(12)
                                 .Str("Generator")
                                 .str();
    const std::string data = ReadFileBytes(path);
    EXPECT_EQ(data.substr(0, head.size()), head);

    CMetaSettingList reread;
    ASSERT_EQ(reread.LoadFromFile(path.c_str()), 0u);
    EXPECT_EQ(reread.GetCount(), 60);
    EXPECT_TRUE(reread.IsEqual(list));
    EXPECT_EQ(reread.GetShownCount(), 0u);
}

TEST_F(SettingListTest, ListOperations)
{
    CMetaSettingList list;
    FillCatalogue(list);
    list.SetNextOrdinal(5);
    CMetaSetting* pMine = list.GetHead();
    pMine->SetShow(1);
    pMine->SetColumn(3);

    CMetaSettingList copy;
    copy.CopyFrom(list);
    EXPECT_TRUE(copy.IsEqual(list));
    EXPECT_EQ(copy.GetNextOrdinal(), 5u);
    EXPECT_STREQ(copy.GetFilePath(), "/old/path.vsl");
    EXPECT_NE(copy.GetHead(), pMine);
    ROWCOL nCol = 0;
    copy.GetHead()->GetColumn(nCol);
    EXPECT_EQ(nCol, 3u);

    CMetaSetting* pFound = nullptr;
    EXPECT_EQ(list.FindByName("KEYWORDS", pFound), 0u);
    EXPECT_STREQ(pFound->Name(), "Keywords");
    EXPECT_EQ(list.FindByName("Keyword", pFound), 1u);

    auto pNew = std::make_unique<CMetaEditSetting>();
    pNew->SetName("New");
    EXPECT_EQ(list.ReplaceSetting(pMine, pNew.get()), 0u);
    pNew.release();
    EXPECT_EQ(Names(list), "Keywords|New|");
    CMetaEditSetting stranger;
    EXPECT_EQ(list.ReplaceSetting(&stranger, &stranger), 1u);
    EXPECT_EQ(list.RemoveSetting(&stranger), 1u);

    std::unique_ptr<CMetaSetting> pRemoved(list.GetHead());
    EXPECT_EQ(list.RemoveSetting(pRemoved.get()), 0u);
    EXPECT_EQ(Names(list), "New|");
    EXPECT_FALSE(copy.IsEqual(list));
}

TEST_F(SettingListTest, ReplacingASettingByItselfKeepsIt)
{
    CMetaSettingList list;
    FillCatalogue(list);
    CMetaSetting* pMine = list.GetHead();
    EXPECT_EQ(list.ReplaceSetting(pMine, pMine), 0u);
    EXPECT_EQ(Names(list), "Keywords|Mine|");
    EXPECT_EQ(list.GetTail(), pMine);
}

TEST_F(SettingListTest, AskingDialogsCanBeCancelled)
{
    CMetaSettingList list;
    FillCatalogue(list);
    // Without a chosen file the fake's file dialogs are cancelled.
    EXPECT_EQ(list.Load(TRUE), 1u);
    EXPECT_EQ(m_dialogs.proposedFile, "/old/path.vsl");
    EXPECT_EQ(list.SaveAs(), 1u);
    EXPECT_EQ(Names(list), "Mine|Keywords|");
    EXPECT_STREQ(list.GetFilePath(), "/old/path.vsl");
}

TEST_F(SettingListTest, ChosenFileBecomesThePathOnlyWhenItLoads)
{
    CMetaSettingList list;
    FillCatalogue(list);
    // A bad file chosen in the dialog: the catalogue and the file it belongs to stay, so that
    // saving it later does not write it over the file the user tried.
    m_dialogs.chosenFile = WriteTemp("bad.vsl", Bytes().Dword(1).Dword(3).str()).string();
    EXPECT_EQ(list.Load(TRUE), 1u);
    EXPECT_EQ(Names(list), "Mine|Keywords|");
    EXPECT_STREQ(list.GetFilePath(), "/old/path.vsl");

    m_dialogs.chosenFile = WriteTemp("good.vsl", Bytes().Dword(0).str()).string();
    EXPECT_EQ(list.Load(TRUE), 0u);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetFilePath().GetString(), m_dialogs.chosenFile);
}

} // namespace
