#include "engine/project/CScanNameLookup.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <cstring>

CScanNameLookup::CScanNameLookup(CMetaSettingList& catalogue) : m_catalogue(catalogue) {}

CScanNameLookup::~CScanNameLookup() = default;

std::string CScanNameLookup::Key(const CString& strName)
{
    const char* psz = strName.GetString();
    std::string key(psz, std::strlen(psz));
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

void CScanNameLookup::IndexSettings()
{
    m_settings.byName.clear();
    for (POSITION pos = m_catalogue.GetHeadPosition(); pos != nullptr;) {
        CMetaSetting* pSetting = m_catalogue.GetNext(pos);
        // The first of two settings of one name is the one found, as in the list.
        if (pSetting != nullptr)
            m_settings.byName.emplace(Key(pSetting->Name()), pSetting);
    }
    m_settings.nLength = m_catalogue.GetCount();
    m_bSettingsIndexed = true;
}

CMetaSetting* CScanNameLookup::FindSetting(const CString& strName)
{
    if (!m_bSettingsIndexed || m_settings.nLength != m_catalogue.GetCount())
        IndexSettings();
    const auto found = m_settings.byName.find(Key(strName));
    return found != m_settings.byName.end() ? found->second : nullptr;
}

void CScanNameLookup::AddSetting(std::unique_ptr<CMetaSetting> pSetting)
{
    CMetaSetting* p = pSetting.get();
    m_catalogue.AddTail(pSetting.release());
    if (m_bSettingsIndexed && m_settings.nLength + 1 == m_catalogue.GetCount()) {
        m_settings.byName.emplace(Key(p->Name()), p);
        m_settings.nLength = m_catalogue.GetCount();
    }
}

CMetaContent* CScanNameLookup::FindContent(const CMetaContentList& list, const CString& strName)
{
    const INT_PTR nLength = list.GetCount();
    if (nLength < kIndexedLength) {
        CMetaContent* pContent = nullptr;
        return list.FindByName(strName, pContent) == 0 ? pContent : nullptr;
    }
    Index<CMetaContent>& index = m_contents[&list];
    if (index.nLength != nLength) {
        index.byName.clear();
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
            CMetaContent* pContent = list.GetNext(pos);
            if (pContent != nullptr)
                index.byName.emplace(Key(pContent->GetName()), pContent);
        }
        index.nLength = nLength;
    }
    const auto found = index.byName.find(Key(strName));
    return found != index.byName.end() ? found->second : nullptr;
}

void CScanNameLookup::AddContent(CMetaContentList& list, std::unique_ptr<CMetaContent> pContent)
{
    CMetaContent* p = pContent.get();
    list.AddTail(pContent.release());
    const auto indexed = m_contents.find(&list);
    if (indexed != m_contents.end() && indexed->second.nLength + 1 == list.GetCount()) {
        indexed->second.byName.emplace(Key(p->GetName()), p);
        indexed->second.nLength = list.GetCount();
    }
}
