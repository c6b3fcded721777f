#include "keywords/CExtractor.h"
#include "keywords/CExtractorDoc.h"
#include "keywords/KxCharUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Page(int variant)
{
    static const char* const pairs[] = {
        "lantern festival", "harbour master", "zebra crossing", "violin bow", "meadow grass",
        "falcon nest", "pebble beach", "tunnel entrance", "orchard tree", "canyon wall"};
    std::string page = "<html><body>";
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 10; ++i)
            page += std::string("<p>The ") + pairs[(i + variant) % 10] + " is there.</p>\n";
    }
    return page + "</body></html>";
}

std::vector<std::string> Extract(CExtractor& extractor, const std::string& page, double scaled)
{
    std::unique_ptr<CExtractorDoc> doc(extractor.NewDocument());
    if (doc == nullptr)
        return {};
    if (scaled > 0) {
        EXPECT_EQ(doc->SetScaledBeta(scaled), 0);
    }
    EXPECT_EQ(doc->Reset(), 0);
    for (size_t at = 0; at < page.size(); at += 511)
        EXPECT_EQ(doc->AddText(page.data() + at, static_cast<int>(std::min<size_t>(511, page.size() - at))), 0);
    EXPECT_EQ(doc->Extract(), 0);
    std::vector<std::string> phrases;
    for (int i = 0; i < doc->GetPhraseCount(); ++i) {
        LPCSTR p = doc->GetPhrase(i);
        EXPECT_NE(p, nullptr);
        if (p != nullptr)
            phrases.emplace_back(p);
    }
    EXPECT_EQ(doc->GetPhrase(doc->GetPhraseCount()), nullptr);
    return phrases;
}

} // namespace

TEST(CExtractor, RuntimeClassAndDefaults)
{
    CExtractor extractor;
    EXPECT_TRUE(extractor.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_STREQ(extractor.GetRuntimeClass()->m_lpszClassName, "CExtractor");
    EXPECT_EQ(extractor.GetRuntimeClass()->m_pfnCreateObject, nullptr);
    EXPECT_FALSE(extractor.IsSerializable());
    EXPECT_EQ(extractor.GetRefCount(), 0);
    EXPECT_DOUBLE_EQ(extractor.GetBeta(), 7.0);
    EXPECT_NE(extractor.GetEngine(), nullptr);
}

TEST(CExtractor, DocumentsCountThemselves)
{
    CExtractor extractor;
    CExtractorDoc* a = extractor.NewDocument();
    CExtractorDoc* b = extractor.NewDocument();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(extractor.GetRefCount(), 2);
    EXPECT_EQ(a->GetOwner(), &extractor);
    delete a;
    EXPECT_EQ(extractor.GetRefCount(), 1);
    delete b;
    EXPECT_EQ(extractor.GetRefCount(), 0);
}

TEST(CExtractor, ScaledBetaRaisesThePhraseLimit)
{
    // A new document has beta 7.0 (seven phrases at most); the default scan option gives 7.5
    // (eight).
    CExtractor extractor;
    std::string page = Page(0);
    EXPECT_EQ(Extract(extractor, page, 0).size(), 7u);
    EXPECT_EQ(Extract(extractor, page, 1000 * 0.001).size(), 8u);
}

TEST(CExtractor, FailedCallsAnswerNonzero)
{
    CExtractor extractor;
    std::unique_ptr<CExtractorDoc> doc(extractor.NewDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPhraseCount(), 0);
    EXPECT_EQ(doc->GetPhrase(0), nullptr);
    EXPECT_EQ(doc->GetPhrase(-1), nullptr);
    CExtractorDoc orphan(nullptr, nullptr);
    EXPECT_NE(orphan.Reset(), 0);
    EXPECT_NE(orphan.AddText("a", 1), 0);
    EXPECT_NE(orphan.Extract(), 0);
    EXPECT_EQ(CheckExtractorStatus(0), 0);
    EXPECT_NE(CheckExtractorStatus(10), 0);
}

TEST(CExtractor, ThreadsShareOneEngine)
{
    CExtractor extractor;
    constexpr int kThreads = 4;
    std::vector<std::vector<std::string>> expected;
    for (int t = 0; t < kThreads; ++t)
        expected.push_back(Extract(extractor, Page(t), 1.0));
    std::vector<std::vector<std::vector<std::string>>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round)
                seen[t].push_back(Extract(extractor, Page(t), 1.0));
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(extractor.GetRefCount(), 0);
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_FALSE(expected[t].empty());
        for (const auto& phrases : seen[t])
            EXPECT_EQ(phrases, expected[t]) << "thread " << t;
    }
}

namespace {

// A French page with accented key words, in UTF-8.
std::string FrenchPage()
{
    std::string page = "<html><head><title>La fête de la forêt</title></head><body>";
    for (int round = 0; round < 4; ++round) {
        page += "<p>Nous sommes allés à la fête de la forêt avec les élèves de l'école. "
                "La fête de la forêt est très appréciée par les élèves et leurs parents. "
                "Les élèves préparent la fête pendant l'été, dans la forêt près de l'école.</p>\n";
    }
    return page + "</body></html>";
}

std::string Latin1Of(const std::string& utf8)
{
    std::string carry, out;
    kx::Utf8ToLatin1(utf8, carry, true, out);
    return out;
}

} // namespace

TEST(CExtractor, Utf8TextInUtf8PhrasesOutAndLatin1StillReads)
{
    CExtractor extractor;
    const std::string utf8 = FrenchPage();
    const std::vector<std::string> phrases = Extract(extractor, utf8, 1.0);
    ASSERT_FALSE(phrases.empty());
    bool accented = false;
    for (const std::string& p : phrases)
        accented = accented || p.find("\xC3\xAA") != std::string::npos;   // ê
    EXPECT_TRUE(accented) << ::testing::PrintToString(phrases);
    // The same page handed as Latin-1 bytes gives the same phrases, in UTF-8.
    EXPECT_EQ(Extract(extractor, Latin1Of(utf8), 1.0), phrases);
    // Cut inside every accented letter, the pieces still make the same words.
    std::unique_ptr<CExtractorDoc> doc(extractor.NewDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->SetScaledBeta(1.0), 0);
    EXPECT_EQ(doc->Reset(), 0);
    for (size_t at = 0; at < utf8.size(); ++at)
        EXPECT_EQ(doc->AddText(utf8.data() + at, 1), 0);
    EXPECT_EQ(doc->Extract(), 0);
    std::vector<std::string> bytewise;
    for (int i = 0; i < doc->GetPhraseCount(); ++i)
        bytewise.emplace_back(doc->GetPhrase(i));
    EXPECT_EQ(bytewise, phrases);
}
