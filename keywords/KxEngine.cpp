#include "keywords/KxEngine.h"

#include "keywords/KxWordTables.h"

#include <new>

namespace {

int Fill(kx::KxHashSet& set, int nBuckets, const std::vector<std::string>& words)
{
    int status = set.Create(nBuckets);
    if (status != kx::kHashOk)
        return status;
    for (const std::string& w : words) {
        // The value of a word-set entry is unused; the key is all that is looked up.
        status = set.PutInt(w.c_str(), 1);
        if (status == kx::kHashNoMemory)
            return status;
    }
    return kx::kHashOk;
}

} // namespace

int KxEngine::Build()
{
    try {
        int status = kx::kHashOk;
        if ((status = Fill(englishStop, 2003, kx::EnglishStopWords())) != 0
            || (status = Fill(englishGeneral, 2003, kx::EnglishGeneralWords())) != 0
            || (status = Fill(englishVerbs, 2003, kx::EnglishVerbs())) != 0
            || (status = Fill(frenchStop, 2003, kx::FrenchStopWords())) != 0
            || (status = Fill(frenchGeneral, 2003, kx::FrenchGeneralWords())) != 0
            || (status = Fill(frenchVerbs, 18013, kx::FrenchVerbForms())) != 0
            || (status = Fill(frenchParticles, 203, kx::FrenchParticles())) != 0
            || (status = Fill(frenchPronouns, 203, kx::FrenchPronouns())) != 0
            || (status = Fill(mailHeaders, 101, kx::MailHeaderNames())) != 0)
            return status;
        if ((status = charRefs.Create(1013)) != 0)
            return status;
        for (const auto& [name, text] : kx::CharacterReferences()) {
            if ((status = charRefs.PutString(name.c_str(), text.c_str())) == kx::kHashNoMemory)
                return status;
        }
        return kx::kHashOk;
    } catch (const std::bad_alloc&) {
        return kx::kHashNoMemory;
    }
}
