#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

std::map<UINT, const char*> g_table;

LPCTSTR LookupTestString(UINT nID)
{
    auto it = g_table.find(nID);
    return it == g_table.end() ? nullptr : it->second;
}

// Installs a small string table for one test and restores the previous hook afterwards.
class StringTableScope {
public:
    explicit StringTableScope(std::map<UINT, const char*> table)
    {
        g_table = std::move(table);
        m_previous = AfxSetStringResourceHook(&LookupTestString);
    }
    ~StringTableScope()
    {
        AfxSetStringResourceHook(m_previous);
        g_table.clear();
    }

private:
    AFX_STRING_RESOURCE_HOOK m_previous;
};

} // namespace

TEST(CStringTest, IsOnePointerWideAndConvertsToItsCharacters)
{
    CString s("abc");
    EXPECT_EQ(sizeof(CString), sizeof(char*));
    LPCTSTR p = s;
    EXPECT_STREQ(p, "abc");
    EXPECT_EQ(p, s.GetString());
    // The object's one member is the character pointer itself.
    LPCTSTR raw;
    memcpy(&raw, &s, sizeof raw);
    EXPECT_EQ(raw, p);
}

TEST(CStringTest, Constructors)
{
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_STREQ(CString(static_cast<LPCTSTR>(nullptr)), "");
    EXPECT_STREQ(CString('x', 3), "xxx");
    EXPECT_TRUE(CString('x', 0).IsEmpty());
    EXPECT_STREQ(CString("abcdef", 3), "abc");
    CString a("moved");
    CString b(std::move(a));
    EXPECT_STREQ(b, "moved");
    EXPECT_TRUE(a.IsEmpty());
    CString c(b);
    c.SetAt(0, 'M');
    EXPECT_STREQ(b, "moved");
    EXPECT_STREQ(c, "Moved");
}

TEST(CStringTest, AssignmentAndSelfReference)
{
    CString s("hello world");
    s = static_cast<LPCTSTR>(s) + 6;
    EXPECT_STREQ(s, "world");
    s = s;
    EXPECT_STREQ(s, "world");
    s += s;
    EXPECT_STREQ(s, "worldworld");
    s += static_cast<LPCTSTR>(s) + 5;
    EXPECT_STREQ(s, "worldworldworld");
    s = 'z';
    EXPECT_STREQ(s, "z");
    s.Empty();
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(CStringTest, ConcatenationForms)
{
    CString a("ab");
    EXPECT_STREQ(a + "cd", "abcd");
    EXPECT_STREQ("cd" + a, "cdab");
    EXPECT_STREQ(a + 'c', "abc");
    EXPECT_STREQ('c' + a, "cab");
    EXPECT_STREQ(a + a, "abab");
    CString longer;
    for (int i = 0; i < 1000; ++i)
        longer += 'x';
    EXPECT_EQ(longer.GetLength(), 1000);
}

TEST(CStringTest, Comparisons)
{
    CString a("apple"), b("banana");
    EXPECT_TRUE(a == "apple");
    EXPECT_TRUE("apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(a < "b");
    EXPECT_TRUE("b" > a);
    EXPECT_TRUE(b >= a && a <= b && a <= "apple" && "apple" >= a);
    EXPECT_LT(a.Compare("apricot"), 0);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    // Case folding goes to lower case, so '_' sorts before the letters.
    EXPECT_GT(CString("A").CompareNoCase("_"), 0);
    // Bytes above 0x7F are not folded and sort after ASCII.
    EXPECT_NE(CString("\xC3\x89").CompareNoCase("\xC3\xA9"), 0);
    EXPECT_GT(CString("\xC3\xA9").Compare("z"), 0);
    EXPECT_EQ(CString("Abc").CollateNoCase("aBC"), 0);
}

TEST(CStringTest, IndexingAndAccess)
{
    CString s("abc");
    EXPECT_EQ(s[1], 'b');
    EXPECT_EQ(s[size_t{2}], 'c');
    EXPECT_EQ(s.GetAt(3), '\0');
    s.SetAt(1, 'X');
    EXPECT_STREQ(s, "aXc");
}

TEST(CStringTest, SubStringsClampTheirArguments)
{
    CString s("Hello");
    EXPECT_STREQ(s.Mid(1, 3), "ell");
    EXPECT_STREQ(s.Mid(2), "llo");
    EXPECT_STREQ(s.Mid(-2, 3), "Hel");
    EXPECT_STREQ(s.Mid(10), "");
    EXPECT_STREQ(s.Mid(3, 100), "lo");
    EXPECT_STREQ(s.Mid(1, -1), "");
    EXPECT_STREQ(s.Left(2), "He");
    EXPECT_STREQ(s.Left(99), "Hello");
    EXPECT_STREQ(s.Left(-1), "");
    EXPECT_STREQ(s.Right(3), "llo");
    EXPECT_STREQ(s.Right(99), "Hello");
    EXPECT_STREQ(CString("123abc").SpanIncluding("0123456789"), "123");
    EXPECT_STREQ(CString("key=value").SpanExcluding("=;"), "key");
    EXPECT_STREQ(CString("abc").SpanIncluding("x"), "");
}

TEST(CStringTest, CaseAndReverse)
{
    CString s("Mixed Case \xC3\xA9");
    s.MakeUpper();
    EXPECT_STREQ(s, "MIXED CASE \xC3\xA9");
    s.MakeLower();
    EXPECT_STREQ(s, "mixed case \xC3\xA9");
    EXPECT_STREQ(CString("abc").MakeReverse(), "cba");
}

TEST(CStringTest, ReplaceRemoveInsertDelete)
{
    CString s("a.b.c");
    EXPECT_EQ(s.Replace('.', '/'), 2);
    EXPECT_STREQ(s, "a/b/c");
    CString t("one two one");
    EXPECT_EQ(t.Replace("one", "three"), 2);
    EXPECT_STREQ(t, "three two three");
    EXPECT_EQ(t.Replace("three", ""), 2);
    EXPECT_STREQ(t, " two ");
    EXPECT_EQ(t.Replace("", "x"), 0);
    EXPECT_EQ(t.Replace("zz", "x"), 0);
    CString u("aaaa");
    EXPECT_EQ(u.Replace("aa", "a"), 2);
    EXPECT_STREQ(u, "aa");
    CString v("b-a-n-a-n-a");
    EXPECT_EQ(v.Remove('-'), 5);
    EXPECT_STREQ(v, "banana");
    EXPECT_EQ(v.Insert(0, 'X'), 7);
    EXPECT_EQ(v.Insert(100, "YZ"), 9);
    EXPECT_STREQ(v, "XbananaYZ");
    EXPECT_EQ(v.Insert(-5, "<"), 10);
    EXPECT_STREQ(v, "<XbananaYZ");
    EXPECT_EQ(v.Delete(0, 2), 8);
    EXPECT_EQ(v.Delete(6, 100), 6);
    EXPECT_STREQ(v, "banana");
    EXPECT_EQ(v.Delete(10), 6);
    EXPECT_EQ(v.Delete(2), 5);
    EXPECT_STREQ(v, "baana");
}

TEST(CStringTest, FormatPrintsCStringArguments)
{
    CString name("world");
    CString s;
    s.Format("%s, %s! %d %5.2f %c %x", name, static_cast<LPCTSTR>(name), 42, 3.14159, 'Q', 255u);
    EXPECT_STREQ(s, "world, world! 42  3.14 Q ff");
    s.Format("[%-6s]", name);
    EXPECT_STREQ(s, "[world ]");
    s.AppendFormat("%d%s", 7, s);
    EXPECT_STREQ(s, "[world ]7[world ]");
    CString big;
    big.Format("%s", std::string(5000, 'q').c_str());
    EXPECT_EQ(big.GetLength(), 5000);
    s.Format("no arguments %%");
    EXPECT_STREQ(s, "no arguments %");
}

TEST(CStringTest, FormatMessageInserts)
{
    CString s;
    s.FormatMessage("%1 has %2!u! pages, %3!d! bytes%%", "Site", 12, -5);
    EXPECT_STREQ(s, "Site has 12 pages, -5 bytes%");
    CString arg("x");
    s.FormatMessage("%2-%1-%2 %1!5s!", arg, "y");
    EXPECT_STREQ(s, "y-x-y     x");
    s.FormatMessage("%1!u!", -1);
    EXPECT_STREQ(s, "4294967295");
    s.FormatMessage("%1!08X!%n", 0xBEEFu);
    EXPECT_STREQ(s, "0000BEEF\r\n");
    // An insert with no argument stays visible rather than reading garbage.
    s.FormatMessage("a %3 b", "only");
    EXPECT_STREQ(s, "a %3 b");
    s.FormatMessage("stop%0here");
    EXPECT_STREQ(s, "stop");
    // Long inserts, such as URLs, arrive whole, with or without a conversion.
    const CString url = "http://example.test/" + CString('a', 2000);
    s.FormatMessage("Problem: %1", (LPCTSTR)url);
    EXPECT_EQ(s, "Problem: " + url);
    s.FormatMessage("%1!s!.", (LPCTSTR)url);
    EXPECT_EQ(s, url + ".");
}

TEST(CStringTest, Trimming)
{
    CString s(" \t value \r\n");
    EXPECT_STREQ(CString(s).TrimLeft(), "value \r\n");
    EXPECT_STREQ(CString(s).TrimRight(), " \t value");
    EXPECT_STREQ(s.Trim(), "value");
    EXPECT_STREQ(CString("xxaxx").TrimLeft('x'), "axx");
    EXPECT_STREQ(CString("xxaxx").TrimRight('x'), "xxa");
    EXPECT_STREQ(CString("xxaxx").Trim('x'), "a");
    EXPECT_STREQ(CString("<<a>>").Trim("<>"), "a");
    EXPECT_STREQ(CString("<>").Trim("<>"), "");
    // Bytes of UTF-8 sequences are not white space.
    EXPECT_STREQ(CString("\xC2\xA0x\xC2\xA0").Trim(), "\xC2\xA0x\xC2\xA0");
}

TEST(CStringTest, Searching)
{
    CString s("abcabc");
    EXPECT_EQ(s.Find('b'), 1);
    EXPECT_EQ(s.Find('b', 2), 4);
    EXPECT_EQ(s.Find('b', 5), -1);
    EXPECT_EQ(s.Find('b', 100), -1);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.Find("ca"), 2);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("bc", 5), -1);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.ReverseFind('a'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
    EXPECT_EQ(s.FindOneOf("xc"), 2);
    EXPECT_EQ(s.FindOneOf("xyz"), -1);
    EXPECT_EQ(CString().Find('a'), -1);
}

TEST(CStringTest, BufferAccess)
{
    CString s;
    LPTSTR p = s.GetBuffer(10);
    strcpy(p, "written");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 7);
    EXPECT_STREQ(s, "written");
    p = s.GetBuffer(100);
    EXPECT_STREQ(p, "written");
    s.ReleaseBuffer(3);
    EXPECT_STREQ(s, "wri");
    EXPECT_GE(s.GetAllocLength(), 100);
    s.FreeExtra();
    EXPECT_EQ(s.GetAllocLength(), 3);
    EXPECT_STREQ(s, "wri");

    // Embedded NULs through GetBufferSetLength are kept in the length.
    CString bin;
    p = bin.GetBufferSetLength(5);
    memcpy(p, "a\0b\0c", 5);
    bin.ReleaseBuffer(5);
    EXPECT_EQ(bin.GetLength(), 5);
    CString copy(bin);
    EXPECT_EQ(copy.GetLength(), 5);
    EXPECT_EQ(memcmp(copy.GetString(), "a\0b\0c", 5), 0);
    EXPECT_EQ(copy.Find('c'), 4);

    // A caller that fills the whole buffer without a NUL never makes the string overrun.
    CString full;
    p = full.GetBuffer(4);
    memset(p, 'z', 5);
    full.ReleaseBuffer();
    EXPECT_LE(full.GetLength(), full.GetAllocLength());
    EXPECT_EQ(full.GetString()[full.GetLength()], '\0');

    CString locked("abc");
    LPTSTR lp = locked.LockBuffer();
    lp[0] = 'X';
    locked.UnlockBuffer();
    EXPECT_STREQ(locked, "Xbc");
}

TEST(CStringTest, LoadStringThroughTheResourceHook)
{
    CString s("previous");
    AFX_STRING_RESOURCE_HOOK previous = AfxSetStringResourceHook(nullptr);
    EXPECT_FALSE(s.LoadString(100));
    EXPECT_TRUE(s.IsEmpty());
    AfxSetStringResourceHook(previous);

    StringTableScope table({{100, "Scan Completed"}, {101, "Page %1 of %2"}, {102, "Page: %s"}});
    EXPECT_TRUE(s.LoadString(100));
    EXPECT_STREQ(s, "Scan Completed");
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_TRUE(s.IsEmpty());
    // A small integer in place of a pointer names a string resource.
    CString byId(reinterpret_cast<LPCTSTR>(static_cast<uintptr_t>(100)));
    EXPECT_STREQ(byId, "Scan Completed");

    AfxFormatString2(s, 101, "3", "7");
    EXPECT_STREQ(s, "Page 3 of 7");
    AfxFormatString1(s, 101, "3");
    EXPECT_STREQ(s, "Page 3 of ");
    s.Format(102u, "not");
    EXPECT_STREQ(s, "Page: not");
}

TEST(CStringTest, ExtractSubString)
{
    CString s;
    EXPECT_TRUE(AfxExtractSubString(s, "a\nbb\n\nd", 1));
    EXPECT_STREQ(s, "bb");
    EXPECT_TRUE(AfxExtractSubString(s, "a\nbb\n\nd", 2));
    EXPECT_STREQ(s, "");
    EXPECT_TRUE(AfxExtractSubString(s, "a\nbb\n\nd", 3));
    EXPECT_STREQ(s, "d");
    EXPECT_FALSE(AfxExtractSubString(s, "a\nbb\n\nd", 4));
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_TRUE(AfxExtractSubString(s, "x,y", 1, ','));
    EXPECT_STREQ(s, "y");
    EXPECT_FALSE(AfxExtractSubString(s, nullptr, 0));
    EXPECT_FALSE(AfxExtractSubString(s, "abc", 1, '\0'));
}
