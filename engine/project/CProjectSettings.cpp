#include "engine/project/CProjectSettings.h"

#include "engine/project/CVostrelAppModel.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/CProfileStore.h"
#include "platform/core/WinError.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>

IMPLEMENT_SERIAL(CProjectSettings, CObject, CProjectSettings::kFileSchema)

namespace {

// Value names of the profile section; "Extrator" is how stored profiles spell it.
constexpr LPCTSTR kProjectDirectory = "Project Directory";
constexpr LPCTSTR kAutoScan = "Auto Scan";
constexpr LPCTSTR kFileExtension = "FileExtension";
constexpr LPCTSTR kShowAllFound = "Show All Found Metatags";
constexpr LPCTSTR kListSeparator = "List Separator";
constexpr LPCTSTR kKeywordExtractor = "Enable Keywords Extrator";
constexpr LPCTSTR kShowTitle = "Show Title";
constexpr LPCTSTR kBackupScheme = "Backup Scheme";
constexpr LPCTSTR kFreezeFileColumn = "Freeze File Column";

CString ExtensionValueName(int nIndex)
{
    CString strName;
    strName.Format("%s%d", kFileExtension, nIndex);
    return strName;
}

// How a project file begins: a new class (0xFFFF), its schema, the length of its name and the
// name. Only the schema may differ in a project file of another version.
constexpr BYTE kNewClassTag[] = {0xFF, 0xFF};
constexpr char kClassName[] = "CProjectSettings";
constexpr UINT kNameLength = sizeof kClassName - 1;
constexpr UINT kHeaderSize = 6 + kNameLength;

// What the first bytes of a file say it is.
enum class Header { ProjectFile, OtherVersion, CutShort, Foreign };

Header ReadHeader(const BYTE* pBytes, UINT nBytes, UINT& nSchema)
{
    BYTE expected[kHeaderSize] = {kNewClassTag[0], kNewClassTag[1], 0, 0, static_cast<BYTE>(kNameLength), 0};
    std::memcpy(expected + 6, kClassName, kNameLength);
    // The schema's two bytes are compared apart.
    const auto same = [&](UINT nFrom, UINT nTo) {
        nTo = nTo < nBytes ? nTo : nBytes;
        return nFrom >= nTo || std::memcmp(pBytes + nFrom, expected + nFrom, nTo - nFrom) == 0;
    };
    if (!same(0, 2) || !same(4, kHeaderSize))
        return Header::Foreign;
    // The first bytes of a project file, and nothing more: the rest of it is missing. An empty
    // file is one too, a project file whose writing never got under way.
    if (nBytes < kHeaderSize)
        return Header::CutShort;
    nSchema = static_cast<UINT>(pBytes[2]) | static_cast<UINT>(pBytes[3]) << 8;
    return nSchema == CProjectSettings::kFileSchema ? Header::ProjectFile : Header::OtherVersion;
}

} // namespace

CProjectSettings::CProjectSettings()
    : m_bFreezeFileColumn(1), m_bShowTitle(1), m_nBackupScheme(0), m_strListSeparator(","), m_bAutoScan(1),
      m_bShowAllFound(1), m_bKeywordExtractor(0), m_bChanged(0), m_bUpperCase(1)
{
    for (LPCTSTR ext : {".htm", ".html", ".shtm", ".shtml"})
        m_FileExtensions.AddTail(ext);
}

void CProjectSettings::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strProjectDirectory << m_strProjectFilePath << m_strSettingsFilePath;
        ar << static_cast<DWORD>(m_bShowAllFound) << static_cast<DWORD>(m_bKeywordExtractor);
        ar << static_cast<DWORD>(m_FileExtensions.GetCount());
        for (POSITION pos = m_FileExtensions.GetHeadPosition(); pos != nullptr;)
            ar << m_FileExtensions.GetNext(pos);
        ar << static_cast<DWORD>(m_bAutoScan);
        ar << m_strListSeparator;
        ar << static_cast<DWORD>(m_bShowTitle) << static_cast<DWORD>(m_nBackupScheme)
           << static_cast<DWORD>(m_bFreezeFileColumn);
        return;
    }

    // Everything is read before anything is taken, so that a file ending early leaves the
    // object as it was.
    CString strDirectory, strProjectFile, strSettingsFile, strSeparator;
    DWORD bShowAllFound = 0, bExtractor = 0, nExtensions = 0, bAutoScan = 0, bShowTitle = 0, nBackup = 0,
          bFreeze = 0;
    CStringListWrapper extensions;
    ar >> strDirectory >> strProjectFile >> strSettingsFile;
    ar >> bShowAllFound >> bExtractor;
    ar >> nExtensions;
    // One string at a time: a count larger than the data runs into the end of the archive.
    for (DWORD i = 0; i < nExtensions; ++i) {
        CString strExtension;
        ar >> strExtension;
        extensions.AddTail(strExtension);
    }
    ar >> bAutoScan;
    ar >> strSeparator;
    ar >> bShowTitle >> nBackup >> bFreeze;
    // Only 0 (backup file), 1 (trash) and 2 (delete) are schemes. Any other number comes from a
    // damaged file, and taking it would quietly save every page without a backup.
    if (nBackup > kBackupDelete)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);

    m_strProjectDirectory = strDirectory;
    m_strProjectFilePath = strProjectFile;
    m_strSettingsFilePath = strSettingsFile;
    m_bShowAllFound = bShowAllFound;
    m_bKeywordExtractor = bExtractor;
    m_FileExtensions.CopyFrom(extensions);
    m_bAutoScan = bAutoScan;
    m_strListSeparator = strSeparator;
    m_bShowTitle = bShowTitle;
    m_nBackupScheme = nBackup;
    m_bFreezeFileColumn = bFreeze;
}

CProjectSettings::FileReading CProjectSettings::ReadFromFile(const CString& strPath)
{
    using Outcome = FileReading::Outcome;
    FileReading reading;
    CFile file;
    CFileException error;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyWrite, &error)) {
        reading.outcome = error.m_lOsError == ERROR_FILENAME_EXCED_RANGE ? Outcome::PathTooLong : Outcome::CannotOpen;
        reading.nFileCause = error.m_cause;
        reading.lOsError = error.m_lOsError;
        return reading;
    }
    Header header = Header::Foreign;
    try {
        // The class header tells a project file of another version, which the archive would
        // refuse as any other foreign file, from damage.
        BYTE bytes[kHeaderSize] = {};
        UINT nBytes = 0;
        for (UINT n = 1; n > 0 && nBytes < kHeaderSize; nBytes += n)
            n = file.Read(bytes + nBytes, kHeaderSize - nBytes);
        header = ReadHeader(bytes, nBytes, reading.nSchema);
        if (header == Header::OtherVersion) {
            reading.outcome = Outcome::OtherVersion;
            return reading;
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load, 4096);
        std::unique_ptr<CObject> pObject(ar.ReadObject(RUNTIME_CLASS(CProjectSettings)));
        ar.Close();
        const auto* pRead = dynamic_cast<const CProjectSettings*>(pObject.get());
        if (pRead == nullptr)
            AfxThrowArchiveException(CArchiveException::badClass, strPath);
        CopyFrom(*pRead);
    } catch (CArchiveException* e) {
        e->Delete();
        reading.outcome = header == Header::Foreign ? Outcome::NotAProjectFile : Outcome::Damaged;
        return reading;
    } catch (CFileException* e) {
        reading.outcome = Outcome::CannotOpen;
        reading.nFileCause = e->m_cause;
        reading.lOsError = e->m_lOsError;
        e->Delete();
        return reading;
    }
    // The folder is the project: without it there is nothing to open.
    // A folder that is there but may not be looked at is the walk's to tell, with its cause.
    struct stat info {};
    if (::stat(m_strProjectDirectory, &info) != 0 ? errno == ENOENT || errno == ENOTDIR : !S_ISDIR(info.st_mode))
        reading.outcome = Outcome::FolderMissing;
    return reading;
}

void CProjectSettings::CopyFrom(const CProjectSettings& other)
{
    if (&other == this)
        return;
    m_bFreezeFileColumn = other.m_bFreezeFileColumn;
    m_bShowTitle = other.m_bShowTitle;
    m_nBackupScheme = other.m_nBackupScheme;
    m_strListSeparator = other.m_strListSeparator;
    m_bAutoScan = other.m_bAutoScan;
    m_strProjectDirectory = other.m_strProjectDirectory;
    m_FileExtensions.CopyFrom(other.m_FileExtensions);
    m_bShowAllFound = other.m_bShowAllFound;
    m_bKeywordExtractor = other.m_bKeywordExtractor;
    m_bUpperCase = other.m_bUpperCase;
    m_strProjectFilePath = other.m_strProjectFilePath;
    m_strSettingsFilePath = other.m_strSettingsFilePath;
}

BOOL CProjectSettings::IsEqual(const CProjectSettings& other) const
{
    return m_FileExtensions.IsEqual(other.m_FileExtensions) && m_bFreezeFileColumn == other.m_bFreezeFileColumn &&
           m_bShowTitle == other.m_bShowTitle && m_nBackupScheme == other.m_nBackupScheme &&
           m_strListSeparator == other.m_strListSeparator && m_bAutoScan == other.m_bAutoScan &&
           m_strProjectDirectory == other.m_strProjectDirectory && m_bShowAllFound == other.m_bShowAllFound &&
           m_bKeywordExtractor == other.m_bKeywordExtractor &&
           m_strProjectFilePath == other.m_strProjectFilePath &&
           m_strSettingsFilePath == other.m_strSettingsFilePath;
}

void CProjectSettings::LoadFromProfile()
{
    const CProfileStore& profile = GetAppModel().GetProfile();
    m_strProjectDirectory = profile.GetProfileString(kProfileSection, kProjectDirectory, "");
    m_bAutoScan = profile.GetProfileInt(kProfileSection, kAutoScan, static_cast<int>(m_bAutoScan));

    CStringListWrapper extensions;
    for (int nIndex = 1;; ++nIndex) {
        const CString strExtension = profile.GetProfileString(kProfileSection, ExtensionValueName(nIndex), "");
        if (strExtension.IsEmpty())
            break;
        extensions.AddTail(strExtension);
    }
    if (!extensions.IsEmpty())
        m_FileExtensions.CopyFrom(extensions);

    m_bShowAllFound = profile.GetProfileInt(kProfileSection, kShowAllFound, static_cast<int>(m_bShowAllFound));
    m_strListSeparator = profile.GetProfileString(kProfileSection, kListSeparator, m_strListSeparator);
    m_bKeywordExtractor = profile.GetProfileInt(kProfileSection, kKeywordExtractor, static_cast<int>(m_bKeywordExtractor));
    m_bShowTitle = profile.GetProfileInt(kProfileSection, kShowTitle, static_cast<int>(m_bShowTitle));
    m_nBackupScheme = profile.GetProfileInt(kProfileSection, kBackupScheme, static_cast<int>(m_nBackupScheme));
    m_bFreezeFileColumn = profile.GetProfileInt(kProfileSection, kFreezeFileColumn, static_cast<int>(m_bFreezeFileColumn));
}

void CProjectSettings::SaveToProfile() const
{
    CProfileStore& profile = GetAppModel().GetProfile();
    profile.WriteProfileString(kProfileSection, kProjectDirectory, m_strProjectDirectory);
    profile.WriteProfileInt(kProfileSection, kAutoScan, static_cast<int>(m_bAutoScan));
    int nIndex = 1;
    for (POSITION pos = m_FileExtensions.GetHeadPosition(); pos != nullptr; ++nIndex)
        profile.WriteProfileString(kProfileSection, ExtensionValueName(nIndex), m_FileExtensions.GetNext(pos));
    // Numbered values left from a longer list would come back at the next load.
    for (;; ++nIndex) {
        const CString strName = ExtensionValueName(nIndex);
        if (profile.GetProfileString(kProfileSection, strName, "").IsEmpty())
            break;
        profile.WriteProfileString(kProfileSection, strName, nullptr);
    }
    profile.WriteProfileInt(kProfileSection, kShowAllFound, static_cast<int>(m_bShowAllFound));
    profile.WriteProfileString(kProfileSection, kListSeparator, m_strListSeparator);
    profile.WriteProfileInt(kProfileSection, kKeywordExtractor, static_cast<int>(m_bKeywordExtractor));
    profile.WriteProfileInt(kProfileSection, kShowTitle, static_cast<int>(m_bShowTitle));
    profile.WriteProfileInt(kProfileSection, kBackupScheme, static_cast<int>(m_nBackupScheme));
    profile.WriteProfileInt(kProfileSection, kFreezeFileColumn, static_cast<int>(m_bFreezeFileColumn));
}
