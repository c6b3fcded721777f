#include "engine/html/CTagTable.h"

#include "engine/html/CAction.h"
#include "engine/html/CAnchorAction.h"
#include "engine/html/CAppletAction.h"
#include "engine/html/CFormAction.h"
#include "engine/html/CLinkAction.h"
#include "engine/html/CMetaAction.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <strings.h>

namespace {

// Sorted by name without case, for the binary search.
const TagEntry s_TagTable[] = {
    {"A", 3, {"HREF", nullptr}, {"TITLE", nullptr}, nullptr, 0, RUNTIME_CLASS(CAnchorAction)},
    {"ABBR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"ADDRESS", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"APPLET", 3, {"CODE", nullptr}, {"NAME", "ALT", nullptr}, "Applet", 4, RUNTIME_CLASS(CAppletAction)},
    {"AREA", 3, {"HREF", nullptr}, {"ALT", "SHAPE", nullptr}, "Image map", 0, RUNTIME_CLASS(CAction)},
    {"B", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BASE", 2, {"HREF", nullptr}, {nullptr}, nullptr, 1, RUNTIME_CLASS(CBaseAction)},
    {"BASEFONT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BDO", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BGSOUND", 3, {"SRC", nullptr}, {nullptr}, "Background sound", 3, RUNTIME_CLASS(CBackgroundAction)},
    {"BIG", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BLINK", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BLOCKQUOTE", 3, {"CITE", nullptr}, {"TITLE", nullptr}, "<BLOCKQUOTE>", 1, RUNTIME_CLASS(CAction)},
    {"BODY", 3, {"BACKGROUND", "CREDITS", "LOGO", nullptr}, {nullptr}, "Background", 2, RUNTIME_CLASS(CBodyAction)},
    {"BR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"BUTTON", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CButtonAction)},
    {"CAPTION", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"CENTER", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"CITE", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"CODE", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"COL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"COLGROUP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"COMMENT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"DD", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"DEL", 3, {"CITE", nullptr}, {"TITLE", nullptr}, "<DEL>", 1, RUNTIME_CLASS(CAction)},
    {"DFN", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"DIR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"DIV", 3, {"HREF", nullptr}, {"TITLE", nullptr}, "<DIV>", 1, RUNTIME_CLASS(CAction)},
    {"DL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"DT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"EM", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"EMBED", 3, {"SRC", nullptr}, {"NAME", nullptr}, "Embed", 1, RUNTIME_CLASS(CAction)},
    {"FIELDSET", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"FN", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"FONT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"FORM", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CFormAction)},
    {"FRAME", 3, {"SRC", nullptr}, {"NAME", nullptr}, "Frame", 10, RUNTIME_CLASS(CAction)},
    {"FRAMESET", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H1", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H2", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H3", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H4", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H5", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"H6", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"HEAD", 2, {"PROFILE", nullptr}, {"TITLE", nullptr}, "Profile", 1, RUNTIME_CLASS(CAction)},
    {"HR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"HTML", 2, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"I", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"IFRAME", 3, {"SRC", nullptr}, {"NAME", nullptr}, "<IFRAME>", 10, RUNTIME_CLASS(CAction)},
    {"ILAYER", 3, {"SRC", nullptr}, {"NAME", nullptr}, "<ILAYER>", 10, RUNTIME_CLASS(CAction)},
    {"IMG", 3, {"SRC", "LOWSRC", "DYNSRC", nullptr}, {"ALT", "SRC", nullptr}, nullptr, 2, RUNTIME_CLASS(CImageAction)},
    {"INPUT", 3, {"SRC", nullptr}, {"NAME", "TITLE", nullptr}, "Input", 2, RUNTIME_CLASS(CInputAction)},
    {"INS", 3, {"CITE", nullptr}, {"TITLE", nullptr}, "<INS>", 1, RUNTIME_CLASS(CAction)},
    {"ISINDEX", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"KBD", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"LABEL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"LAYER", 3, {"SRC", nullptr}, {"NAME", nullptr}, "<LAYER>", 10, RUNTIME_CLASS(CAction)},
    {"LEGEND", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"LI", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"LINK", 3, {"HREF", nullptr}, {"REL", nullptr}, "Link", 1, RUNTIME_CLASS(CLinkAction)},
    {"LISTING", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"MAP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"MARQUEE", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"MENU", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"META", 0, {nullptr}, {nullptr}, "Client pull", 1, RUNTIME_CLASS(CMetaAction)},
    {"MUTLICOL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"NOBR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"NOFRAMES", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"NOSCRIPT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"OBJECT", 3, {nullptr}, {"STANDBY", "TITLE", nullptr}, "<OBJECT>", 7, RUNTIME_CLASS(CObjectAction)},
    {"OL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"OPTGROUP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"OPTION", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(COptionAction)},
    {"P", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"PARAM", 3, {"VALUE", nullptr}, {"NAME", nullptr}, "<PARAM>", 1, RUNTIME_CLASS(CParamAction)},
    {"PLAINTEXT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"PRE", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"Q", 3, {"CITE", nullptr}, {"TITLE", nullptr}, "<Q>", 1, RUNTIME_CLASS(CAction)},
    {"S", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"SAMP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"SCRIPT", 0, {"SRC", nullptr}, {"LANGUAGE", nullptr}, "Script", 6, RUNTIME_CLASS(CScriptAction)},
    {"SELECT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CSelectAction)},
    {"SMALL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"SPAN", 3, {"HREF", nullptr}, {"TITLE", nullptr}, "<SPAN>", 8, RUNTIME_CLASS(CSpanAction)},
    {"STRIKE", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"STRONG", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"STYLE", 0, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"SUB", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"SUP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"TABLE", 3, {"BACKGROUND", nullptr}, {nullptr}, "Table Background", 2, RUNTIME_CLASS(CBackgroundAction)},
    {"TBODY", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"TD", 3, {"BACKGROUND", nullptr}, {nullptr}, "Table Cell Background", 2, RUNTIME_CLASS(CBackgroundAction)},
    {"TEXTAREA", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CTextAreaAction)},
    {"TFOOT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"TH", 3, {"BACKGROUND", nullptr}, {nullptr}, "Table Heading Background", 2, RUNTIME_CLASS(CBackgroundAction)},
    {"THEAD", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"TITLE", 0, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CTitleAction)},
    {"TR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"TT", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"U", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"UL", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"USES", 0, {"HREF", nullptr}, {"COMMENT", nullptr}, "<USES>", 1, RUNTIME_CLASS(CUsesAction)},
    {"VAR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"WBR", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
    {"XMP", 3, {nullptr}, {nullptr}, nullptr, 8, RUNTIME_CLASS(CDefaultAction)},
};

static_assert(std::size(s_TagTable) == 105);

// Sorted without case, for the binary search: ONMOVE sorts after the ONMOUSE names, or the
// search would miss some of them.
const LPCSTR s_EventAttributes[] = {
    "ONABORT", "ONAFTERUPDATE", "ONBLUR", "ONCHANGE", "ONCLICK", "ONDBLCLICK", "ONERROR",
    "ONFOCUS", "ONKEYDOWN", "ONKEYPRESS", "ONKEYUP", "ONLOAD", "ONMOUSEDOWN", "ONMOUSEMOVE",
    "ONMOUSEOUT", "ONMOUSEOVER", "ONMOUSEUP", "ONMOVE", "ONRESET", "ONRESIZE", "ONSELECT",
    "ONSUBMIT", "ONUNLOAD",
};

} // namespace

namespace {

// Where the rows of each first byte begin and end in the sorted table, and each row's name length.
struct TagTableIndex {
    short first[256] = {};
    short end[256] = {};
    unsigned char length[std::size(s_TagTable)] = {};
};

const TagTableIndex& TagIndex()
{
    static const TagTableIndex index = [] {
        TagTableIndex built;
        for (int i = 0; i < static_cast<int>(std::size(s_TagTable)); ++i) {
            const auto first = static_cast<unsigned char>(s_TagTable[i].m_pszName[0]);
            if (built.end[first] == 0)
                built.first[first] = static_cast<short>(i);
            built.end[first] = static_cast<short>(i + 1);
            built.length[i] = static_cast<unsigned char>(std::strlen(s_TagTable[i].m_pszName));
        }
        return built;
    }();
    return index;
}

} // namespace

const TagEntry* FindTagEntry(LPCSTR lpszName, int nLength)
{
    if (lpszName == nullptr || nLength <= 0 || nLength > TAG_MAX_NAME_LENGTH)
        return nullptr;
    // The table's names are upper case, and for names made of letters, digits, "-" and "."
    // the order without case is the order of the upper-cased bytes: the name is upper-cased
    // once and compared byte for byte, which is what every start and end tag costs.
    char szName[TAG_MAX_NAME_LENGTH + 1];
    for (int i = 0; i < nLength; ++i) {
        const char ch = lpszName[i];
        szName[i] = (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    }
    szName[nLength] = '\0';
    // The rows of one first letter stand together; among them the length decides before the
    // bytes are compared.
    const auto& index = TagIndex();
    const unsigned char first = static_cast<unsigned char>(szName[0]);
    for (int i = index.first[first]; i < index.end[first]; ++i) {
        if (index.length[i] == nLength && std::memcmp(s_TagTable[i].m_pszName, szName, static_cast<size_t>(nLength)) == 0)
            return &s_TagTable[i];
    }
    return nullptr;
}

BOOL IsEventAttribute(LPCSTR lpszName)
{
    if (lpszName == nullptr)
        return FALSE;
    auto first = std::begin(s_EventAttributes);
    auto last = std::end(s_EventAttributes);
    auto it = std::lower_bound(first, last, lpszName,
        [](LPCSTR pszEntry, LPCSTR psz) { return strcasecmp(pszEntry, psz) < 0; });
    return it != last && strcasecmp(*it, lpszName) == 0;
}

const TagEntry* GetTagTable(int& nCount)
{
    nCount = static_cast<int>(std::size(s_TagTable));
    return s_TagTable;
}
