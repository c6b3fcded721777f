#include "EngineTestSupport.h"

#include "engine/project/CProjectSettings.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CProfileStore.h"

#include <filesystem>
#include <memory>

using namespace enginetest;

namespace {

class ProjectSettingsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        UseOwnProfile(m_profile);
        m_profile.WriteProfileString(CProjectSettings::kProfileSection, nullptr, nullptr);
    }

    static std::string StoreObject(const CProjectSettings& settings)
    {
        return StoredBytes([&](CArchive& ar) { ar.WriteObject(&settings); });
    }
    // Reads one project settings object the way a project file is opened.
    static std::unique_ptr<CProjectSettings> LoadObject(const std::string& data)
    {
        std::unique_ptr<CProjectSettings> pSettings;
        LoadBytes(data, [&](CArchive& ar) {
            pSettings.reset(static_cast<CProjectSettings*>(ar.ReadObject(RUNTIME_CLASS(CProjectSettings))));
        });
        return pSettings;
    }

    CProfileStore m_profile;
};

std::string ProjectBytes(const std::string& directory, const std::string& projectPath, const std::string& settingsPath,
                         uint32_t showAll, uint32_t extractor, const std::vector<std::string>& extensions,
                         uint32_t autoScan, const std::string& separator, uint32_t showTitle, uint32_t backup,
                         uint32_t freeze)
{
    Bytes bytes;
    bytes.Word(0xFFFF).Word(2).Word(16).Raw("CProjectSettings");
    bytes.Str(directory).Str(projectPath).Str(settingsPath).Dword(showAll).Dword(extractor);
    bytes.Dword(static_cast<uint32_t>(extensions.size()));
    for (const std::string& e : extensions)
        bytes.Str(e);
    bytes.Dword(autoScan).Str(separator).Dword(showTitle).Dword(backup).Dword(freeze);
    return bytes.str();
}

TEST_F(ProjectSettingsTest, DefaultsAndTheirProjectFile)
{
    CProjectSettings settings;
    EXPECT_EQ(settings.m_bFreezeFileColumn, 1u);
    EXPECT_EQ(settings.m_bShowTitle, 1u);
    EXPECT_EQ(settings.m_nBackupScheme, 0u);
    EXPECT_STREQ(settings.m_strListSeparator, ",");
    EXPECT_EQ(settings.m_bAutoScan, 1u);
    EXPECT_EQ(settings.m_bShowAllFound, 1u);
    EXPECT_EQ(settings.m_bKeywordExtractor, 0u);
    EXPECT_EQ(settings.GetUpperCase(), 1u);

    const std::string data = StoreObject(settings);
    const std::string expected =
        ProjectBytes("", "", "", 1, 0, {".htm", ".html", ".shtm", ".shtml"}, 1, ",", 1, 0, 1);
    EXPECT_EQ(data, expected);
    EXPECT_EQ(data.substr(0, 6), std::string("\xFF\xFF\x02\x00\x10\x00", 6));
    EXPECT_EQ(data, ReadFileBytes(TestDataDir() / "project_defaults.vsp"));
}

// Every field of the golden file holds a value that no other field holds, so a field read from
// another's place, or stored to it, shows.
TEST_F(ProjectSettingsTest, GoldenProjectFileLoadsEveryField)
{
    std::unique_ptr<CProjectSettings> pLoaded = LoadObject(ReadFileBytes(TestDataDir() / "project_custom.vsp"));
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_STREQ(pLoaded->m_strProjectDirectory, "/srv/www/site");
    CString strPath;
    pLoaded->GetProjectFilePath(strPath);
    EXPECT_STREQ(strPath, "/home/me/site.vsp");
    pLoaded->GetSettingsFilePath(strPath);
    EXPECT_STREQ(strPath, "/home/me/VOSTREL.VSL");
    EXPECT_EQ(pLoaded->m_bShowAllFound, 3u);
    EXPECT_EQ(pLoaded->m_bKeywordExtractor, 1u);
    EXPECT_EQ(ToVector(pLoaded->m_FileExtensions), (std::vector<std::string>{".php", ".HTM"}));
    EXPECT_EQ(pLoaded->m_bAutoScan, 0u);
    EXPECT_STREQ(pLoaded->m_strListSeparator, "; ");
    EXPECT_EQ(pLoaded->m_bShowTitle, 4u);
    EXPECT_EQ(pLoaded->m_nBackupScheme, 2u);
    EXPECT_EQ(pLoaded->m_bFreezeFileColumn, 5u);
    EXPECT_EQ(StoreObject(*pLoaded), ReadFileBytes(TestDataDir() / "project_custom.vsp"));
}

TEST_F(ProjectSettingsTest, ForeignOrTruncatedProjectFilesRaiseArchiveErrors)
{
    const std::string good = ReadFileBytes(TestDataDir() / "project_custom.vsp");
    for (size_t nLength = 0; nLength < good.size(); ++nLength) {
        try {
            std::unique_ptr<CProjectSettings> p = LoadObject(good.substr(0, nLength));
            // Only the empty prefix could read as "no object"; anything else is an error.
            EXPECT_EQ(nLength, 0u);
            EXPECT_EQ(p, nullptr);
        } catch (CArchiveException* e) {
            e->Delete();
        }
    }
    std::string otherSchema = good;
    otherSchema[2] = 3;
    EXPECT_NE(ArchiveErrorOf([&] { LoadObject(otherSchema); }), -1);
    std::string otherClass = good;
    otherClass[6] = 'X';
    EXPECT_NE(ArchiveErrorOf([&] { LoadObject(otherClass); }), -1);
    // A class the program knows, but not the project's settings: a settings-file entry with
    // a class header of its own.
    Bytes knownClass;
    knownClass.Word(0xFFFF).Word(1).Word(16).Raw("CMetaEditSetting").SettingBase("n", 0, "d", 0, 0, 0, 0);
    EXPECT_NE(ArchiveErrorOf([&] { LoadObject(knownClass.str()); }), -1);

    // A backup scheme that is none of the three is damage, not "no backup".
    EXPECT_EQ(LoadObject(ProjectBytes("d", "p", "s", 1, 0, {}, 1, ",", 1, 2, 1))->m_nBackupScheme, 2u);
    EXPECT_EQ(ArchiveErrorOf([&] { LoadObject(ProjectBytes("d", "p", "s", 1, 0, {}, 1, ",", 1, 3, 1)); }),
              CArchiveException::badIndex);
    EXPECT_NE(ArchiveErrorOf([&] { LoadObject(ProjectBytes("d", "p", "s", 1, 0, {}, 1, ",", 1, 0xFFFFFFFF, 1)); }),
              -1);

    // An extension count far beyond the data.
    std::string huge = ProjectBytes("d", "p", "s", 1, 0, {}, 1, ",", 1, 0, 1);
    const size_t countOffset = 22 + 2 + 2 + 2 + 8;
    huge[countOffset] = huge[countOffset + 1] = huge[countOffset + 2] = huge[countOffset + 3] = '\xFF';
    EXPECT_NE(ArchiveErrorOf([&] { LoadObject(huge); }), -1);
}

// The file the user opens: each cause of a refusal is told apart, damage from a version the
// program does not know, and a file that is fine from a site that is gone.
TEST_F(ProjectSettingsTest, AProjectFileIsReadOrRefusedForItsOwnCause)
{
    using Outcome = CProjectSettings::FileReading::Outcome;
    const std::filesystem::path site = TempDir() / "site";
    std::filesystem::create_directories(site);
    const std::string good = ProjectBytes(site.string(), "p.vsp", "s.vsl", 1, 0, {".htm"}, 1, ",", 1, 0, 1);
    const auto read = [&](const std::string& bytes, CProjectSettings& settings) {
        const std::filesystem::path file = TempDir() / "project.vsp";
        WriteFileBytes(file, bytes);
        return settings.ReadFromFile(file.c_str());
    };
    CProjectSettings settings;
    EXPECT_EQ(read(good, settings).outcome, Outcome::Read);
    EXPECT_STREQ(settings.m_strProjectDirectory, site.c_str());

    // Cut anywhere, the file is a damaged project file, and the settings stay as they were.
    for (size_t nLength = 0; nLength < good.size(); ++nLength) {
        CProjectSettings kept;
        kept.m_strProjectDirectory = "/kept";
        EXPECT_EQ(read(good.substr(0, nLength), kept).outcome, Outcome::Damaged) << nLength;
        EXPECT_STREQ(kept.m_strProjectDirectory, "/kept");
    }
    // A backup scheme no project has, after a header that is right.
    EXPECT_EQ(read(ProjectBytes(site.string(), "p", "s", 1, 0, {}, 1, ",", 1, 7, 1), settings).outcome,
              Outcome::Damaged);
    // Bytes of no project file: text, a picture's, the settings file's own form.
    for (const std::string& bytes : {std::string("this is no project at all\n"),
                                     std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\xFF\xFF\x02\0", 20),
                                     ReadFileBytes(TestDataDir() / "all_types.vsl")}) {
        EXPECT_EQ(read(bytes, settings).outcome, Outcome::NotAProjectFile) << bytes.substr(0, 16);
    }

    // A well-formed file of another format, older or newer, is a version, told with its number.
    for (const char nSchema : {'\x01', '\x03'}) {
        std::string other = good;
        other[2] = nSchema;
        const CProjectSettings::FileReading reading = read(other, settings);
        EXPECT_EQ(reading.outcome, Outcome::OtherVersion);
        EXPECT_EQ(reading.nSchema, static_cast<UINT>(nSchema));
    }

    // The file is read, but the folder it names is gone (or is a file now).
    std::filesystem::remove(site);
    EXPECT_EQ(read(good, settings).outcome, Outcome::FolderMissing);
    EXPECT_STREQ(settings.m_strProjectDirectory, site.c_str());
    WriteFileBytes(site, "a file where the folder was");
    EXPECT_EQ(read(good, settings).outcome, Outcome::FolderMissing);

    // A path longer than the file system allows, as a whole or in one of its names, and a file
    // that is not there.
    const std::string longName = (TempDir() / (std::string(300, 'n') + ".vsp")).string();
    std::string longPath = TempDir().string();
    while (longPath.size() < 10000)
        longPath += "/" + std::string(99, 'd');
    for (const std::string& path : {longName, longPath + "/project.vsp"}) {
        EXPECT_EQ(settings.ReadFromFile(path.c_str()).outcome, Outcome::PathTooLong) << path.size();
    }
    const CProjectSettings::FileReading missing = settings.ReadFromFile((TempDir() / "none.vsp").c_str());
    EXPECT_EQ(missing.outcome, Outcome::CannotOpen);
    EXPECT_EQ(missing.nFileCause, CFileException::fileNotFound);
}

TEST_F(ProjectSettingsTest, LoadingIntoAnObjectChangesNothingOnFailure)
{
    CProjectSettings settings;
    settings.m_strProjectDirectory = "/kept";
    const std::string good = ReadFileBytes(TestDataDir() / "project_custom.vsp");
    const std::string body = good.substr(22, good.size() - 22 - 6);
    EXPECT_NE(ArchiveErrorOf([&] { LoadBytes(body, [&](CArchive& ar) { settings.Serialize(ar); }); }), -1);
    EXPECT_STREQ(settings.m_strProjectDirectory, "/kept");
    EXPECT_EQ(settings.m_FileExtensions.GetCount(), 4);
}

TEST_F(ProjectSettingsTest, CopyAndCompare)
{
    CProjectSettings a, b;
    EXPECT_TRUE(a.IsEqual(b));
    a.m_FileExtensions.AddTail(".php");
    EXPECT_FALSE(a.IsEqual(b));
    a.SetModified(1);
    a.SetUpperCase(0);
    a.SetSettingsFilePath("/x.vsl");
    b.CopyFrom(a);
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_EQ(b.IsModified(), 0u);
    EXPECT_EQ(b.GetUpperCase(), 0u);
    b.SetProjectFilePath("/p.vsp");
    EXPECT_FALSE(a.IsEqual(b));
}

TEST_F(ProjectSettingsTest, ProfileValuesKeepTheirStoredNames)
{
    CProjectSettings settings;
    settings.m_strProjectDirectory = "/srv/site";
    settings.m_bAutoScan = 0;
    settings.m_bKeywordExtractor = 1;
    settings.m_nBackupScheme = 1;
    settings.m_strListSeparator = ";";
    settings.SaveToProfile();

    const char* section = "Project Settings";
    EXPECT_STREQ(m_profile.GetProfileString(section, "Project Directory", "none"), "/srv/site");
    EXPECT_EQ(m_profile.GetProfileInt(section, "Auto Scan", 7), 0u);
    EXPECT_EQ(m_profile.GetProfileInt(section, "Enable Keywords Extrator", 7), 1u);
    EXPECT_EQ(m_profile.GetProfileInt(section, "Show All Found Metatags", 7), 1u);
    EXPECT_STREQ(m_profile.GetProfileString(section, "List Separator", "none"), ";");
    EXPECT_EQ(m_profile.GetProfileInt(section, "Show Title", 7), 1u);
    EXPECT_EQ(m_profile.GetProfileInt(section, "Backup Scheme", 7), 1u);
    EXPECT_EQ(m_profile.GetProfileInt(section, "Freeze File Column", 7), 1u);
    EXPECT_STREQ(m_profile.GetProfileString(section, "FileExtension1", ""), ".htm");
    EXPECT_STREQ(m_profile.GetProfileString(section, "FileExtension4", ""), ".shtml");

    CProjectSettings loaded;
    loaded.m_strProjectDirectory = "/replaced";
    loaded.LoadFromProfile();
    EXPECT_TRUE(loaded.IsEqual(settings));
}

TEST_F(ProjectSettingsTest, SavingFewerExtensionsRemovesTheRest)
{
    const char* section = "Project Settings";
    for (int i = 1; i <= 5; ++i) {
        CString name;
        name.Format("FileExtension%d", i);
        m_profile.WriteProfileString(section, name, ".old");
    }
    CProjectSettings settings;
    settings.m_FileExtensions.RemoveAll();
    for (const char* ext : {".a", ".b", ".c"})
        settings.m_FileExtensions.AddTail(ext);
    settings.SaveToProfile();
    EXPECT_STREQ(m_profile.GetProfileString(section, "FileExtension3", ""), ".c");
    EXPECT_STREQ(m_profile.GetProfileString(section, "FileExtension4", "gone"), "gone");
    EXPECT_STREQ(m_profile.GetProfileString(section, "FileExtension5", "gone"), "gone");

    CProjectSettings loaded;
    loaded.LoadFromProfile();
    EXPECT_EQ(ToVector(loaded.m_FileExtensions), (std::vector<std::string>{".a", ".b", ".c"}));
}

TEST_F(ProjectSettingsTest, ProfileWithoutExtensionsKeepsTheDefaults)
{
    m_profile.WriteProfileInt("Project Settings", "Backup Scheme", 2);
    m_profile.WriteProfileString("Project Settings", "Project Directory", "/not/used/as/default");
    CProjectSettings settings;
    settings.m_bShowTitle = 0;
    settings.LoadFromProfile();
    EXPECT_EQ(settings.m_FileExtensions.GetCount(), 4);
    EXPECT_EQ(settings.m_nBackupScheme, 2u);
    EXPECT_EQ(settings.m_bShowTitle, 0u);
    EXPECT_STREQ(settings.m_strProjectDirectory, "/not/used/as/default");

    m_profile.WriteProfileString("Project Settings", "Project Directory", nullptr);
    settings.m_strProjectDirectory = "/current";
    settings.LoadFromProfile();
    EXPECT_TRUE(settings.m_strProjectDirectory.IsEmpty());
}

} // namespace
