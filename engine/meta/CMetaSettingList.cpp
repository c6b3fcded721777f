#include "engine/meta/CMetaSettingList.h"

#include "engine/meta/IMetaDialogs.h"
#include "engine/project/CVostrelAppModel.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/CArchive.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/CMemFile.h"
#include "platform/core/ResourceTable.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

IMPLEMENT_SERIAL(CMetaSettingList, CObList, 1)

namespace {

constexpr LPCTSTR kSettingsFilter = "Metatag Setting Files (*.vsl)|*.vsl|All Files (*.*)|*.*||";
constexpr UINT kArchiveBufferSize = 4096;
// New settings files get the usual permissions, narrowed by the user's umask.
constexpr unsigned kNewFileMode = 0666;

// The text that names the settings of one name, in the engine's resources (res/engine.rc).
constexpr UINT kIdsRepeatedNames = 62523;

// Two settings of one name (tags are matched without regard to case) cannot both hold a page's
// tag: the user is told which names are repeated, at once, rather than meeting a column that
// stays empty.
void TellRepeatedNames(const CMetaSettingList& list, const CString& strPath, IMetaDialogs& dialogs)
{
    std::vector<std::pair<CString, int>> names;   // each name as first spelt, and its count
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const CString& strName = list.GetNext(pos)->Name();
        auto found = std::find_if(names.begin(), names.end(),
                                  [&](const auto& name) { return name.first.CompareNoCase(strName) == 0; });
        if (found == names.end())
            names.emplace_back(strName, 1);
        else
            ++found->second;
    }
    CString strLines;
    for (const auto& [strName, nCount] : names) {
        if (nCount < 2)
            continue;
        CString strLine;
        strLine.Format("'%s': %d settings\n", strName.GetString(), nCount);
        strLines += strLine;
    }
    if (strLines.IsEmpty())
        return;
    char szFormat[1024] = {};
    LoadString(FindResourceModule("engine"), kIdsRepeatedNames, szFormat, static_cast<int>(sizeof szFormat));
    const int nSlash = strPath.ReverseFind('/');
    CString strText;
    strText.Format(szFormat, strPath.Mid(nSlash + 1).GetString(), strLines.GetString());
    dialogs.ShowMessage(kIdsRepeatedNames, strText);
}

CString ExceptionText(const CException& e)
{
    char szMessage[1024] = {};
    if (!e.GetErrorMessage(szMessage, sizeof(szMessage)))
        return CString("Unknown error message.");
    return CString(szMessage);
}

} // namespace

CMetaSettingList::CMetaSettingList(BOOL bOwnsItems)
    : CTypedPtrList<CObList, CMetaSetting*>(10), m_bOwnsItems(bOwnsItems)
{
}

CMetaSettingList::~CMetaSettingList()
{
    DeleteAll();
}

void CMetaSettingList::DeleteAll()
{
    if (!m_bOwnsItems) {
        RemoveAll();
        return;
    }
    while (!IsEmpty())
        delete RemoveHead();
}

void CMetaSettingList::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(GetCount());
        for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
            CMetaSetting* pSetting = GetNext(pos);
            ar << static_cast<DWORD>(pSetting->Type());
            pSetting->Serialize(ar);
        }
        return;
    }

    CMetaSettingList prototypes(TRUE);
    GetAppModel().CopySettingPrototypes(prototypes);

    // Everything is read into a list of its own first: a file that turns out bad half-way
    // must not cost the user the catalogue the list held.
    CMetaSettingList loaded(TRUE);
    DWORD nCount = 0;
    ar >> nCount;
    // Settings are made one by one as their data arrives; a count larger than the data runs
    // into the end of the archive, not into a large allocation.
    for (DWORD i = 0; i < nCount; ++i) {
        DWORD nType = 0;
        ar >> nType;
        const CMetaSetting* pPrototype = nullptr;
        if (nType <= kMetaTypeMax) {
            for (POSITION pos = prototypes.GetHeadPosition(); pos != nullptr && pPrototype == nullptr;) {
                const CMetaSetting* pCandidate = prototypes.GetNext(pos);
                if (pCandidate->Type() == nType)
                    pPrototype = pCandidate;
            }
        }
        if (pPrototype == nullptr)
            AfxThrowArchiveException(CArchiveException::genericException);
        std::unique_ptr<CMetaSetting> pSetting = pPrototype->Clone();
        if (!pSetting)
            AfxThrowArchiveException(CArchiveException::genericException);
        pSetting->Serialize(ar);
        // The data repeats the type id; a setting whose data claims another type than the
        // object made for it would later be taken for a type it is not.
        if (pSetting->Type() != nType)
            AfxThrowArchiveException(CArchiveException::genericException);
        // A type whose tag has one form of its own (Refresh and Pragma work only as
        // HTTP-EQUIV) takes it back from a file saved before that form was kept: a Refresh
        // written as a NAME tag would be lost on browsers.
        UINT bFixedForm = 0;
        pPrototype->GetFixed(bFixedForm);
        if (bFixedForm != 0) {
            UINT bHttpEquiv = 0;
            pPrototype->GetHttpEquiv(bHttpEquiv);
            pSetting->SetHttpEquiv(bHttpEquiv);
            pSetting->SetFixed(1);
        }
        loaded.AddTail(pSetting.release());
    }

    DeleteAll();
    while (!loaded.IsEmpty())
        AddTail(loaded.RemoveHead());
}

void CMetaSettingList::CopyFrom(const CMetaSettingList& other)
{
    if (&other == this)
        return;
    DeleteAll();
    for (POSITION pos = other.GetHeadPosition(); pos != nullptr;) {
        const CMetaSetting* pSource = other.GetNext(pos);
        std::unique_ptr<CMetaSetting> pCopy = pSource->Clone();
        if (!pCopy)
            continue;
        pCopy->CopyFrom(pSource);
        AddTail(pCopy.release());
    }
    m_strFilePath = other.m_strFilePath;
    m_bOwnsItems = other.m_bOwnsItems;
    m_nNextColumn = other.m_nNextColumn;
}

UINT CMetaSettingList::FindByName(const CString& strName, CMetaSetting*& pSetting) const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pCandidate = GetNext(pos);
        if (pCandidate->Name().CompareNoCase(strName) == 0) {
            pSetting = pCandidate;
            return 0;
        }
    }
    return 1;
}

UINT CMetaSettingList::CreateFromType(const CString& strTypeName, CMetaSetting*& pSetting) const
{
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        const CMetaSetting* pCandidate = GetNext(pos);
        CString strCandidate;
        if (pCandidate->GetTypeName(strCandidate) != 0 || strCandidate.CompareNoCase(strTypeName) != 0)
            continue;
        std::unique_ptr<CMetaSetting> pClone = pCandidate->Clone();
        if (!pClone)
            return 1;
        pSetting = pClone.release();
        return 0;
    }
    return 1;
}

UINT CMetaSettingList::ReplaceSetting(CMetaSetting* pOld, CMetaSetting* pNew)
{
    POSITION pos = pOld != nullptr ? Find(pOld) : nullptr;
    if (pos == nullptr)
        return 1;
    RemoveAt(pos);
    AddTail(pNew);
    // A setting replaced by itself only moves to the end; deleting it would leave the list
    // pointing at freed memory.
    if (m_bOwnsItems && pOld != pNew)
        delete pOld;
    return 0;
}

UINT CMetaSettingList::RemoveSetting(CMetaSetting* pSetting)
{
    POSITION pos = pSetting != nullptr ? Find(pSetting) : nullptr;
    if (pos == nullptr)
        return 1;
    RemoveAt(pos);
    return 0;
}

UINT CMetaSettingList::GetShownCount() const
{
    UINT nShown = 0;
    for (POSITION pos = GetHeadPosition(); pos != nullptr;) {
        if (GetNext(pos)->IsShown())
            ++nShown;
    }
    return nShown;
}

BOOL CMetaSettingList::IsEqual(const CMetaSettingList& other) const
{
    if (GetCount() != other.GetCount())
        return FALSE;
    POSITION posThis = GetHeadPosition();
    POSITION posOther = other.GetHeadPosition();
    while (posThis != nullptr && posOther != nullptr) {
        if (!GetNext(posThis)->IsEqual(other.GetNext(posOther)))
            return FALSE;
    }
    return TRUE;
}

UINT CMetaSettingList::Load(BOOL bAsk)
{
    IMetaDialogs& dialogs = GetAppModel().GetDialogs();
    // The chosen file becomes the list's file only once it has been read: a list that kept its
    // settings after a failed load must not be saved over the file that failed.
    CString strPath = m_strFilePath;
    if (bAsk && !dialogs.AskOpenFileName("Open Metatag Settings", kSettingsFilter, strPath))
        return 1;

    CFile file;
    CFileException openError;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyWrite, &openError)) {
        dialogs.ShowError(ExceptionText(openError));
        return 1;
    }
    try {
        CArchive ar(&file, CArchive::load, kArchiveBufferSize);
        Serialize(ar);
        ar.Close();
    } catch (CArchiveException* e) {
        // A bad or foreign file: the caller says so in its own words (start-up falls back to
        // the default catalogue).
        e->Delete();
        file.Abort();
        return 1;
    } catch (CFileException* e) {
        dialogs.ShowError(ExceptionText(*e));
        e->Delete();
        file.Abort();
        return 1;
    } catch (CMemoryException* e) {
        e->Delete();
        file.Abort();
        return 1;
    }
    file.Abort();
    m_strFilePath = strPath;
    TellRepeatedNames(*this, strPath, dialogs);
    return 0;
}

UINT CMetaSettingList::LoadFromFile(const CString& strPath)
{
    m_strFilePath = strPath;
    return Load(FALSE);
}

UINT CMetaSettingList::SaveToFile(const CString& strPath)
{
    IMetaDialogs& dialogs = GetAppModel().GetDialogs();
    std::string data;
    try {
        CMemFile memFile;
        CArchive ar(&memFile, CArchive::store, kArchiveBufferSize);
        Serialize(ar);
        ar.Close();
        const ULONGLONG nLength = memFile.GetLength();
        data.resize(static_cast<size_t>(nLength));
        memFile.SeekToBegin();
        if (nLength != 0)
            memFile.Read(data.data(), static_cast<UINT>(nLength));
    } catch (CException* e) {
        dialogs.ShowError(ExceptionText(*e));
        e->Delete();
        return 1;
    }

    // The new file replaces the old one only once it is completely on disk.
    const int nErrno = WriteFileAtomically(std::string(strPath.GetString()), data, kNewFileMode);
    if (nErrno != 0) {
        const CFileException error(CFileException::ErrnoToException(nErrno), nErrno, strPath);
        dialogs.ShowError(ExceptionText(error));
        return 1;
    }
    m_strFilePath = strPath;
    m_bModified = 0;
    return 0;
}

UINT CMetaSettingList::SaveAs()
{
    CString strPath = m_strFilePath;
    if (!GetAppModel().GetDialogs().AskSaveFileName("Save As Metatag Settings", ".vsl", kSettingsFilter, strPath))
        return 1;
    return SaveToFile(strPath);
}
