#include "toolkit/editor/SECEditRegExp.h"

#include <gtest/gtest.h>

#include <random>
// The standard engine, used as the reference, warns about its own internals in the sanitizer build.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>

namespace {

int FindIn(const char* pattern, const char* text, int* length = nullptr)
{
    SECEditRegExp re;
    if (re.Compile(pattern) == nullptr)
        return -2;
    int at = re.Find(text);
    if (length != nullptr)
        *length = re.GetMatchLength();
    return at;
}

TEST(SECEditRegExpTest, MatchesAnchorsSetsAndRepetition)
{
    int length = 0;
    EXPECT_EQ(FindIn("a|b", "cab"), 1);
    EXPECT_EQ(FindIn("^b", "ab"), -1);
    EXPECT_EQ(FindIn("b$", "ab"), 1);
    EXPECT_EQ(FindIn("^$", ""), 0);
    EXPECT_EQ(FindIn("[a-c]+", "xxbcaz", &length), 2);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(FindIn("[^a-c]", "abcd"), 3);
    EXPECT_EQ(FindIn("[]x]", "a]"), 1);
    EXPECT_EQ(FindIn("[-a]", "b-"), 1);
    EXPECT_EQ(FindIn("[a-]", "b-"), 1);
    EXPECT_EQ(FindIn("[a-a]", "ba"), 1);
    EXPECT_EQ(FindIn("colou?r", "my color", &length), 3);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(FindIn("ab*", "xabbbc", &length), 1);
    EXPECT_EQ(length, 4);   // a run of bytes: the star takes the last one only
    EXPECT_EQ(FindIn("a.c", "abc"), 0);
    EXPECT_EQ(FindIn("a\\.c", "abc a.c"), 4);
    EXPECT_EQ(FindIn("x*", "abc", &length), 0);
    EXPECT_EQ(length, 0);

    // A literal of 200 bytes before a starred letter: links reach past 127 bytes.
    std::string pattern(200, 'q');
    pattern += "z*y";
    std::string text = "xx" + std::string(200, 'q') + "zzzy";
    EXPECT_EQ(FindIn(pattern.c_str(), text.c_str(), &length), 2);
    EXPECT_EQ(length, 204);
}

TEST(SECEditRegExpTest, RefusesWhatCannotCompile)
{
    const char* bad[] = {"(a*)*", "a**", "*a", "[z-a]", "[b-a]", "a\\", "(ab", "ab)", "a|*",
                         "+", "?", "[abc", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", nullptr};
    for (const char* const* p = bad; *p != nullptr; ++p) {
        SECEditRegExp re;
        EXPECT_EQ(re.Compile(*p), nullptr) << *p;
        EXPECT_EQ(re.Find("abc"), -1) << *p;
    }
    SECEditRegExp re;
    EXPECT_NE(re.Compile("(a)(b)(c)(d)(e)(f)(g)(h)(i)"), nullptr);
    EXPECT_EQ(re.Compile(nullptr), nullptr);
    // A program too large for its 16-bit links is refused rather than mislinked.
    std::string huge = "(" + std::string(40000, 'a') + "|b)c";
    EXPECT_EQ(re.Compile(huge.c_str()), nullptr);
}

TEST(SECEditRegExpTest, GroupsAndReplacementTemplates)
{
    SECEditRegExp re;
    ASSERT_NE(re.Compile("(ab)+c"), nullptr);
    EXPECT_EQ(re.Find("xababc"), 1);
    int start = 0;
    int length = 0;
    ASSERT_TRUE(re.GetGroup(1, &start, &length));
    EXPECT_EQ(start, 3);   // the last pass
    EXPECT_EQ(length, 2);

    ASSERT_NE(re.Compile("(a)(b)(x)?"), nullptr);
    ASSERT_EQ(re.Find("ab"), 0);
    std::string out;
    ASSERT_TRUE(re.GetReplaceString("\\2\\1&", out));
    EXPECT_EQ(out, "baab");
    ASSERT_TRUE(re.GetReplaceString("\\&\\\\[\\3]\\x", out));
    EXPECT_EQ(out, "&\\[]\\x");
    EXPECT_FALSE(re.GetReplaceString(nullptr, out));
    EXPECT_EQ(re.Find("zz"), -1);
    EXPECT_FALSE(re.GetReplaceString("&", out));

    // Searching from an offset: "^" still means the start of the text.
    ASSERT_NE(re.Compile("^a"), nullptr);
    EXPECT_EQ(re.Find("aa", 1), -1);
    ASSERT_NE(re.Compile("a$"), nullptr);
    EXPECT_EQ(re.Find("aba", 1), 2);
    EXPECT_TRUE(SECEditRegExp::HasMetaChars("a.b"));
    EXPECT_FALSE(SECEditRegExp::HasMetaChars("a-b(c)"));
}

TEST(SECEditRegExpTest, DeepBacktrackingFailsInsteadOfOverflowing)
{
    SECEditRegExp re;
    ASSERT_NE(re.Compile("(a|b)*c"), nullptr);
    std::string line = std::string(16000, 'a') + "c";
    EXPECT_EQ(re.Find(line.c_str()), -1);
    EXPECT_TRUE(re.TooDeep());
    EXPECT_EQ(re.Find("ababc"), 0);
    EXPECT_FALSE(re.TooDeep());

    // Nested repetitions try every way of splitting a run: the search gives up instead of running
    // for ever, and the next search starts with a fresh budget.
    ASSERT_NE(re.Compile("(a+)+[bc]"), nullptr);
    std::string run(64, 'a');
    EXPECT_EQ(re.Find(run.c_str()), -1);
    EXPECT_TRUE(re.TooDeep());
    EXPECT_EQ(re.Find((run + "b").c_str()), 0);
    EXPECT_FALSE(re.TooDeep());
}

// Random patterns of the syntax both share, against the standard library's ECMAScript engine:
// the same leftmost match, the same length, and the same groups where no group repeats.
TEST(SECEditRegExpTest, AgreesWithTheStandardEngine)
{
    std::mt19937 rng(1234);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::function<std::string(int, bool&)> gen = [&](int depth, bool& repeatedGroup) {
        std::string out;
        int pieces = 1 + pick(3);
        for (int i = 0; i < pieces; ++i) {
            std::string atom;
            bool group = false;
            switch (pick(depth > 0 ? 7 : 5)) {
            case 0: atom = std::string(1, "abc"[pick(3)]); break;
            case 1: atom = "."; break;
            case 2: atom = pick(2) ? "[ab]" : "[^a]"; break;
            case 3: atom = "[a-b]"; break;
            case 4: atom = std::string(1, "abc"[pick(3)]); break;
            default: {
                std::string inner = gen(depth - 1, repeatedGroup);
                if (pick(2))
                    inner += "|" + gen(depth - 1, repeatedGroup);
                atom = "(" + inner + ")";
                group = true;
                break;
            }
            }
            int q = pick(6);
            if (q < 3) {
                atom += "*+?"[q];
                if (group)
                    repeatedGroup = true;
            }
            out += atom;
        }
        return out;
    };
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        bool repeatedGroup = false;
        std::string pattern = gen(2, repeatedGroup);
        if (pick(4) == 0)
            pattern = "^" + pattern;
        if (pick(4) == 0)
            pattern += "$";
        std::string text;
        for (int n = pick(12); n > 0; --n)
            text += "abcx"[pick(4)];
        SECEditRegExp re;
        if (re.Compile(pattern.c_str()) == nullptr)
            continue;   // a repetition of something that can match empty: refused by design
        std::regex std_re(pattern, std::regex::ECMAScript);
        std::cmatch m;
        bool found = std::regex_search(text.c_str(), m, std_re);
        int at = re.Find(text.c_str());
        SCOPED_TRACE(pattern + " on " + text);
        ASSERT_EQ(at >= 0, found);
        ++compared;
        if (!found)
            continue;
        EXPECT_EQ(at, m.position(0));
        EXPECT_EQ(re.GetMatchLength(), m.length(0));
        if (repeatedGroup)
            continue;   // the engines keep different passes of a repeated group
        for (size_t g = 1; g < m.size() && g < 10; ++g) {
            int start = -1;
            int length = 0;
            bool has = re.GetGroup(static_cast<int>(g), &start, &length);
            EXPECT_EQ(has, m[g].matched) << "group " << g;
            if (has && m[g].matched) {
                EXPECT_EQ(start, m.position(g)) << "group " << g;
                EXPECT_EQ(length, m.length(g)) << "group " << g;
            }
        }
    }
    EXPECT_GT(compared, 1000);
}

} // namespace
