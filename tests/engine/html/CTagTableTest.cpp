#include "engine/html/CAction.h"
#include "engine/html/CTagTable.h"
#include "engine/html/HtmlLinkTypes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <strings.h>

namespace {

TEST(TagTableTest, FindsNamesWithoutCase)
{
    const TagEntry* pImg = FindTagEntry("IMG", 3);
    ASSERT_NE(pImg, nullptr);
    EXPECT_STREQ(pImg->m_pszName, "IMG");
    EXPECT_EQ(FindTagEntry("img", 3), pImg);
    EXPECT_EQ(FindTagEntry("Img", 3), pImg);
    // The name need not end at its length.
    EXPECT_EQ(FindTagEntry("IMGX", 3), pImg);
    EXPECT_EQ(FindTagEntry("FOO", 3), nullptr);
    EXPECT_EQ(FindTagEntry("", 0), nullptr);
}

TEST(TagTableTest, RefusesNamesLongerThan31Characters)
{
    std::string name(31, 'A');
    EXPECT_EQ(FindTagEntry(name.c_str(), 31), nullptr);  // unknown, but looked up
    std::string longImg = "IMG" + std::string(29, ' ');
    EXPECT_EQ(FindTagEntry(longImg.c_str(), 32), nullptr);
    std::string huge(100000, 'B');
    EXPECT_EQ(FindTagEntry(huge.c_str(), static_cast<int>(huge.size())), nullptr);
}

TEST(TagTableTest, HasEveryRowSortedWithACreatableAction)
{
    int nCount = 0;
    const TagEntry* pTable = GetTagTable(nCount);
    ASSERT_EQ(nCount, 105);
    for (int i = 0; i < nCount; ++i) {
        SCOPED_TRACE(pTable[i].m_pszName);
        if (i > 0) {
            EXPECT_LT(strcasecmp(pTable[i - 1].m_pszName, pTable[i].m_pszName), 0);
        }
        EXPECT_EQ(FindTagEntry(pTable[i].m_pszName, static_cast<int>(strlen(pTable[i].m_pszName))), &pTable[i]);
        ASSERT_NE(pTable[i].m_pActionClass, nullptr);
        std::unique_ptr<CObject> pObject(pTable[i].m_pActionClass->CreateObject());
        ASSERT_NE(pObject, nullptr);
        EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CAction)));
        EXPECT_GE(pTable[i].m_nLinkKind, 0);
        EXPECT_LE(pTable[i].m_nLinkKind, 10);
    }
}

TEST(TagTableTest, RowsCarryTheirLinksAndClasses)
{
    const TagEntry* pImg = FindTagEntry("IMG", 3);
    EXPECT_STREQ(pImg->m_apszLinkAttrs[0], "SRC");
    EXPECT_STREQ(pImg->m_apszLinkAttrs[2], "DYNSRC");
    EXPECT_EQ(pImg->m_apszLinkAttrs[3], nullptr);
    EXPECT_STREQ(pImg->m_apszDescAttrs[1], "SRC");
    EXPECT_EQ(pImg->m_nLinkKind, LINK_KIND_IMAGE);
    EXPECT_STREQ(pImg->m_pActionClass->m_lpszClassName, "CImageAction");

    const TagEntry* pMeta = FindTagEntry("META", 4);
    EXPECT_EQ(pMeta->m_nFlags, 0u);
    EXPECT_STREQ(pMeta->m_pszDefaultDesc, "Client pull");

    const TagEntry* pBr = FindTagEntry("BR", 2);
    EXPECT_EQ(pBr->m_nFlags, TAG_FLAG_REPORT_ID | TAG_FLAG_EVENT_SCRIPTS);
    EXPECT_FALSE(pBr->HasLinkAttrs());
    EXPECT_EQ(pBr->m_nLinkKind, LINK_KIND_OTHER);
    EXPECT_STREQ(pBr->m_pActionClass->m_lpszClassName, "CDefaultAction");

    EXPECT_STREQ(FindTagEntry("AREA", 4)->m_pActionClass->m_lpszClassName, "CAction");
    EXPECT_STREQ(FindTagEntry("USES", 4)->m_pActionClass->m_lpszClassName, "CUsesAction");
    EXPECT_STREQ(FindTagEntry("MUTLICOL", 8)->m_pActionClass->m_lpszClassName, "CDefaultAction");
    EXPECT_EQ(FindTagEntry("BASE", 4)->m_nFlags, TAG_FLAG_EVENT_SCRIPTS);
    EXPECT_STREQ(FindTagEntry("TD", 2)->m_pszDefaultDesc, "Table Cell Background");
    EXPECT_EQ(FindTagEntry("FRAME", 5)->m_nLinkKind, LINK_KIND_FRAME);
}

TEST(TagTableTest, FindsEveryEventAttribute)
{
    // Every one of them, the mouse events and ONMOVE included, must be found by the search.
    const char* names[] = {"ONABORT", "ONAFTERUPDATE", "ONBLUR", "ONCHANGE", "ONCLICK", "ONDBLCLICK", "ONERROR",
        "ONFOCUS", "ONKEYDOWN", "ONKEYPRESS", "ONKEYUP", "ONLOAD", "ONMOVE", "ONMOUSEDOWN", "ONMOUSEMOVE",
        "ONMOUSEOUT", "ONMOUSEOVER", "ONMOUSEUP", "ONRESET", "ONRESIZE", "ONSELECT", "ONSUBMIT", "ONUNLOAD"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsEventAttribute(name));
    }
    EXPECT_TRUE(IsEventAttribute("onclick"));
    EXPECT_FALSE(IsEventAttribute("ONCLICKS"));
    EXPECT_FALSE(IsEventAttribute("ON"));
    EXPECT_FALSE(IsEventAttribute("HREF"));
}

TEST(TagTableTest, ClassifiesTypesAndLanguages)
{
    EXPECT_EQ(ClassifyMimeType("Text/HTML; charset=x"), LINK_KIND_PLAIN);
    EXPECT_EQ(ClassifyMimeType("image/gif"), LINK_KIND_IMAGE);
    EXPECT_EQ(ClassifyMimeType("VIDEO/mpeg"), LINK_KIND_IMAGE);
    EXPECT_EQ(ClassifyMimeType("audio/wav"), LINK_KIND_SOUND);
    EXPECT_EQ(ClassifyMimeType("application/pdf"), LINK_KIND_OTHER);
    EXPECT_EQ(ClassifyMimeType(nullptr), LINK_KIND_OTHER);

    EXPECT_EQ(GetScriptLanguageKind("javascript1.2"), SCRIPT_KIND_JAVASCRIPT);
    EXPECT_EQ(GetScriptLanguageKind("jscript"), SCRIPT_KIND_JAVASCRIPT);
    EXPECT_EQ(GetScriptLanguageKind("jscript.encode"), SCRIPT_KIND_NONE);
    EXPECT_EQ(GetScriptLanguageKind("vbscript"), SCRIPT_KIND_VBSCRIPT);
    EXPECT_EQ(GetScriptLanguageKind("tcl"), SCRIPT_KIND_NONE);
    EXPECT_EQ(GetScriptMimeTypeKind("text/javascript"), SCRIPT_KIND_JAVASCRIPT);
    EXPECT_EQ(GetScriptMimeTypeKind("application/x-javascript; x"), SCRIPT_KIND_JAVASCRIPT);
    EXPECT_EQ(GetScriptMimeTypeKind("text/vbscript"), SCRIPT_KIND_VBSCRIPT);
    EXPECT_EQ(GetScriptMimeTypeKind("text/css"), SCRIPT_KIND_NONE);
}

} // namespace
