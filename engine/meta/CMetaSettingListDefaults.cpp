// The built-in default catalogue of CMetaSettingList.
#include "engine/meta/CMetaClassificationSetting.h"
#include "engine/meta/CMetaComboMultiSelSetting.h"
#include "engine/meta/CMetaComboSingleSelSetting.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "engine/meta/CMetaKeywordsSetting.h"
#include "engine/meta/CMetaPragmaSetting.h"
#include "engine/meta/CMetaRefreshSetting.h"
#include "engine/meta/CMetaRichEditSetting.h"
#include "engine/meta/CMetaSListSetting.h"
#include "engine/meta/CMetaSettingList.h"

#include <initializer_list>
#include <memory>

namespace {

// The apostrophe of the two descriptions that use the typographic one, in UTF-8.
#define RSQUO "\xE2\x80\x99"

enum class Form { Name, HttpEquiv };

struct DefaultRow {
    LPCTSTR name;
    UINT type;
    Form form;
    LPCTSTR description;
    LPCTSTR dateFormat;                          // Date rows only; null keeps the type's default
    std::initializer_list<LPCTSTR> options;      // list rows only
};

const DefaultRow kDefaultRows[] = {
    {"Author", kMetaTypeComboMultiSel, Form::Name, "This indicates the name of the page" RSQUO "s author.", nullptr, {}},
    {"Generator", kMetaTypeComboSingleSel, Form::Name,
     "This indicates the program used to generate this document. It is often the name of the HTML editor used.",
     nullptr, {}},
    {"Keywords", kMetaTypeKeywords, Form::Name,
     "Provides keywords for search engines such as Infoseek or Alta Vista. These are added to the keywords found "
     "in the document itself.",
     nullptr, {}},
    {"Expires", kMetaTypeDate, Form::HttpEquiv,
     "This tells the browser the date and time when the document will be considered \"expired.\" If a user is "
     "using Netscape Navigator, a request for a document whose time has \"expired\" will initiate a new network "
     "request for the document. An illegal Expires date such as \"0\" is interpreted by the browser as "
     "\"immediately.\" Dates must be in the RFC850 format, (GMT format)",
     "ddd, dd MMM yyyy HH:mm:ss 'GMT'", {}},
    {"Description", kMetaTypeEdit, Form::Name,
     "Search engines which support the above tag will now display the text you specify here, rather than the "
     "first few lines of text from the actual document when the document shows up in a search result. You have "
     "about 1,000 characters for your description, but not all these will be used.",
     nullptr, {}},
    {"Pragma", kMetaTypePragma, Form::HttpEquiv,
     "This is another way to control browser caching. To use this tag, the value must be \"no-cache\". When this "
     "is included in a document, it prevents the browser from caching a page locally.",
     nullptr, {}},
    {"Refresh", kMetaTypeRefresh, Form::HttpEquiv,
     "This tag specifies the time in seconds before the Web browser reloads the document automatically. "
     "Alternatively, it can specify a different URL for the browser to load.",
     nullptr, {}},
    {"Set Cookie", kMetaTypeRichEdit, Form::HttpEquiv,
     "This is one method of setting a \"cookie\" in the user" RSQUO "s Web browser. If you use an expiration "
     "date, the cookie is considered permanent and will be saved to disk (until it expires), otherwise it will be "
     "considered valid only for the current session and will be erased upon closing the Web browser.",
     nullptr, {}},
    {"Window-target", kMetaTypeComboSingleSel, Form::HttpEquiv,
     "This one specifies the \"named window\" of the current page, and can be used to prevent a page from "
     "appearing inside another framed page. Usually this means that the Web browser will force the page to go the "
     "top frameset.",
     nullptr, {}},
    {"Robots", kMetaTypeComboMultiSel, Form::Name,
     "Tells visiting spiders how to index the current page. The default for the robot attribute is \"all\". This "
     "would allow all of the files to be indexed. \"None\" would tell the spider not to index any files, and not "
     "to follow the hyperlinks on the page to other pages. \"Index\" indicates that this page may be indexed by "
     "the spider, while \"follow\" would mean that the spider is free to follow the links from this page to other "
     "pages.",
     nullptr, {"all", "none", "index", "noindex", "follow", "nofollow"}},
    {"revisit-after", kMetaTypeComboSingleSel, Form::Name,
     "Use to inform a visting spider when it should return to re-index the page.", nullptr, {}},
    {"PICS", kMetaTypeRichEdit, Form::HttpEquiv, "PICS Description", nullptr, {}},
    {"Rating", kMetaTypeComboSingleSel, Form::Name,
     "The minimum age in years that a person should be to view the contents of the page. ", nullptr, {}},
    {"Reply to", kMetaTypeEdit, Form::Name, "The email address of the contact person for the document. ", nullptr, {}},
    {"Copyright", kMetaTypeEdit, Form::Name, "Provides a copyright notice for the page.", nullptr, {}},
    {"Language", kMetaTypeComboSingleSel, Form::Name, "Language Desc", nullptr, {}},
    {"dc.title", kMetaTypeEdit, Form::Name, "The name given to the resource, usually by the Creator or Publisher.",
     nullptr, {}},
    {"dc.alttitle", kMetaTypeEdit, Form::Name,
     "The name given to the resource, usually by the Creator or Publisher.", nullptr, {}},
    {"dc.creator", kMetaTypeComboMultiSel, Form::Name,
     "The person or organization primarily responsible for creating the intellectual content of the resource.",
     nullptr, {}},
    {"dc.keywords", kMetaTypeKeywords, Form::Name,
     "The topic of the resource. Typically, subject will be expressed as keywords or phrases that describe the "
     "subject or content of the resource.",
     nullptr, {}},
    {"dc.subject", kMetaTypeEdit, Form::Name,
     "The topic of the resource. Typically, subject will be expressed as keywords or phrases that describe the "
     "subject or content of the resource.",
     nullptr, {}},
    {"dc.description", kMetaTypeEdit, Form::Name,
     "A textual description of the content of the resource, including abstracts in the case of document-like "
     "objects or content descriptions in the case of visual resources.",
     nullptr, {}},
    {"dc.publisher", kMetaTypeEdit, Form::Name,
     "The entity responsible for making the resource available in its present form, such as a publishing house, "
     "a university department, or a corporate entity.",
     nullptr, {}},
    {"dc.publisherAddress", kMetaTypeEdit, Form::Name, "The address of the document's publisher.", nullptr, {}},
    {"dc.date", kMetaTypeDate, Form::Name,
     "A date associated with the creation or availability of the resource. Recommended best practice follows "
     "the ISO 8601 profile described at http://www.w3.org/TR/NOTE-datetime, which gives a date as YYYY or "
     "YYYY-MM-DD (for example 1997 or 1997-07-16).",
     nullptr, {}},
    {"dc.type", kMetaTypeComboSingleSel, Form::Name,
     "The category of the resource, such as home page, novel, poem, working paper, technical report, essay, "
     "dictionary.",
     nullptr, {"text", "image", "sound", "dataset", "software", "interactive", "event", "physical object"}},
    {"dc.format", kMetaTypeEdit, Form::Name,
     "The data format of the resource, used to identify the software and possibly hardware that might be needed "
     "to display or operate the resource.",
     nullptr, {}},
    {"dc.identifier", kMetaTypeEdit, Form::Name,
     "A string or number used to uniquely identify the resource. Examples for networked resources include URLs "
     "and URNs (when implemented). Other globally-unique identifiers, such as International Standard Book "
     "Numbers (ISBN) or other formal names are also candidates for this element.",
     nullptr, {}},
    {"dc.source", kMetaTypeEdit, Form::Name,
     "Information about a second resource from which the present resource is derived. While it is generally "
     "recommended that elements contain information about the present resource only, this element may contain a "
     "date, creator, format, identifier, or other metadata for the second resource when it is considered "
     "important for discovery of the present resource; recommended best practice is to use the Relation element "
     "instead.",
     nullptr, {}},
    {"dc.language", kMetaTypeComboSingleSel, Form::Name,
     "The language of the intellectual content of the resource. Recommended best practice uses the language tags "
     "of RFC 1766 (http://www.ietf.org/rfc/rfc1766.txt), such as en for English, de for German or fr for French.",
     nullptr, {}},
    {"dc.relation", kMetaTypeEdit, Form::Name,
     "An identifier of a second resource and its relationship to the present resource. This element permits "
     "links between related resources and resource descriptions to be indicated. Examples include an edition of "
     "a work (IsVersionOf), a translation of a work (IsBasedOn), a chapter of a book (IsPartOf), and a mechanical "
     "transformation of a dataset into an image (IsFormatOf).",
     nullptr, {}},
    {"dc.lastmodified", kMetaTypeDate, Form::HttpEquiv,
     "Date the information was input or last modified. Dates are expressed as YYYY/MM/DD.", nullptr, {}},
    {"dc.rights", kMetaTypeEdit, Form::Name,
     "A rights management statement, an identifier that links to a rights management statement, or an identifier "
     "that links to a service providing information about rights management for the resource.",
     nullptr, {}},
    {"originator", kMetaTypeComboSingleSel, Form::Name,
     "The originator identifies the governmental authority responsible for the information. This field will be "
     "used to consistently identify information generated by that originator. Searchers should be able to "
     "consistently retrieve potentially relevant items by searching under the name of the originator. State "
     "agency participants should use designations consistent with the SCAN directory. Do not use abbreviations.",
     nullptr, {}},
    {"originatorJurisdiction", kMetaTypeComboSingleSel, Form::Name, "The originator jurisdiction", nullptr, {}},
    {"originatorDepartment", kMetaTypeComboSingleSel, Form::Name, "The originator department", nullptr, {}},
    {"originatorDivision", kMetaTypeComboSingleSel, Form::Name, "The originator division", nullptr, {}},
    {"originatorSection", kMetaTypeComboSingleSel, Form::Name, "The originator section.", nullptr, {}},
    {"originatorOffice", kMetaTypeComboSingleSel, Form::Name, "The originator office.", nullptr, {}},
    {"createDate", kMetaTypeDate, Form::HttpEquiv,
     "Date information resource was created. Dates are expressed as YYYY/MM/DD.", nullptr, {}},
    {"dateofLastModification", kMetaTypeDate, Form::HttpEquiv,
     "Date the information was input or last modified. Dates are expressed as YYYY/MM/DD.", nullptr, {}},
    {"timePeriodTextual", kMetaTypeEdit, Form::Name,
     "Briefly describe the time period covered by the content of the resource being described.", nullptr, {}},
    {"medium", kMetaTypeComboSingleSel, Form::Name,
     "The text description of the physical file or formats in which the resource is available", nullptr, {}},
    {"govType", kMetaTypeComboSingleSel, Form::Name,
     "Text field, select a category which most closely matches the originating body or the audience for the "
     "information",
     nullptr, {"city", "town", "county", "state", "multi-jurisdiction", "district", "regional"}},
    {"subject", kMetaTypeClassification, Form::Name, "Subjects Description", nullptr, {}},
    {"contactName", kMetaTypeComboSingleSel, Form::Name, "Person or unit who is responsible for information",
     nullptr, {}},
    {"contactOrganization", kMetaTypeComboSingleSel, Form::Name, "This contact person's organization.", nullptr, {}},
    {"contactStreetAddress1", kMetaTypeEdit, Form::Name, "This contact person's address.", nullptr, {}},
    {"contactStreetAddress2", kMetaTypeEdit, Form::Name, "This contact person's address.", nullptr, {}},
    {"contactCity", kMetaTypeEdit, Form::Name, "This contact person's city.", nullptr, {}},
    {"contactState", kMetaTypeComboSingleSel, Form::Name, "This contact person's state or province.", nullptr,
     // The postal codes of the states and of the District of Columbia, in alphabetical order.
     {"AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA", "ID", "IL", "IN", "KS",
      "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV",
      "NY", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY"}},
    {"contactZipcode", kMetaTypeEdit, Form::Name, "This contact person's zip code.", nullptr, {}},
    {"contactPhoneNumber", kMetaTypeEdit, Form::Name, "This contact person's phone number.", nullptr, {}},
    {"contactFaxNumber", kMetaTypeEdit, Form::Name, "This contact person's fax number.", nullptr, {}},
    {"contactNetworkAddress", kMetaTypeEdit, Form::Name, "This contact person's email address.", nullptr, {}},
    {"originalControlIdentifier", kMetaTypeEdit, Form::Name,
     "Unique control number assigned by the originating agency.", nullptr, {}},
    {"accessConstraints", kMetaTypeEdit, Form::Name, "Statement describing the access allowed by a citizen",
     nullptr, {}},
    {"agencyProgram", kMetaTypeComboSingleSel, Form::Name,
     "Identifies the official name for an agency program or mission supported by the information. May correspond "
     "to the program budget name within the unit of government.",
     nullptr, {}},
    {"linkage", kMetaTypeEdit, Form::Name,
     "Use this tag if you wish to provide a URL which references another source for information on the same "
     "topic.",
     nullptr, {}},
    {"note", kMetaTypeEdit, Form::Name,
     "Space to add any supplemental information that may be helpful to the searcher.", nullptr, {}},
};

#undef RSQUO

std::unique_ptr<CMetaSetting> MakeDefault(const DefaultRow& row)
{
    std::unique_ptr<CMetaSetting> pSetting;
    CStringListWrapper* pOptions = nullptr;
    switch (row.type) {
    case kMetaTypeEdit: pSetting = std::make_unique<CMetaEditSetting>(); break;
    case kMetaTypeRichEdit: pSetting = std::make_unique<CMetaRichEditSetting>(); break;
    case kMetaTypeKeywords: pSetting = std::make_unique<CMetaKeywordsSetting>(); break;
    case kMetaTypeRefresh: pSetting = std::make_unique<CMetaRefreshSetting>(); break;
    case kMetaTypePragma: pSetting = std::make_unique<CMetaPragmaSetting>(); break;
    case kMetaTypeClassification: pSetting = std::make_unique<CMetaClassificationSetting>(); break;
    case kMetaTypeDate: {
        auto pDate = std::make_unique<CMetaDateSetting>();
        if (row.dateFormat != nullptr)
            pDate->m_strFormat = row.dateFormat;
        pSetting = std::move(pDate);
        break;
    }
    case kMetaTypeComboMultiSel: {
        auto pMulti = std::make_unique<CMetaComboMultiSelSetting>();
        pOptions = &pMulti->m_Options;
        pSetting = std::move(pMulti);
        break;
    }
    case kMetaTypeComboSingleSel: {
        auto pSingle = std::make_unique<CMetaComboSingleSelSetting>();
        pOptions = &pSingle->m_Options;
        pSetting = std::move(pSingle);
        break;
    }
    case kMetaTypeSList: {
        auto pList = std::make_unique<CMetaSListSetting>();
        pOptions = &pList->m_Options;
        pSetting = std::move(pList);
        break;
    }
    default: return nullptr;
    }
    for (LPCTSTR option : row.options)
        if (pOptions != nullptr)
            pOptions->AddTail(option);
    pSetting->SetName(row.name);
    pSetting->SetDescription(row.description);
    pSetting->SetHttpEquiv(row.form == Form::HttpEquiv ? 1 : 0);
    // The types that know their tag (Keywords, Pragma, Refresh) keep the fixed marks their
    // constructors give them; every other default row may be changed freely.
    if (row.type != kMetaTypeKeywords && row.type != kMetaTypePragma && row.type != kMetaTypeRefresh) {
        pSetting->SetFixed(0);
        pSetting->SetNameFixed(0);
    }
    // A new Keywords, Refresh, Pragma or Date setting made in the catalogue editor starts shown,
    // as its constructor says, but the default catalogue starts with no column at all: the grid
    // shows what a scan finds, and an unshown catalogue is what every row of the table gives.
    pSetting->SetShow(0);
    return pSetting;
}

} // namespace

void CMetaSettingList::SetDefaults()
{
    DeleteAll();
    m_strFilePath.Empty();
    for (const DefaultRow& row : kDefaultRows) {
        std::unique_ptr<CMetaSetting> pSetting = MakeDefault(row);
        if (pSetting)
            AddTail(pSetting.release());
    }
}
