// The plain function interface: statuses, null handles, ownership of texts.
#include "KxTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

TEST(KxApi, NullHandles)
{
    const KxEngine* e = &TestEngine();
    DocumentPtr d = NewDocument();
    EXPECT_EQ(kxSetBeta(nullptr, 7.0), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxResetDocument(nullptr, e), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxResetDocument(d.get(), nullptr), KX_ERR_NULL_ENGINE);
    EXPECT_EQ(kxAddText(nullptr, nullptr, "a", 1), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxAddText(d.get(), nullptr, "a", 1), KX_ERR_NULL_ENGINE);
    EXPECT_EQ(kxExtract(nullptr, e), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxExtract(d.get(), nullptr), KX_ERR_NULL_ENGINE);
    int count = 0;
    EXPECT_EQ(kxGetPhraseCount(nullptr, &count), KX_ERR_NULL_DOCUMENT);
    const char* phrase = nullptr;
    EXPECT_EQ(kxGetPhrase(nullptr, 0, &phrase), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxDestroyDocument(nullptr), KX_ERR_NULL_DOCUMENT);
    EXPECT_EQ(kxDestroyEngine(nullptr), KX_ERR_NULL_ENGINE);
}

TEST(KxApi, BetaIsClamped)
{
    DocumentPtr d = NewDocument();
    EXPECT_DOUBLE_EQ(d->beta, 7.0);
    ASSERT_EQ(kxSetBeta(d.get(), 1.0), KX_OK);
    EXPECT_DOUBLE_EQ(d->beta, 3.0);
    ASSERT_EQ(kxSetBeta(d.get(), 100.0), KX_OK);
    EXPECT_DOUBLE_EQ(d->beta, 30.0);
    ASSERT_EQ(kxSetBeta(d.get(), 7.5), KX_OK);
    EXPECT_DOUBLE_EQ(d->beta, 7.5);
    ASSERT_EQ(kxSetBeta(d.get(), std::nan("")), KX_OK);
    EXPECT_DOUBLE_EQ(d->beta, 3.0);
}

TEST(KxApi, PhraseIndexOutOfRangeLeavesTheOutParameter)
{
    DocumentPtr d = NewDocument();
    d->languageSetting = kx::kLangEnglish;
    ASSERT_EQ(Feed(d.get(), "lantern and harbour"), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), &TestEngine()), KX_OK);
    int count = 0;
    ASSERT_EQ(kxGetPhraseCount(d.get(), &count), KX_OK);
    ASSERT_EQ(count, 2);
    const char* marker = "unchanged";
    const char* phrase = marker;
    EXPECT_EQ(kxGetPhrase(d.get(), -1, &phrase), KX_ERR_PHRASE_INDEX);
    EXPECT_EQ(kxGetPhrase(d.get(), count, &phrase), KX_ERR_PHRASE_INDEX);
    EXPECT_EQ(phrase, marker);
    ASSERT_EQ(kxGetPhrase(d.get(), 1, &phrase), KX_OK);
    EXPECT_NE(phrase, marker);
}

TEST(KxApi, ErrorTextsAreFreedByTheCaller)
{
    struct Case {
        int status;
        const char* text;
    };
    const Case cases[] = {
        {0, "All is OK. No errors were detected. \n"},
        {1, "Memory allocation error. Out of RAM. \n"},
        {2, "DocumentMemory pointer is NULL. \n"},
        {3, "StopMemory pointer is NULL. \n"},
        {10, "PhraseIndex is out of range. \n"},
        {12, "When the input character code is Unicode UCS2, the buffer length, \nmeasured in bytes, "
             "must be a multiple of two.\n"},
        {11, "Error Code is UNKNOWN. \n"},
        {13, "Error Code is UNKNOWN. \n"},
        {-1, "Error Code is UNKNOWN. \n"}};
    for (const Case& c : cases) {
        char* text = nullptr;
        kxGetErrorText(c.status, &text);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.text) << c.status;
        std::free(text);
    }
    char* seven = nullptr;
    kxGetErrorText(7, &seven);
    ASSERT_NE(seven, nullptr);
    EXPECT_NE(std::strstr(seven, "\"j ai\""), nullptr);
    std::free(seven);
}

TEST(KxApi, Ucs2InputNeedsAnEvenLength)
{
    DocumentPtr d = NewDocument();
    d->inputCharCode = 2;
    d->languageSetting = kx::kLangEnglish;
    EXPECT_EQ(kxAddText(d.get(), &TestEngine(), "a\0b\0c", 5), KX_ERR_UCS2_LENGTH);
    const char wide[] = {'l', 0, 'a', 0, 'n', 0, 't', 0, 'e', 0, 'r', 0, 'n', 0, ' ', 0};
    ASSERT_EQ(kxAddText(d.get(), &TestEngine(), wide, sizeof wide), KX_OK);
    EXPECT_EQ(CountOf(d.get(), "lantern"), 1);
}

TEST(KxApi, HostileInputIsHandled)
{
    DocumentPtr d = NewDocument();
    const KxEngine* e = &TestEngine();
    ASSERT_EQ(kxResetDocument(d.get(), e), KX_OK);
    EXPECT_EQ(kxAddText(d.get(), e, nullptr, 100), KX_OK);
    EXPECT_EQ(kxAddText(d.get(), e, "text", -5), KX_OK);
    std::string huge(100000, 'x');
    EXPECT_EQ(Feed(d.get(), huge), KX_OK);
    std::string tags(50000, '<');
    EXPECT_EQ(Feed(d.get(), tags), KX_OK);
    EXPECT_EQ(kxExtract(d.get(), e), KX_OK);
}

TEST(KxApi, HtmlPageThroughTheWholeInterface)
{
    const KxEngine* e = &TestEngine();
    DocumentPtr d = NewDocument();
    ASSERT_EQ(kxSetBeta(d.get(), 7.5), KX_OK);
    ASSERT_EQ(kxResetDocument(d.get(), e), KX_OK);
    std::string page = "<html><head><title>Zebra crossings</title><script>zebra zebra zebra"
                       "</script></head><body>";
    for (int i = 0; i < 6; ++i)
        page += "<p>The zebra crossing is in front of the school, and it is where the children "
                "cross the road.</p>";
    page += "</body></html>";
    // Pieces of 511 bytes, as the reference checkers read them.
    for (size_t at = 0; at < page.size(); at += 511)
        ASSERT_EQ(kxAddText(d.get(), e, page.data() + at,
                            static_cast<int>(std::min<size_t>(511, page.size() - at))),
                  KX_OK);
    ASSERT_EQ(kxExtract(d.get(), e), KX_OK);
    EXPECT_EQ(d->detectedLanguage, kx::kLangEnglish);
    std::vector<std::string> phrases = Phrases(d.get());
    ASSERT_FALSE(phrases.empty());
    EXPECT_LE(phrases.size(), 8u);
    EXPECT_NE(std::find(phrases.begin(), phrases.end(), "zebra crossing"), phrases.end());
    // Extracting again keeps the phrases already handed out.
    const char* first = nullptr;
    ASSERT_EQ(kxGetPhrase(d.get(), 0, &first), KX_OK);
    ASSERT_EQ(kxExtract(d.get(), e), KX_OK);
    const char* again = nullptr;
    ASSERT_EQ(kxGetPhrase(d.get(), 0, &again), KX_OK);
    EXPECT_EQ(first, again);
}
