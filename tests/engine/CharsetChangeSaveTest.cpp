// A site's pages in the charsets old sites hold, given other charsets through the save: each page
// written is its text, character for character, read in the charset it declares then, and each
// page left alone is one the program cannot tell the charset of, told with the way on.
#include "EngineTestSupport.h"
#include "MessageSink.h"
#include "support/EncodingIndexes.h"
#include "support/LegacySitePages.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/project/CPageChecksum.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "platform/core/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace enginetest;
namespace fs = std::filesystem;

namespace {

// The bytes in charset `from` in charset `to`, by the C library's converter, which the program's
// own tables do not go through; empty when they do not all convert.
std::string Iconv(const std::string& bytes, const char* pszFrom, const char* pszTo)
{
    const iconv_t cd = iconv_open(pszTo, pszFrom);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out(bytes.size() * 4 + 16, '\0');
    char* pIn = const_cast<char*>(bytes.data());
    size_t nIn = bytes.size();
    char* pOut = out.data();
    size_t nOut = out.size();
    const bool bWhole = iconv(cd, &pIn, &nIn, &pOut, &nOut) != static_cast<size_t>(-1)
        && iconv(cd, nullptr, nullptr, &pOut, &nOut) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(out.size() - nOut);
    return bWhole ? out : std::string();
}

// UTF-8 text with its numeric character references, and a script's escapes (\uXXXX), read as the
// characters they stand for.
std::string WithReferencesRead(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, 2, "\\u") == 0 && at + 6 <= text.size()
            && std::all_of(text.begin() + static_cast<long>(at) + 2, text.begin() + static_cast<long>(at) + 6,
                           [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; })) {
            Utf8Encode(static_cast<char32_t>(std::stoul(text.substr(at + 2, 4), nullptr, 16)), out);
            at += 6;
            continue;
        }
        if (text.compare(at, 2, "&#") == 0) {
            const bool bHex = at + 2 < text.size() && (text[at + 2] == 'x' || text[at + 2] == 'X');
            char* pEnd = nullptr;
            const unsigned long value = std::strtoul(text.c_str() + at + (bHex ? 3 : 2), &pEnd, bHex ? 16 : 10);
            if (*pEnd == ';' && value > 0) {
                Utf8Encode(static_cast<char32_t>(value), out);
                at = static_cast<size_t>(pEnd - text.c_str()) + 1;
                continue;
            }
        }
        // Up to the next that may begin a reference or an escape, in one piece.
        const size_t nNext = std::min(text.find_first_of("&\\", at + 1), text.size());
        out.append(text, at, nNext - at);
        at = nNext;
    }
    return out;
}

// The text with its charset declarations, and the line each stands on, taken out.
std::string WithoutDeclarations(std::string text)
{
    if (text.rfind("<?xml ", 0) == 0)
        text.erase(0, text.find("?>") + 2);
    for (size_t at = text.find("<meta "); at != std::string::npos; at = text.find("<meta ", at)) {
        const size_t nEnd = text.find('>', at);
        if (text.substr(at, nEnd - at).find("charset") == std::string::npos) {
            at = nEnd;
            continue;
        }
        text.erase(at, nEnd + 1 - at + (text.compare(nEnd + 1, 1, "\n") == 0 ? 1 : 0));
    }
    return text;
}

// The charset a page declares, as its text has it.
std::string DeclaredName(const std::string& page)
{
    const size_t at = page.find("charset=");
    if (at == std::string::npos)
        return std::string();
    size_t nEnd = at + 8 + (page[at + 8] == '"' ? 1 : 0);
    const size_t nStart = nEnd;
    while (nEnd < page.size() && page[nEnd] != '"' && page[nEnd] != '>')
        ++nEnd;
    return page.substr(nStart, nEnd - nStart);
}

// Chapters whose letters the charsets beside their own read as other letters or as signs: the
// Hungarian ő and ű, which Latin-1 has as õ and û; the Estonian Š and ž and the French œ, which
// windows-1252 has elsewhere, and the euro of ISO-8859-15 where Latin-1 has ¤; a few Dutch ë and
// ï among plain letters.
const legacy_site::GuidePage kHungarian{
    "6. fejezet: Hálózati alkalmazások",
    "<h1>6. fejezet: Hálózati alkalmazások</h1>\n"
    "<p>A hálózati kapcsolat létrehozása után különféle hálózati alkalmazásokat telepíthet. Ez a fejezet a "
    "leggyakoribbakat mutatja be: a webböngészőt, a levelezőprogramot, a levelezőkiszolgálót és a távoli "
    "hozzáférés eszközeit.</p>\n"
    "<p>A böngésző működése egyszerű, de az első indítás előtt érdemes ellenőrizni a biztonsági frissítéseket, "
    "mert a böngészőkben talált hibákat gyorsan kihasználják.</p>\n"
    "<h2>6.1. A levelezőkiszolgáló</h2>\n"
    "<p>Ha saját levelezőkiszolgálót szeretne beállítani, először válasszon egy levéltovábbító ügynököt. A rendszer "
    "alapértelmezés szerint egy könnyű ügynököt kínál, amely a legtöbb munkaállomás számára elegendő.</p>\n"};

const legacy_site::GuidePage kEstonian{
    "Peatükk 6. Võrgurakendused",
    "<h1>Peatükk 6. Võrgurakendused</h1>\n"
    "<p>Pärast võrguühenduse loomist saate paigaldada mitmesuguseid võrgurakendusi. See peatükk kirjeldab "
    "levinumaid: veebilehitsejat, meiliklienti, meiliserverit ja kaugjuurdepääsu tööriistu.</p>\n"
    "<p>Šokolaadi e-poe näidis näitab, kuidas server töötab: žürii hindas lehte ja tellimus maksis 30 €. "
    "Brauseri turvauuendusi tasub kontrollida regulaarselt, sest brauserites leitud vigu kasutatakse kiiresti "
    "ära.</p>\n"
    "<h2>6.1. Meiliserver</h2>\n"
    "<p>Kui soovite meiliserverit seadistada, valige kõigepealt meiliedastusagent. Süsteem pakub vaikimisi "
    "kerget agenti, millest piisab enamikule tööjaamadele.</p>\n"};

const legacy_site::GuidePage kDutch{
    "Hoofdstuk 6. Netwerktoepassingen",
    "<h1>Hoofdstuk 6. Netwerktoepassingen</h1>\n"
    "<p>Nadat de netwerkverbinding tot stand is gebracht, kunt u verschillende netwerktoepassingen installeren. "
    "Dit hoofdstuk beschrijft de meest gebruikte: de webbrowser, de mailclient, de mailserver en de "
    "hulpmiddelen voor toegang op afstand.</p>\n"
    "<p>De browser is het meest gebruikte hulpmiddel om pagina's op het netwerk te bekijken. Controleer "
    "regelmatig de beveiligingsupdates, want lekken in browsers worden snel misbruikt. Over de financiële kant "
    "en naïeve ideeën leest u meer in het volgende hoofdstuk.</p>\n"};

const legacy_site::GuidePage kFrenchEuro{
    "Chapitre 7. Le cœur du serveur",
    "<h1>Chapitre 7. Le cœur du serveur</h1>\n"
    "<p>Le cœur du serveur web est son fichier de configuration. Chaque nœud du réseau lit ce fichier au "
    "démarrage, et les œuvres publiées sur le site en dépendent.</p>\n"
    "<p>L'hébergement coûte 30 € par mois pour un petit bureau ; sa sœur, l'offre professionnelle, coûte "
    "90 € et comprend la sauvegarde quotidienne.</p>\n"};

// Chapters of sites written on a Mac or for one: Portuguese, whose ã, á and ç Latin-1 reads as
// signs between letters or leaves undefined; Serbian, whose Ђ, Љ, Њ and capitals windows-1251 and
// x-mac-cyrillic read as each other's letters and signs.
const legacy_site::GuidePage kPortuguese{
    "Capítulo 6. Aplicações de rede",
    "<h1>Capítulo 6. Aplicações de rede</h1>\n"
    "<p>Depois de estabelecer a ligação à rede, pode instalar várias aplicações de rede. Este capítulo descreve as "
    "mais comuns: o navegador, o cliente de correio, o servidor de correio e as ferramentas de acesso remoto.</p>\n"
    "<p>A gestão de conteúdo é simples: cada página tem um título, uma descrição e as palavras-chave que a "
    "descrevem. Não se esqueça de verificar as atualizações de segurança do navegador.</p>\n"
    "<h2>6.1. O servidor de correio</h2>\n"
    "<p>Se quiser configurar o seu próprio servidor de correio, escolha primeiro o agente de transporte. O sistema "
    "oferece por omissão um agente leve, que basta para a maioria das estações de trabalho.</p>\n"};

const legacy_site::GuidePage kSerbian{
    "Поглавље 6. Мрежне апликације",
    "<h1>Поглавље 6. Мрежне апликације</h1>\n"
    "<p>Након успостављања мрежне везе можете инсталирати разне мрежне апликације. Ово поглавље описује "
    "најчешће: веб прегледач, клијент за пошту, сервер поште и алате за удаљени приступ.</p>\n"
    "<p>Управљање садржајем је једноставно: свака страница има наслов, опис и кључне речи. Ђорђе, Љубиша и "
    "Његош редовно провере безбедносна ажурирања прегледача, јер се грешке брзо откривају.</p>\n"
    "<h2>6.1. Сервер поште</h2>\n"
    "<p>Ако желите да подесите сопствени сервер поште, најпре изаберите програм за пренос поште. Систем "
    "подразумевано нуди лаки програм, који је довољан за већину радних станица.</p>\n"};

// A charset a site's pages are in, the converter that writes its bytes here, the text of a chapter of a
// guide it holds, and another charset of its script (none where the web knows no other).
struct SiteCharset {
    const char* pszName;
    const char* pszConverter;
    const legacy_site::GuidePage& page;
    const char* pszOther;
};

const SiteCharset kCharsets[] = {
    {"windows-1252", "CP1252", legacy_site::kFrench, "ISO-8859-15"},
    {"ISO-8859-15", "ISO-8859-15", legacy_site::kGerman, "windows-1252"},
    {"ISO-8859-15", "ISO-8859-15", kEstonian, "windows-1252"},
    {"ISO-8859-15", "ISO-8859-15", kFrenchEuro, "windows-1252"},
    {"ISO-8859-1", "ISO-8859-1", kDutch, "ISO-8859-15"},
    {"ISO-8859-2", "ISO-8859-2", legacy_site::kPolish, "windows-1250"},
    {"windows-1250", "CP1250", legacy_site::kCzech, "ISO-8859-2"},
    {"ISO-8859-2", "ISO-8859-2", legacy_site::kCzech, "windows-1250"},
    {"ISO-8859-2", "ISO-8859-2", kHungarian, "windows-1250"},
    {"ISO-8859-9", "ISO-8859-9", legacy_site::kTurkish, "windows-1252"},
    {"windows-1254", "CP1254", legacy_site::kTurkish, "windows-1252"},
    {"windows-1258", "CP1258", legacy_site::kVietnamese, "windows-1252"},
    {"windows-1257", "CP1257", legacy_site::kLithuanian, "ISO-8859-13"},
    {"ISO-8859-13", "ISO-8859-13", legacy_site::kLithuanian, "windows-1257"},
    {"KOI8-R", "KOI8-R", legacy_site::kRussian, "windows-1251"},
    {"windows-1251", "CP1251", legacy_site::kRussian, "KOI8-R"},
    {"ISO-8859-5", "ISO-8859-5", legacy_site::kRussian, "windows-1251"},
    {"IBM866", "IBM866", legacy_site::kRussian, "windows-1251"},
    {"KOI8-U", "KOI8-U", legacy_site::kUkrainian, "windows-1251"},
    {"windows-1251", "CP1251", kSerbian, "x-mac-cyrillic"},
    {"x-mac-cyrillic", "MAC-CYRILLIC", kSerbian, "windows-1251"},
    {"macintosh", "MACINTOSH", kPortuguese, "windows-1252"},
    {"ISO-8859-7", "ISO-8859-7", legacy_site::kGreek, "windows-1253"},
    {"windows-1253", "CP1253", legacy_site::kGreek, "ISO-8859-7"},
    {"ISO-8859-8", "ISO-8859-8", legacy_site::kHebrew, "windows-1255"},
    {"windows-1255", "CP1255", legacy_site::kHebrew, "ISO-8859-8"},
    {"windows-1256", "CP1256", legacy_site::kArabic, "ISO-8859-6"},
    {"ISO-8859-6", "ISO-8859-6", legacy_site::kArabic, "windows-1256"},
    {"windows-874", "CP874", legacy_site::kThai, nullptr},
    {"Shift_JIS", "CP932", legacy_site::kJapanese, "EUC-JP"},
    {"EUC-JP", "EUC-JP", legacy_site::kJapanese, "Shift_JIS"},
    {"ISO-2022-JP", "ISO-2022-JP", legacy_site::kJapanese, "Shift_JIS"},
    {"GBK", "GBK", legacy_site::kChinese, "gb18030"},
    {"gb18030", "GB18030", legacy_site::kChinese, "GBK"},
    {"Big5", "BIG5", legacy_site::kTraditionalChinese, "gb18030"},
    {"EUC-KR", "EUC-KR", legacy_site::kKorean, nullptr},
};

// The bytes of a page read in a charset it may declare, as browsers read it: the one-byte
// charsets by their tables, the others by the C library's converter; empty when they do not
// read in it.
std::string ReadIn(std::string name, const std::string& bytes)
{
    std::transform(name.begin(), name.end(), name.begin(), [](char ch) { return static_cast<char>(std::tolower(ch)); });
    if (name == "iso-8859-1")
        name = "windows-1252";
    else if (name == "iso-8859-9")
        name = "windows-1254";
    std::u32string characters;
    characters.reserve(bytes.size());
    if (encoding_indexes::ReadOneByte(name, bytes, characters)) {
        std::string text;
        text.reserve(bytes.size() * 2);
        for (const char32_t ch : characters)
            Utf8Encode(ch, text);
        return text;
    }
    // x-mac-ce, which no browser reads pages in, only as the text of a page written in it.
    static const std::map<std::string, const char*> converters = {
        {"utf-8", "UTF-8"}, {"shift_jis", "CP932"}, {"euc-jp", "EUC-JP"}, {"iso-2022-jp", "ISO-2022-JP"},
        {"gbk", "GB18030"}, {"gb18030", "GB18030"}, {"big5", "BIG5"}, {"euc-kr", "CP949"},
        {"x-mac-ce", "MAC-CENTRALEUROPE"}};
    const auto found = converters.find(name);
    return found == converters.end() ? std::string() : Iconv(bytes, found->second, "UTF-8");
}

// The ways a chapter's page is laid out: its text, a title over plain ASCII, a title followed by a
// long style sheet, a sign in the head before the style sheet, a title over a price in the sign ¤,
// which the charsets beside some of those that have it read as their currency; its text only in an
// image's attributes, a <noscript>, a <textarea> and a <pre>, only in a comment, or only in a
// script's string; its text under a declaration that stands after 2 KB of head; and its text with
// the five bytes windows-1252 leaves unassigned.
enum class Layout { Text, Title, TitleStyle, SignStyle, Currency, Elements, Comment, Script, LateLabel, Strays };
// How the page says what it is in.
enum class Label { HttpEquiv, MetaCharset, None, Latin1, OtherOfScript };

constexpr const char* kStraysMark = "@strays@";

std::string StyleSheet()
{
    std::string rules = "<style type=\"text/css\">\n";
    for (int n = 1; rules.size() < 4096; ++n)
        rules += ".toc li.level" + std::to_string(n) + " { margin: 0 0 0 " + std::to_string(n) +
                 "em; list-style: none; font: 13px/1.4 sans-serif; color: #333; }\n";
    return rules + "</style>\n";
}

// The lines of a chapter's text without its tags.
std::vector<std::string> PlainLines(const std::string& body)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t at = 0; at < body.size(); ++at) {
        if (body[at] == '<')
            at = body.find('>', at);
        else if (body[at] != '\n')
            line += body[at];
        else if (!line.empty())
            lines.push_back(std::exchange(line, std::string()));
    }
    return lines;
}

// The chapter's text where only markup other than its paragraphs holds it.
std::string BodyElsewhere(const char* pszBody, Layout layout)
{
    const std::vector<std::string> lines = PlainLines(pszBody);
    std::string all;
    for (const std::string& line : lines)
        all += (all.empty() ? "" : " ") + line;
    const std::string ascii = "<p>See the next chapter for the settings of the mail server.</p>\n";
    switch (layout) {
    case Layout::Comment: return ascii + "<!-- " + all + " -->\n";
    case Layout::Script: return ascii + "<script type=\"text/javascript\">\nvar chapter = \"" + all + "\";\n</script>\n";
    default: break;
    }
    std::string body = "<p><img src=\"figure6.png\" alt=\"" + lines[0] + "\"></p>\n<noscript>" + lines[1] + "</noscript>\n";
    if (lines.size() > 2)
        body += "<textarea name=\"notes\" rows=\"4\">" + lines[2] + "</textarea>\n";
    std::string rest;
    for (size_t i = 3; i < lines.size(); ++i)
        rest += lines[i] + "\n";
    return body + (rest.empty() ? std::string() : "<pre>" + rest + "</pre>\n");
}

// The page in UTF-8, but for the five unassigned bytes of windows-1252, which stand as a mark.
std::string PageText(const SiteCharset& charset, Layout layout, const std::string& declaration)
{
    static const std::string style = StyleSheet();
    const std::string ascii = "<p>See the next chapter for the settings of the mail server.</p>\n";
    std::string head = "<html><head>\n" + (layout == Layout::LateLabel ? style : std::string()) + declaration;
    if (layout == Layout::SignStyle) {
        // A sign the charset has.
        for (const char* pszSign : {"\u00A9", "\u00B0", "\u00A7", "\u2116", "\u060C"}) {
            if (!Iconv(pszSign, "UTF-8", charset.pszConverter).empty()) {
                head += "<meta name=\"copyright\" content=\"" + std::string(pszSign) + " 2004 The Guide Project\">\n";
                break;
            }
        }
    }
    const bool bAsciiTitle = layout == Layout::Elements || layout == Layout::Comment || layout == Layout::Script;
    const std::string title = "<title>" + std::string(bAsciiTitle ? "Network applications" : charset.page.pszTitle) + "</title>\n";
    if (layout == Layout::TitleStyle)
        head += title + style;
    else if (layout == Layout::SignStyle)
        head += style + title;
    else
        head += title;
    std::string body = ascii;
    switch (layout) {
    case Layout::Text:
    case Layout::LateLabel: body = charset.page.pszBody; break;
    case Layout::Strays: body = charset.page.pszBody + std::string("<p>Ref. R-") + kStraysMark + "-12</p>\n"; break;
    case Layout::Currency: body = "<p>Price: 15 \u00A4 a month.</p>\n"; break;
    case Layout::Elements:
    case Layout::Comment:
    case Layout::Script: body = BodyElsewhere(charset.page.pszBody, layout); break;
    default: break;
    }
    return head + "</head><body>\n" + body + "</body></html>\n";
}

// The labellings each layout is given: all five for the text in paragraphs and a title; where the
// text stands elsewhere, a right label, none and a wrong one; after 2 KB of head, a right and a
// wrong one.
bool IsLabelledSo(Layout layout, Label label)
{
    switch (layout) {
    case Layout::Elements:
    case Layout::Comment:
    case Layout::Script: return label == Label::HttpEquiv || label == Label::None || label == Label::Latin1;
    case Layout::LateLabel: return label == Label::HttpEquiv || label == Label::Latin1;
    default: return true;
    }
}

// Whether the page is given another charset of its script besides UTF-8 and its own: not where its
// text stands in elements, a comment or a script alone, whose bytes are judged as any others.
bool IsGivenAnother(Layout layout)
{
    return layout != Layout::Elements && layout != Layout::Comment && layout != Layout::Script;
}

std::string Declaration(Label label, const std::string& name)
{
    switch (label) {
    case Label::None: return std::string();
    case Label::MetaCharset: return "<meta charset=\"" + name + "\">\n";
    default: return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + name + "\">\n";
    }
}

struct Case {
    const SiteCharset* pCharset;
    Layout layout;
    Label label;
    std::string labelName; // the charset the page declares, empty for none
    std::string target;
    std::string bytes;
    std::string text;      // the page's bytes read in the charset they are in
    bool bLabelRight = false;
    CPageNode* pPage = nullptr;
    CMetaContent* pContentType = nullptr; // the page's, edited
};

// Where two texts part, with a few characters of each from there.
std::string Difference(const std::string& written, const std::string& text)
{
    size_t at = 0;
    while (at < written.size() && at < text.size() && written[at] == text[at])
        ++at;
    const size_t nFrom = at > 20 ? at - 20 : 0;
    return "written \"" + written.substr(nFrom, 60) + "\"\n   text \"" + text.substr(nFrom, 60) + "\"";
}

std::string Describe(const Case& c)
{
    static const char* const layouts[] = {"text",    "title",  "title+style", "sign+style",  "price",
                                          "elements", "comment", "script",     "late label", "strays"};
    return std::string(c.pCharset->pszName) + ", " + layouts[static_cast<int>(c.layout)] + ", labelled " +
           (c.labelName.empty() ? std::string("nothing") : c.labelName) + ", given " + c.target;
}

class CharsetChangeSaveTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        m_pModel->GetMetaSettings().SetDefaults();
        m_pModel->SetProjectSettings(std::make_unique<CProjectSettings>());
        auto* pSetting = new CMetaUndefinedSetting;
        pSetting->SetName("Content-Type");
        pSetting->SetHttpEquiv(1);
        m_pModel->GetMetaSettings().AddTail(pSetting);
        m_root.SetKind(CPageNode::kindRoot);
    }

    // The page written to the site, as a scan read it, with its Content-Type given the charset.
    void AddPage(const std::string& name, Case& c)
    {
        WriteFileBytes(TempDir() / name, c.bytes);
        auto pPage = std::make_unique<CPageNode>();
        pPage->SetKind(CPageNode::kindPage);
        pPage->SetScanState(0);
        pPage->SetName(name.c_str());
        pPage->SetFolder(TempDir().c_str());
        NoteFileAsScanned(*pPage);
        CMetaContentList* pList = nullptr;
        pPage->CreateContentList(pList);
        pList->AddContent("Content-Type", ("text/html; charset=" + c.target).c_str(), 1, c.pContentType);
        c.pPage = pPage.get();
        m_root.AddChild(pPage.release());
    }

    // Saves the pages; what the Output Area told of each, by its name as the lines have it.
    std::map<std::string, std::string> Save(CSelNodesCol& selection)
    {
        MessageSink sink;
        std::map<std::string, std::string> told;
        EXPECT_EQ(m_engine.StartSave(selection, sink.Handle(), sink.Handle()), 0u);
        if (!sink.WaitFor(kMsgSaveFinished))
            return told;
        for (const std::string& line : sink.Lines())
            told[line.substr(0, line.find(" : "))] = line.substr(line.find(" : ") + 3);
        return told;
    }

    CParserEngine m_engine;
    CPageNode m_root;
};

// The name of the page of the i-th case, as the lines name it.
std::string Name(size_t i)
{
    return "P" + std::to_string(i) + ".HTM";
}

// The ways on a line names, in its words: "converted from ISO-8859-1", "its bytes kept, declared
// UTF-8"; none when it names none.
std::vector<std::string> WaysNamed(const std::string& line)
{
    const std::string lead = "take there the one meant (";
    const size_t at = line.find(lead);
    std::vector<std::string> ways;
    if (at == std::string::npos)
        return ways;
    std::string list = line.substr(at + lead.size(), line.find("), and save again", at) - at - lead.size());
    for (size_t nCut; (nCut = list.find(" or ")) != std::string::npos;)
        list.replace(nCut, 4, ", ");
    for (size_t nFrom = 0; nFrom <= list.size();) {
        // "its bytes kept, declared X" holds a comma of its own.
        size_t nEnd = list.find(", ", nFrom);
        if (nEnd != std::string::npos && list.compare(nFrom, 15, "its bytes kept,") == 0)
            nEnd = list.find(", ", nEnd + 2);
        ways.push_back(list.substr(nFrom, nEnd == std::string::npos ? std::string::npos : nEnd - nFrom));
        nFrom = nEnd == std::string::npos ? list.size() + 1 : nEnd + 2;
    }
    return ways;
}

// The charsets a line offers to convert the page from.
std::vector<std::string> ConvertedFrom(const std::string& line)
{
    std::vector<std::string> charsets;
    for (const std::string& way : WaysNamed(line)) {
        if (way.rfind("converted from ", 0) == 0)
            charsets.push_back(way.substr(15));
    }
    return charsets;
}

// The charset the page's Content-Type is given now.
std::string Given(const Case& c)
{
    const std::string value = c.pContentType->GetContent().GetString();
    return value.substr(value.find("charset=") + 8);
}

// What the user who follows the line that left a page alone takes in the Preview: of the ways the
// line names, the one whose reading is the page's text, and the charset it converts from. None
// when no way does.
struct Step {
    CharsetChoice choice = CharsetChoice::None;
    std::string source;
};

// Whether a way on, in the line's words, reads the page's bytes as its text: converted from a
// charset, or kept under the charset given.
bool ReadsItsText(const Case& c, const std::string& way, const std::string& bytes)
{
    std::string charset;
    if (way.rfind("converted from ", 0) == 0)
        charset = way.substr(15);
    else if (way.rfind("its bytes kept", 0) == 0)
        charset = Given(c);
    return !charset.empty() && WithoutDeclarations(ReadIn(charset, bytes)) == WithoutDeclarations(c.text);
}

// Whether the first way a line names, but converting from the page's label, reads its text.
bool FirstWayReadsItsText(const Case& c, const std::string& line)
{
    const std::vector<std::string> ways = WaysNamed(line);
    const auto first = std::find_if(ways.begin(), ways.end(),
                                    [&](const std::string& way) { return way != "converted from " + c.labelName; });
    return first != ways.end() && ReadsItsText(c, *first, c.bytes);
}

Step WayOn(const Case& c, const std::string& line, const std::string& bytes)
{
    const std::vector<std::string> ways = WaysNamed(line);
    for (const std::string& way : ways) {
        if (way.rfind("converted from ", 0) == 0 && ReadsItsText(c, way, bytes))
            return {CharsetChoice::Convert, way.substr(15)};
    }
    for (const std::string& way : ways) {
        if (way.rfind("its bytes kept", 0) == 0 && ReadsItsText(c, way, bytes))
            return {CharsetChoice::KeepBytes, std::string()};
    }
    return Step();
}

// The way taken as the Preview takes it: on the page's bytes, read in the charset named.
CharsetWay TakenWay(const Step& step, const std::string& bytes)
{
    CPageChecksum checksum;
    checksum.Add(bytes.data(), bytes.size());
    return {step.choice, step.source.c_str(), checksum.Get()};
}

} // namespace

// Every page of a site in 36 pairs of charset and language, ten layouts (its text in paragraphs,
// in a title, in attributes and the elements that show text as it stands, in a comment or a script
// alone, under a declaration after 2 KB of head, beside the bytes windows-1252 leaves unassigned),
// up to five ways of labelling it, given UTF-8, its own charset and mostly another of its script,
// and saved: a page written holds its text, every byte of it, read in the charset it now declares;
// a page whose label is right is never left alone but in doubt with a reading of its sign ¤ as a
// currency, nor is a page that declares nothing given the charset it is in; a page left alone is
// one whose label is wrong or missing, or whose bytes read as text two ways, and its line names the
// ways on and no charset to declare first, one of which reads as the page's own text, under a wrong
// label the first but the label's own. The user who
// follows the line, taking in the Preview the way whose reading is the page's text, has the page
// written in the charset given, its text whole.
TEST_F(CharsetChangeSaveTest, EveryPageGivenACharsetKeepsItsTextOrIsLeftAloneWithTheWayOn)
{
    std::vector<Case> cases;
    for (const SiteCharset& charset : kCharsets) {
        for (const Layout layout : {Layout::Text, Layout::Title, Layout::TitleStyle, Layout::SignStyle, Layout::Currency,
                                    Layout::Elements, Layout::Comment, Layout::Script, Layout::LateLabel, Layout::Strays}) {
            if (layout == Layout::Currency && Iconv("\u00A4", "UTF-8", charset.pszConverter).empty())
                continue;
            if (layout == Layout::Strays && std::string(charset.pszName) != "windows-1252")
                continue;
            for (const Label label : {Label::HttpEquiv, Label::MetaCharset, Label::None, Label::Latin1, Label::OtherOfScript}) {
                const char* pszLabel = label == Label::None ? "" : label == Label::Latin1 ? "ISO-8859-1"
                                     : label == Label::OtherOfScript ? charset.pszOther : charset.pszName;
                if (pszLabel == nullptr || !IsLabelledSo(layout, label))
                    continue;
                for (const char* pszTarget : {"UTF-8", charset.pszName, charset.pszOther}) {
                    if (pszTarget == nullptr || (pszTarget == charset.pszOther && !IsGivenAnother(layout)))
                        continue;
                    Case c{&charset, layout, label, pszLabel, pszTarget, {}, {}};
                    c.bytes = Iconv(PageText(charset, layout, Declaration(label, pszLabel)), "UTF-8", charset.pszConverter);
                    if (const size_t at = c.bytes.find(kStraysMark); at != std::string::npos)
                        c.bytes.replace(at, std::strlen(kStraysMark), "\x81\x8D\x8F\x90\x9D");
                    c.text = ReadIn(charset.pszName, c.bytes);
                    ASSERT_FALSE(c.text.empty()) << "the page was not made: " << Describe(c);
                    c.bLabelRight = !c.labelName.empty() && ReadIn(c.labelName, c.bytes) == c.text;
                    cases.push_back(std::move(c));
                }
            }
        }
    }
    CSelNodesCol all;
    for (size_t i = 0; i < cases.size(); ++i) {
        AddPage(Name(i), cases[i]);
        all.AddTail(cases[i].pPage);
    }
    std::map<std::string, std::string> told = Save(all);

    // A page written declares the charset it was given, and read in it is its text. Only a page
    // whose ¤ a wrong label, or the charset given a page that declares none, reads as the
    // currency of the charset beside its own may show that.
    const auto judge = [&](size_t i, const std::string& given) {
        const Case& c = cases[i];
        const std::string saved = ReadFileBytes(TempDir() / Name(i));
        EXPECT_EQ(DeclaredName(saved), given) << Describe(c);
        std::string written = WithoutDeclarations(WithReferencesRead(ReadIn(DeclaredName(saved), saved)));
        const std::string text = WithoutDeclarations(c.text);
        const bool bSign = text.find("\u00A4") != std::string::npos;
        for (const std::string currency : {"\u20AC", "\u20AA"}) {
            for (size_t at = written.find(currency); bSign && !c.bLabelRight && at != std::string::npos;
                 at = written.find(currency))
                written.replace(at, currency.size(), "\u00A4");
        }
        EXPECT_TRUE(written == text) << Describe(c) << ", declared " << given << ":\n" << Difference(written, text);
    };
    std::map<std::string, size_t> outcomes;
    std::vector<size_t> followed; // the pages left alone
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string saved = ReadFileBytes(TempDir() / Name(i));
        const std::string& line = told[Name(i)];
        if (saved != c.bytes) {
            judge(i, c.target);
            ++outcomes[WithoutDeclarations(saved) == WithoutDeclarations(c.bytes) ? "bytes kept" : "converted"];
            continue;
        }
        if (line.rfind("Nothing to write", 0) == 0) {
            // Only a page given the charset it declares already holds its edit.
            EXPECT_EQ(c.target, c.labelName) << Describe(c);
            ++outcomes["held its edit"];
            continue;
        }
        // Only a ¤ that may be the currency of the charset beside leaves either in doubt, with
        // the way to its text open: converting from the right label, or keeping the bytes.
        const bool bInDoubt = line.find("so it is neither converted to") != std::string::npos;
        const bool bOverSign = c.text.find("\u00A4") != std::string::npos && bInDoubt;
        const std::vector<std::string> from = ConvertedFrom(line);
        EXPECT_TRUE(!c.bLabelRight || (bOverSign && !from.empty() && from.front() == c.labelName))
            << "a right label was refused: " << Describe(c) << "\n" << line;
        EXPECT_TRUE(c.label != Label::None || c.target != c.pCharset->pszName
                    || (bOverSign && line.find("its bytes kept, declared " + c.target) != std::string::npos))
            << "a page that declares nothing was refused the charset it is in: " << Describe(c) << "\n" << line;
        // Every page left alone has its ways on, each shown in the Preview; none is told to
        // declare a charset first.
        EXPECT_NE(line.find("View > Changes shows how each way reads"), std::string::npos) << Describe(c) << "\n" << line;
        EXPECT_TRUE(line.find("Declare ") == std::string::npos && line.find(", declare ") == std::string::npos)
            << Describe(c) << "\n" << line;
        // Under a wrong label, the first way on but the label's reads the page's text: no reading
        // of another script, nor of other letters, comes before it; only a sign ¤ and a currency
        // leave the order to nothing.
        if (!c.labelName.empty() && !c.bLabelRight && !bOverSign && !FirstWayReadsItsText(c, line)) {
            ADD_FAILURE() << "the first way does not read its text: " << Describe(c) << "\n" << line;
            ++outcomes["wrong label, first way not its text"];
        }
        ++outcomes[bInDoubt ? "in doubt" : "left alone"];
        followed.push_back(i);
    }

    // The ways on followed: each page left alone is written as the way taken, in the charset it
    // was given.
    for (int nSave = 0; nSave < 1 && !followed.empty(); ++nSave) {
        CSelNodesCol selection;
        std::vector<size_t> selected;
        for (const size_t i : followed) {
            const Case& c = cases[i];
            const std::string& line = told[Name(i)];
            const std::string bytes = ReadFileBytes(TempDir() / Name(i));
            const Step step = WayOn(c, line, bytes);
            if (step.choice == CharsetChoice::None) {
                ADD_FAILURE() << "no way on reads as the page's text: " << Describe(c) << "\n" << line;
                ++outcomes["no way to its text"];
                continue;
            }
            c.pContentType->SetCharsetWay(TakenWay(step, bytes));
            selection.AddTail(c.pPage);
            selected.push_back(i);
        }
        told = Save(selection);
        followed.clear();
        for (const size_t i : selected) {
            if (!cases[i].pContentType->GetModified())
                judge(i, Given(cases[i]));
            if (Given(cases[i]) != cases[i].target || cases[i].pContentType->GetModified())
                followed.push_back(i);
        }
    }
    EXPECT_TRUE(followed.empty()) << followed.size() << " pages went round in circles, the first "
                                  << Describe(cases[followed.front()]) << "\n" << told[Name(followed.front())];

    outcomes.try_emplace("no way to its text", 0);
    outcomes.try_emplace("wrong label, first way not its text", 0);
    std::string summary;
    for (const auto& [outcome, count] : outcomes)
        summary += outcome + ": " + std::to_string(count) + "; ";
    RecordProperty("outcomes", summary);
    std::printf("%zu pages: %s\n", cases.size(), summary.c_str());
}

namespace {

// A site whose pages declare the charset they are in, and what its pages hold beside their own
// text: a language menu in each language's own letters, names from several languages, a
// quotation in another language, a footer of signs beside words, and short titles full of
// accents. Words a charset has no bytes for are left out of its pages.
struct RightSite {
    const char* pszLabel;
    const char* pszConverter;
    const char* pszOwn;    // a paragraph in the site's language
    const char* pszTitles; // short titles, parted by "|"
    const char* pszMenu;
    const char* pszNames;
    const char* pszQuote;
    const char* pszSigns;
};

constexpr const char* kWesternMenu = "Deutsch · Français · Español · Íslenska · Català · Português · Italiano · Nederlands · "
                                     "Dansk · Svenska · English";
constexpr const char* kWesternNames = "José Muñoz, Jürgen Müller, Björn Ångström, Søren Kierkegaard, Zoë Brontë, "
                                      "François Truffaut, Halldór Laxness";
constexpr const char* kWesternQuote = "«Je pense, donc je suis.» — „Wer fremde Sprachen nicht kennt, weiß nichts von "
                                      "seiner eigenen.“ — ¿Qué será, será? — «Eppur si muove!»";
constexpr const char* kWesternSigns = "© 2004 Müller & Co. · Tel. 0123 45 · 20 °C ± 2 ° · § 5 Abs. 2 · 5 µm · ½ Liter · "
                                      "¿Dudas? ¡Llámenos! · «Impressum» · col·lecció · 3 × 4 · 15 € · „Hinweis” · Marke™";
constexpr const char* kCentralMenu = "Polski · Čeština · Slovenčina · Magyar · Hrvatski · Slovenščina · Română · Deutsch · "
                                     "English";
constexpr const char* kCentralNames = "Lech Wałęsa, Václav Havel, Ödön von Horváth, Miroslav Krleža, Ľudovít Štúr, "
                                      "Jürgen Müller, Mihai Eminescu";
constexpr const char* kCentralQuote = "Goethe: „Wer fremde Sprachen nicht kennt, weiß nichts von seiner eigenen.“ — "
                                      "«Je pense, donc je suis.» — „Ég a napmelegtől a kopár szik sarja”";
constexpr const char* kCentralSigns = "© 2004 Firma s.r.o. · § 5 · 20 °C · ± 2 · 3 × 4 · 5 µm · «Kontakt» · 15 € · "
                                      "„Upozornění”";
constexpr const char* kCyrillicMenu = "Русский · Українська · Беларуская · Български · Српски · Македонски · English";
constexpr const char* kCyrillicNames = "Лев Толстой, Тарас Шевченко, Янка Купала, Никола Тесла, Ђорђе Вајферт, Jürgen Müller";
constexpr const char* kCyrillicQuote = "«Реве та стогне Дніпр широкий» — «Я помню чудное мгновенье» — To be, or not to be.";
constexpr const char* kCyrillicSigns = "© 2004 ООО «Сеть» · № 5 · § 3 · ± 2 · 20 °C · 15 € · „Новости“";
constexpr const char* kGreekMenu = "Ελληνικά · English · Deutsch · Français · Español";
constexpr const char* kGreekNames = "Οδυσσέας Ελύτης, Γιώργος Σεφέρης, Νίκος Καζαντζάκης, Ρήγας Φεραίος, Jürgen Müller";
constexpr const char* kGreekQuote = "«Μηδέν άγαν» — «Veni, vidi, vici» — «Wer fremde Sprachen nicht kennt»";
constexpr const char* kGreekSigns = "© 2004 Εταιρεία · § 5 · 20 °C · ± 2 · ½ κιλό · «Επικοινωνία» · 15 €";
constexpr const char* kTurkishMenu = "Türkçe · Deutsch · Français · Español · Íslenska · English";
constexpr const char* kTurkishNames = "Orhan Pamuk, Nazım Hikmet, Yaşar Kemal, Jürgen Müller, François Truffaut, Zoë Brontë";
constexpr const char* kTurkishQuote = "„Wer fremde Sprachen nicht kennt, weiß nichts von seiner eigenen.“ — «Je pense, "
                                      "donc je suis.»";
constexpr const char* kTurkishSigns = "© 2004 Şirket · § 5 · 20 °C ± 2 · ½ kilo · «İletişim» · ¿Qué? · 15 €";

const RightSite kRightSites[] = {
    {"ISO-8859-1", "ISO-8859-1",
     "Willkommen auf unserer Seite. Hier finden Sie Informationen über unsere Produkte, Öffnungszeiten und Preise. "
     "Für Fragen schreiben Sie uns bitte eine Nachricht.",
     "Über uns|Größe", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"ISO-8859-1", "ISO-8859-1",
     "Benvenuti nel nostro sito. Qui troverete le informazioni sui prodotti, sugli orari di apertura e sui prezzi. "
     "Perché aspettare? Venite a trovarci in città.",
     "Perché|Città", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"ISO-8859-1", "ISO-8859-1",
     "Velkomin á vefinn okkar. Hér finnur þú upplýsingar um þjónustu, opnunartíma og verð. Við svörum fyrirspurnum "
     "eins fljótt og auðið er.",
     "Þórður|Ísland", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"ISO-8859-15", "ISO-8859-15",
     "Bienvenue sur notre site. Vous trouverez ici les informations sur nos produits, nos horaires d'ouverture et nos "
     "prix : l'abonnement coûte 30 € par mois. Le cœur de notre métier reste le conseil.",
     "Œuvres|Été", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"windows-1252", "CP1252",
     "Benvinguts a la nostra pàgina. Aquí trobareu informació sobre la col·lecció del museu, els horaris i les "
     "activitats per a famílies. L’entrada costa 5 €.",
     "Què és?|Col·lecció", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"windows-1252", "CP1252",
     "Velkomin á vefinn okkar. Hér finnur þú upplýsingar um þjónustu, opnunartíma og verð. Við svörum fyrirspurnum "
     "eins fljótt og auðið er.",
     "Þjónusta|Auðið", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"ISO-8859-2", "ISO-8859-2",
     "Witamy na naszej stronie. Znajdziesz tu informacje o produktach, godzinach otwarcia i cenach. Zapraszamy do "
     "kontaktu przez formularz.",
     "Łódź|Żółć", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"ISO-8859-2", "ISO-8859-2",
     "Üdvözöljük honlapunkon. Itt találja a termékekkel, a nyitvatartással és az árakkal kapcsolatos információkat. "
     "Kérdéseire örömmel válaszolunk.",
     "Győr|Hűtő", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"windows-1250", "CP1250",
     "Vítejte na našich stránkách. Najdete zde informace o výrobcích, otevírací době a cenách. Těšíme se na vaši "
     "návštěvu.",
     "Řečiště|Čeština", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"windows-1250", "CP1250",
     "Witamy na naszej stronie. Znajdziesz tu informacje o produktach, godzinach otwarcia i cenach. Zapraszamy do "
     "kontaktu przez formularz.",
     "Łódź|Źródło", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"windows-1250", "CP1250",
     "Bine aţi venit pe site-ul nostru. Aici găsiţi informaţii despre produse, programul de lucru şi preţuri. "
     "Aşteptăm întrebările dumneavoastră.",
     "Ştiri|Ţară", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"ISO-8859-2", "ISO-8859-2",
     "Bine aţi venit pe site-ul nostru. Aici găsiţi informaţii despre produse, programul de lucru şi preţuri. "
     "Aşteptăm întrebările dumneavoastră.",
     "Ştiri|Ţară", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"ISO-8859-16", "ISO-8859-16",
     "Bine ați venit pe site-ul nostru. Aici găsiți informații despre produse, programul de lucru și prețuri. "
     "Așteptăm întrebările dumneavoastră.",
     "Știri|Țară", kCentralMenu, kCentralNames, kCentralQuote, kCentralSigns},
    {"macintosh", "MACINTOSH",
     "Bem-vindo ao nosso sítio. Aqui encontra informações sobre os produtos, o horário de funcionamento e os preços. "
     "Não hesite em contactar-nos: responderemos à sua questão o mais depressa possível.",
     "Gestão|Página", kWesternMenu, kWesternNames, kWesternQuote, kWesternSigns},
    {"x-mac-cyrillic", "MAC-CYRILLIC",
     "Добро дошли на наш сајт. Овде ћете наћи податке о производима, радном времену и ценама. Пишите нам, "
     "одговорићемо брзо. Љубазно особље и Ђорђе вас очекују.",
     "Управљање|Ђорђе", kCyrillicMenu, kCyrillicNames, kCyrillicQuote, kCyrillicSigns},
    {"windows-1251", "CP1251",
     "Добро пожаловать на наш сайт. Здесь вы найдёте сведения о товарах, часах работы и ценах. Пишите нам, мы "
     "ответим быстро.",
     "Щёлк|Ёж", kCyrillicMenu, kCyrillicNames, kCyrillicQuote, kCyrillicSigns},
    {"KOI8-R", "KOI8-R",
     "Добро пожаловать на наш сайт. Здесь вы найдёте сведения о товарах, часах работы и ценах. Пишите нам, мы "
     "ответим быстро.",
     "Щёлк|Ёж", kCyrillicMenu, kCyrillicNames, kCyrillicQuote, kCyrillicSigns},
    {"KOI8-U", "KOI8-U",
     "Ласкаво просимо на наш сайт. Тут ви знайдете відомості про товари, години роботи та ціни. Пишіть нам, ми "
     "швидко відповімо.",
     "Ґанок|Їжак", kCyrillicMenu, kCyrillicNames, kCyrillicQuote, kCyrillicSigns},
    {"ISO-8859-7", "ISO-8859-7",
     "Καλώς ήρθατε στον ιστότοπό μας. Εδώ θα βρείτε πληροφορίες για τα προϊόντα, το ωράριο λειτουργίας και τις "
     "τιμές.",
     "Άρθρα|Ωδή", kGreekMenu, kGreekNames, kGreekQuote, kGreekSigns},
    {"windows-1253", "CP1253",
     "Καλώς ήρθατε στον ιστότοπό μας. Εδώ θα βρείτε πληροφορίες για τα προϊόντα, το ωράριο λειτουργίας και τις "
     "τιμές.",
     "Άρθρα|Ωδή", kGreekMenu, kGreekNames, kGreekQuote, kGreekSigns},
    {"ISO-8859-9", "ISO-8859-9",
     "Sitemize hoş geldiniz. Burada ürünler, çalışma saatleri ve fiyatlar hakkında bilgi bulabilirsiniz. "
     "Sorularınız için bize yazın.",
     "Çağrı|Ağaç", kTurkishMenu, kTurkishNames, kTurkishQuote, kTurkishSigns},
    {"windows-1254", "CP1254",
     "Sitemize hoş geldiniz. Burada ürünler, çalışma saatleri ve fiyatlar hakkında bilgi bulabilirsiniz. "
     "Sorularınız için bize yazın.",
     "Çağrı|Ağaç", kTurkishMenu, kTurkishNames, kTurkishQuote, kTurkishSigns},
};

// Sites whose pages hold, beside their own language, the shapes a single byte decides between
// two charsets of a script: an acute accent typed as an apostrophe, fractions beside units, a sign
// glued to a word by a typo, a glossary line of words from several languages, names from several
// countries and a language menu; each page is given UTF-8 and every other charset of its script.
struct ShapeSite {
    const char* pszLabel;
    const char* pszConverter;
    const char* pszOwn;
    const char* pszOthers; // the other charsets of its script, parted by "|"
};

constexpr const char* kShapeApostrophe = "Don´t close the window: it´s still saving. L´école, l´été, c´est ça.";
constexpr const char* kShapeFractions = "½kg Mehl, ¼ l Milch, ¾ Tasse, 1½ Löffel Zucker.";
constexpr const char* kShapeGlued = "Ajuste la Exposición¢ y el tamaño. Größe§ 3, Menü© und Grüße° aus Köln.";
constexpr const char* kShapeGlossary = "così, aşağıdaki, győződjön, Łódź, Ærø, Þórður, Šokolaad, žūklė, ģimene, "
                                       "Ελλάδα, İstanbul, Bucureşti, București";
constexpr const char* kShapeNames = "Jyrki Kärkkäinen, Søren Kierkegaard, José Muñoz, Łukasz Żółć, Ödön Horváth, "
                                    "Þórður Guðmundsson, Şükrü Saraçoğlu, Jānis Bērziņš, Ramūnas Šarka, Γιώργος Σεφέρης";
constexpr const char* kShapeMenu = "Suomi · Deutsch · Français · Español · Polski · Magyar · Türkçe · Latviešu · Lietuvių · "
                                   "Eesti · Ελληνικά · Íslenska · Slovenščina";

constexpr const char* kWesternOthers = "ISO-8859-1|ISO-8859-15|windows-1252";
constexpr const char* kCentralOthers = "ISO-8859-2|windows-1250|ISO-8859-16";
constexpr const char* kBalticOthers = "ISO-8859-13|windows-1257|ISO-8859-4";
constexpr const char* kTurkishOthers = "ISO-8859-9|windows-1254";
constexpr const char* kGreekOthers = "ISO-8859-7|windows-1253";

const ShapeSite kShapeSites[] = {
    {"ISO-8859-1", "ISO-8859-1",
     "Ajuste la exposición antes de guardar la imagen. ¡Atención! El tamaño cambia con la resolución, y el año de "
     "la cámara se guarda también.", kWesternOthers},
    {"windows-1252", "CP1252",
     "Tervetuloa käyttöoppaaseen. Täältä löydät ohjeet kuvan käsittelyyn, värien säätöön ja tiedostojen "
     "tallentamiseen. Kysymyksiin vastaamme mielellämme.", kWesternOthers},
    {"ISO-8859-15", "ISO-8859-15",
     "Willkommen im Handbuch. Hier finden Sie Hinweise zur Größe der Bilder, zu Farben und Ebenen. Für Fragen "
     "schreiben Sie uns bitte; die Lizenz kostet 30 €.", kWesternOthers},
    {"windows-1252", "CP1252",
     "Bienvenue dans le manuel. Vous trouverez ici l’aide sur les calques, les couleurs et l’exportation des "
     "images ; le cœur du logiciel reste l’éditeur.", kWesternOthers},
    {"ISO-8859-2", "ISO-8859-2",
     "Dobrodošli v priročniku. Tukaj najdete navodila za urejanje slik, barve in plasti. Vprašanja nam "
     "pošljite po elektronski pošti, odgovorimo čim prej.", kCentralOthers},
    {"windows-1250", "CP1250",
     "Witamy w podręczniku. Znajdziesz tu wskazówki dotyczące edycji zdjęć, kolorów i warstw. Pytania prosimy "
     "kierować pocztą, odpowiemy możliwie szybko.", kCentralOthers},
    {"ISO-8859-2", "ISO-8859-2",
     "Üdvözöljük a kézikönyvben. Itt találja a képszerkesztés, a színek és a rétegek leírását. Kérdéseire "
     "örömmel válaszolunk.", kCentralOthers},
    {"ISO-8859-16", "ISO-8859-16",
     "Bine ați venit în manual. Aici găsiți instrucțiuni despre editarea imaginilor, culori și straturi. "
     "Așteptăm întrebările dumneavoastră.", kCentralOthers},
    {"windows-1257", "CP1257",
     "Sveiki atvykę į vadovą. Čia rasite nurodymus, kaip redaguoti nuotraukas, spalvas ir sluoksnius. Į "
     "klausimus atsakysime kuo greičiau.", kBalticOthers},
    {"ISO-8859-13", "ISO-8859-13",
     "Laipni lūdzam rokasgrāmatā. Šeit atradīsiet norādījumus par attēlu rediģēšanu, krāsām un slāņiem. Uz "
     "jautājumiem atbildēsim pēc iespējas ātrāk.", kBalticOthers},
    {"windows-1257", "CP1257",
     "Tere tulemast käsiraamatusse. Siit leiate juhised piltide töötlemiseks, värvide ja kihtide jaoks. "
     "Küsimustele vastame võimalikult kiiresti.", kBalticOthers},
    {"ISO-8859-9", "ISO-8859-9",
     "Kılavuza hoş geldiniz. Burada resim düzenleme, renkler ve katmanlar hakkında bilgi bulabilirsiniz. "
     "Sorularınızı en kısa sürede yanıtlıyoruz.", kTurkishOthers},
    {"windows-1254", "CP1254",
     "Kılavuza hoş geldiniz. Burada resim düzenleme, renkler ve katmanlar hakkında bilgi bulabilirsiniz. "
     "Sorularınızı en kısa sürede yanıtlıyoruz.", kTurkishOthers},
    {"ISO-8859-7", "ISO-8859-7",
     "Καλώς ήρθατε στο εγχειρίδιο. Εδώ θα βρείτε οδηγίες για την επεξεργασία εικόνων, τα χρώματα και τα "
     "επίπεδα.", kGreekOthers},
    {"windows-1253", "CP1253",
     "Καλώς ήρθατε στο εγχειρίδιο. Εδώ θα βρείτε οδηγίες για την επεξεργασία εικόνων, τα χρώματα και τα "
     "επίπεδα.", kGreekOthers},
};

// What a page of a shape site holds beside its own text.
enum class Shape { Apostrophe, Fractions, Glued, Glossary, Names, Menu, All };

// The words of the text the charset has bytes for, the others left out.
std::string InCharset(const std::string& text, const char* pszConverter)
{
    std::string kept;
    for (size_t at = 0; at < text.size();) {
        const size_t nEnd = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, nEnd - at);
        if (!word.empty() && !Iconv(word, "UTF-8", pszConverter).empty())
            kept += (kept.empty() ? "" : " ") + word;
        at = nEnd + 1;
    }
    return kept;
}

// A page of a shape site in UTF-8, declared as real sites declare: by http-equiv, by <meta charset>
// or by an XML declaration, on one line or many, with a dash reference, a script and a style.
std::string ShapePage(const ShapeSite& site, Shape shape, int nForm)
{
    const auto in = [&site](const char* pszText) { return InCharset(pszText, site.pszConverter); };
    const char* const shapes[] = {kShapeApostrophe, kShapeFractions, kShapeGlued, kShapeGlossary, kShapeNames, kShapeMenu};
    std::string held;
    if (shape == Shape::All) {
        for (const char* pszShape : shapes)
            held += "<p>" + in(pszShape) + "</p>\n";
    } else {
        held = "<p>" + in(shapes[static_cast<int>(shape)]) + "</p>\n";
    }
    std::string declaration = Declaration(nForm == 1 ? Label::MetaCharset : Label::HttpEquiv, site.pszLabel);
    std::string start;
    if (nForm == 2) {
        start = "<?xml version=\"1.0\" encoding=\"" + std::string(site.pszLabel) + "\"?>\n";
        declaration.clear();
    }
    std::string page = start + "<html><head>\n" + declaration + "<title>" + in("Käyttöopas · Manual") + "</title>\n" +
                       "<style>p { margin: 0 }</style>\n<script>var shown = 1;</script>\n</head><body>\n<p>" +
                       site.pszOwn + " &mdash; 2004</p>\n" + held + "</body></html>\n";
    // One line, as some generators write pages.
    if (nForm == 1)
        page.erase(std::remove(page.begin(), page.end(), '\n'), page.end());
    return page;
}

// What a right-labelled page holds beside its own text, and where.
enum class Holding { Menu, Names, Quote, Signs, Title, Comment, Script, All };

// A page of the site in UTF-8: its own paragraph or plain English, and what it holds.
std::string RightPage(const RightSite& site, Holding holding, const std::string& title, bool bOwn)
{
    const auto in = [&site](const char* pszText) { return InCharset(pszText, site.pszConverter); };
    const std::string declaration = bOwn ? Declaration(Label::HttpEquiv, site.pszLabel) : Declaration(Label::MetaCharset, site.pszLabel);
    std::string head = "<html><head>\n" + declaration + "<title>" + (holding == Holding::Title ? title : "Welcome") + "</title>\n";
    std::string body = bOwn ? "<p>" + std::string(site.pszOwn) + "</p>\n" : "<p>See the pages below for our products.</p>\n";
    const std::string menu = "<p class=\"languages\">" + in(site.pszMenu) + "</p>\n";
    const std::string names = "<p>Authors: " + in(site.pszNames) + ".</p>\n";
    const std::string quote = "<blockquote>" + in(site.pszQuote) + "</blockquote>\n";
    const std::string signs = "<div id=\"footer\">" + in(site.pszSigns) + "</div>\n";
    switch (holding) {
    case Holding::Menu: body = menu + body; break;
    case Holding::Names: body += names; break;
    case Holding::Quote: body += quote; break;
    case Holding::Signs: body += signs; break;
    case Holding::Title: body = "<h1>" + title + "</h1>\n" + body; break;
    case Holding::Comment: head += "<!-- " + in(site.pszQuote) + " / " + in(site.pszNames) + " -->\n"; break;
    case Holding::Script:
        head += "<script type=\"text/javascript\">\nvar quote = \"" + in(site.pszQuote) + "\";\n</script>\n";
        break;
    case Holding::All:
        head += "<!-- " + in(site.pszNames) + " -->\n";
        body = menu + "<h1>" + title + "</h1>\n" + body + names + quote + signs;
        break;
    }
    return head + "</head><body>\n" + body + "</body></html>\n";
}

// A page whose label is wrong, or missing, and a charset it is given: written, it must hold its
// own text; a doubt leaves it alone, with both readings to take.
struct WrongLabel {
    const char* pszWhat;
    std::string utf8;        // the page's text, its declaration in it
    const char* pszConverter; // the charset its bytes are in
    const char* pszTruth;
    const char* pszTarget;
    // Left alone, the word its line names as the label reads it, and as the likelier reading
    // does; null where the line need name none.
    const char* pszWord = nullptr;
    const char* pszWordRead = nullptr;
    // Whether, left alone, the first way on other than its label's reads its text: none does of a
    // charset no page is read in.
    enum class Way { ToItsText, NoneKnown };
    Way way = Way::ToItsText;
};

std::string Labelled(const std::string& label, const std::string& head, const std::string& body)
{
    return "<html><head>\n" + (label.empty() ? std::string() : legacy_site::ContentType(label)) + head + "</head><body>\n" + body +
           "</body></html>\n";
}

std::vector<WrongLabel> WrongLabels()
{
    using namespace legacy_site;
    const std::string hungarian = std::string("<title>") + kHungarian.pszTitle + "</title>\n";
    const std::string turkish = std::string("<title>Kullanıcı hesabı</title>\n");
    const std::string turkishBody = std::string(kTurkish.pszBody) + "<p>Kullanıcı adı ve şifre.</p>\n";
    const std::string romanian = "<title>Știri</title>\n";
    const std::string romanianBody = "<p>Bine ați venit pe site-ul nostru. Aici găsiți informații despre produse, "
                                     "programul de lucru și prețuri. Așteptăm întrebările dumneavoastră.</p>\n";
    const std::string fonts = "<style type=\"text/css\">\nbody { font-family: \"ＭＳ Ｐゴシック\", \"メイリオ\", "
                              "sans-serif; }\n</style>\n<title>Products</title>\n";
    const std::string references = "<title>Privet</title>\n";
    const std::string referencesBody = "<p>&#1055;ривет, &#1084;ир! &#1069;то &#1089;траница о &#1085;ашей "
                                       "&#1089;ети.</p>\n";
    const std::string svg = "<p><svg width=\"200\" height=\"40\"><text x=\"0\" y=\"20\"><![CDATA[" +
                            std::string(kRussian.pszTitle) + " — " + "Сетевые приложения и почтовые серверы" +
                            "]]></text></svg></p>\n";
    std::vector<WrongLabel> rows;
    for (const char* pszTarget : {"ISO-8859-2", "UTF-8"})
        rows.push_back({"Hungarian under Latin-1", Labelled("ISO-8859-1", hungarian, kHungarian.pszBody), "ISO-8859-2",
                        "ISO-8859-2", pszTarget});
    for (const char* pszLabel : {"ISO-8859-1", ""}) {
        for (const char* pszTarget : {"UTF-8", "windows-1252"})
            rows.push_back({"Turkish under Latin-1 or none", Labelled(pszLabel, turkish, turkishBody), "ISO-8859-9",
                            "ISO-8859-9", pszTarget});
    }
    rows.push_back({"Arabic undeclared", Labelled("", std::string("<title>") + kArabic.pszTitle + "</title>\n", kArabic.pszBody),
                    "CP1256", "windows-1256", "ISO-8859-6"});
    for (const char* pszLabel : {"windows-1250", "ISO-8859-2"})
        rows.push_back({"Romanian under a Central European label", Labelled(pszLabel, romanian, romanianBody),
                        "ISO-8859-16", "ISO-8859-16", "ISO-8859-16"});
    for (const char* pszLabel : {"windows-1252", "ISO-8859-1"}) {
        for (const char* pszTarget : {"Shift_JIS", "UTF-8"})
            rows.push_back({"Japanese font names under a Latin label", Labelled(pszLabel, fonts, "<p>Our products.</p>\n"),
                            "CP932", "Shift_JIS", pszTarget});
    }
    for (const char* pszLabel : {"KOI8-R", "ISO-8859-5"})
        rows.push_back({"Cyrillic between references", Labelled(pszLabel, references, referencesBody), "CP1251",
                        "windows-1251", "UTF-8"});
    rows.push_back({"Cyrillic in CDATA", Labelled("windows-1252", "<title>Network</title>\n", svg), "CP1251",
                    "windows-1251", "UTF-8"});
    // Labels whose reading puts marks, controls or signs inside the words of a page's own text.
    const std::string italian = "<title>Manuale</title>\n";
    const std::string italianBody = "<p>Il manuale è pronto: così può aprire le immagini, e più avanti può salvarle. "
                                    "Perché no? Lì si trova tutto ciò che serve.</p>\n";
    for (const char* pszTarget : {"UTF-8", "windows-1252"})
        rows.push_back({"Italian under windows-1258", Labelled("windows-1258", italian, italianBody), "CP1252", "windows-1252",
                        pszTarget, "cos\u0301", "così"});
    const std::string turkishShort = "<p>Şehir haritası için düğmeye basın. Ağaç görünümü, iş akışı ve dosya "
                                     "yönetimi.</p>\n";
    for (const char* pszTruth : {"ISO-8859-9", "windows-1254"})
        rows.push_back({"Turkish under windows-1256", Labelled("windows-1256", "<title>Şehir</title>\n", turkishShort),
                        pszTruth, pszTruth, "UTF-8", "\u0642ehir", "Şehir"});
    rows.push_back({"Portuguese Mac OS Roman under Latin-1",
                    Labelled("ISO-8859-1", "<title>Gestão da página</title>\n",
                             "<p>Gestão de conteúdo: cada página tem um título e uma descrição.</p>\n"),
                    "MACINTOSH", "macintosh", "UTF-8", "Gest‹o"});
    rows.push_back({"Serbian title under x-mac-cyrillic", Labelled("x-mac-cyrillic", "<title>Управљање</title>\n",
                                                                   "<p>Welcome.</p>\n"),
                    "CP1251", "windows-1251", "UTF-8", "”правЪаЬе", "Управљање"});
    const std::string portuguese = std::string("<title>") + kPortuguese.pszTitle + "</title>\n";
    for (const char* pszTarget : {"UTF-8", "ISO-8859-15"})
        rows.push_back({"Portuguese Mac OS Roman under windows-1252",
                        Labelled("windows-1252", portuguese, kPortuguese.pszBody), "MACINTOSH", "macintosh", pszTarget});
    const std::string serbian = std::string("<title>") + kSerbian.pszTitle + "</title>\n";
    for (const char* pszTarget : {"UTF-8", "windows-1251"})
        rows.push_back({"Serbian under x-mac-cyrillic", Labelled("x-mac-cyrillic", serbian, kSerbian.pszBody), "CP1251",
                        "windows-1251", pszTarget});
    // No page is read in x-mac-ce: under a Central European label a page written in it is left
    // alone, never converted from the label, though no way reads its text.
    const std::string polish = std::string("<title>") + kPolish.pszTitle + "</title>\n";
    for (const char* pszLabel : {"ISO-8859-2", "windows-1250"})
        rows.push_back({"Polish in x-mac-ce under a Central European label", Labelled(pszLabel, polish, kPolish.pszBody),
                        "MAC-CENTRALEUROPE", "x-mac-ce", "UTF-8", nullptr, nullptr, WrongLabel::Way::NoneKnown});
    // Czech whose í, á and é ISO-8859-2 reads as control characters inside words, where no charset a
    // page is read in reads them as letters: the label is converted from no more than under
    // windows-1250, which reads them as signs.
    const std::string czech = std::string("<title>") + kCzech.pszTitle + "</title>\n";
    const std::string czechBody = std::string("<h1>") + kCzech.pszTitle + "</h1>\n<p>Vítejte na našich stránkách. Najdete "
                                  "zde informace o výrobcích, otevírací době a cenách. Těšíme se na vaši návštěvu.</p>\n";
    for (const char* pszLabel : {"ISO-8859-2", "windows-1250"})
        rows.push_back({"Czech in x-mac-ce under a Central European label", Labelled(pszLabel, czech, czechBody),
                        "MAC-CENTRALEUROPE", "x-mac-ce", "UTF-8", nullptr, nullptr, WrongLabel::Way::NoneKnown});
    rows.push_back({"a copyright sign under a Central European label",
                    Labelled("ISO-8859-2", "<title>Über uns</title>\n",
                             "<p>Öffnungszeiten und Größe der Räume.</p>\n<p>© 2004 Müller</p>\n"),
                    "ISO-8859-1", "ISO-8859-1", "UTF-8", "Š", "©"});
    for (const char* pszLabel : {"Shift_JIS", "EUC-KR", "GBK", "Big5"})
        rows.push_back({"Western text under a CJK label", Labelled(pszLabel, "<title>Größe</title>\n",
                                                                   "<p>Über uns: Öffnungszeiten, Preise für Kinder.</p>\n"),
                        "ISO-8859-1", "ISO-8859-1", "UTF-8", nullptr, "Größe"});
    for (const char* pszTarget : {"UTF-8", "windows-1252"})
        rows.push_back({"a price in euros undeclared", Labelled("", "<title>Tarif</title>\n", "<p>Prix : 5 €.</p>\n"),
                        "ISO-8859-15", "ISO-8859-15", pszTarget});
    return rows;
}

} // namespace

// Pages that declare the charset they are in, in Western, Central European, Cyrillic, Greek,
// Turkish, Romanian and Icelandic sites, Mac ones among them, holding what real sites hold beside
// their own text (a language menu, names from several languages, a quotation in another language,
// also in a comment or a script, signs beside words, a short title full of accents) are every one
// written in UTF-8 with their text; pages whose label is wrong are never converted from it,
// whatever charset they are given, and left alone where nothing sure tells their readings apart,
// the first way on but the label's reading their text where a charset pages are read in does.
TEST_F(CharsetChangeSaveTest, ARightLabelIsConvertedFromAndAWrongOneIsNot)
{
    std::vector<Case> cases;
    std::vector<std::string> what;
    for (const RightSite& site : kRightSites) {
        std::vector<std::string> titles;
        for (const char* p = site.pszTitles; *p != '\0';) {
            const char* pEnd = std::strchr(p, '|');
            titles.emplace_back(p, pEnd == nullptr ? std::strlen(p) : static_cast<size_t>(pEnd - p));
            p = pEnd == nullptr ? p + std::strlen(p) : pEnd + 1;
        }
        for (const Holding holding : {Holding::Menu, Holding::Names, Holding::Quote, Holding::Signs, Holding::Title,
                                      Holding::Comment, Holding::Script, Holding::All}) {
            for (const bool bOwn : {false, true}) {
                for (size_t nTitle = 0; nTitle < (holding == Holding::Title ? titles.size() : 1); ++nTitle) {
                    Case c{nullptr, Layout::Text, Label::HttpEquiv, site.pszLabel, "UTF-8", {}, {}};
                    c.bytes = Iconv(RightPage(site, holding, titles[nTitle], bOwn), "UTF-8", site.pszConverter);
                    ASSERT_FALSE(c.bytes.empty()) << site.pszLabel << " " << titles[nTitle];
                    c.text = ReadIn(site.pszLabel, c.bytes);
                    c.bLabelRight = true;
                    static const char* const holdings[] = {"menu", "names", "quotation", "signs", "title", "comment",
                                                           "script", "all"};
                    what.push_back(std::string(site.pszLabel) + " " + holdings[static_cast<int>(holding)] + " (" +
                                   titles[nTitle] + (bOwn ? ", own text)" : ")"));
                    cases.push_back(std::move(c));
                }
            }
        }
    }
    for (const ShapeSite& site : kShapeSites) {
        std::vector<std::string> targets = {"UTF-8"};
        for (const char* p = site.pszOthers; *p != '\0';) {
            const char* pEnd = std::strchr(p, '|');
            const std::string other(p, pEnd == nullptr ? std::strlen(p) : static_cast<size_t>(pEnd - p));
            if (other != site.pszLabel)
                targets.push_back(other);
            p = pEnd == nullptr ? p + std::strlen(p) : pEnd + 1;
        }
        for (const Shape shape : {Shape::Apostrophe, Shape::Fractions, Shape::Glued, Shape::Glossary, Shape::Names,
                                  Shape::Menu, Shape::All}) {
            for (const std::string& target : targets) {
                const int nForm = static_cast<int>(cases.size() % 3);
                Case c{nullptr, Layout::Text, Label::HttpEquiv, site.pszLabel, target, {}, {}};
                c.bytes = Iconv(ShapePage(site, shape, nForm), "UTF-8", site.pszConverter);
                ASSERT_FALSE(c.bytes.empty()) << site.pszLabel << " " << site.pszOwn;
                c.text = ReadIn(site.pszLabel, c.bytes);
                c.bLabelRight = true;
                static const char* const shapes[] = {"apostrophe", "fractions", "glued sign", "glossary", "names", "menu",
                                                     "all shapes"};
                what.push_back(std::string(site.pszLabel) + " " + shapes[static_cast<int>(shape)] + " (" +
                               std::string(site.pszOwn).substr(0, 16) + "), given " + target);
                cases.push_back(std::move(c));
            }
        }
    }
    const size_t nRight = cases.size();
    const std::vector<WrongLabel> wrong = WrongLabels();
    for (const WrongLabel& row : wrong) {
        Case c{nullptr, Layout::Text, Label::OtherOfScript, DeclaredName(row.utf8), row.pszTarget, {}, {}};
        c.bytes = Iconv(row.utf8, "UTF-8", row.pszConverter);
        ASSERT_FALSE(c.bytes.empty()) << row.pszWhat;
        c.text = ReadIn(row.pszTruth, c.bytes);
        what.push_back(std::string(row.pszWhat) + ", labelled " + (c.labelName.empty() ? "nothing" : c.labelName) +
                       ", given " + row.pszTarget);
        cases.push_back(std::move(c));
    }
    CSelNodesCol all;
    for (size_t i = 0; i < cases.size(); ++i) {
        AddPage(Name(i), cases[i]);
        all.AddTail(cases[i].pPage);
    }
    std::map<std::string, std::string> told = Save(all);

    size_t nRefused = 0;
    size_t nChanged = 0;
    size_t nConvertedFromWrong = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string saved = ReadFileBytes(TempDir() / Name(i));
        const std::string& line = told[Name(i)];
        if (saved == c.bytes) {
            if (i < nRight) {
                ++nRefused;
                ADD_FAILURE() << "a right label was refused: " << what[i] << "\n" << line;
            } else {
                // A wrong label left alone has its ways on, shown in the Preview, and is told the
                // word it reads odder than the likelier reading, never a guess alone.
                const WrongLabel& row = wrong[i - nRight];
                EXPECT_NE(line.find("View > Changes shows how each way reads"), std::string::npos) << what[i] << "\n" << line;
                EXPECT_TRUE(c.labelName.empty() || line.find("only a guess") == std::string::npos) << what[i] << "\n" << line;
                if (row.pszWord != nullptr) {
                    EXPECT_NE(line.find(std::string(" in the word \"") + row.pszWord + "\", where "), std::string::npos)
                        << what[i] << "\n" << line;
                }
                if (row.pszWordRead != nullptr) {
                    EXPECT_NE(line.find(std::string(" reads \"") + row.pszWordRead + "\""), std::string::npos)
                        << what[i] << "\n" << line;
                }
                // The first way on but the label's reads the page's text: no reading of another
                // script, nor of other letters, comes before the one of its words.
                EXPECT_TRUE(row.way == WrongLabel::Way::NoneKnown || FirstWayReadsItsText(c, line))
                    << "the first way does not read its text: " << what[i] << "\n" << line;
            }
            continue;
        }
        EXPECT_EQ(DeclaredName(saved), c.target) << what[i];
        const std::string written = WithoutDeclarations(WithReferencesRead(ReadIn(DeclaredName(saved), saved)));
        if (written != WithoutDeclarations(c.text)) {
            nConvertedFromWrong += i < nRight ? 0 : 1;
            nChanged += i < nRight ? 1 : 0;
            ADD_FAILURE() << what[i] << ":\n" << Difference(written, WithoutDeclarations(c.text));
        }
    }
    std::printf("%zu right-labelled pages, %zu refused or left in doubt, %zu written with other text; %zu wrong labels, "
                "%zu converted from\n", nRight, nRefused, nChanged, wrong.size(), nConvertedFromWrong);
    RecordProperty("right_refused", static_cast<int>(nRefused));
    RecordProperty("right_changed", static_cast<int>(nChanged));
    RecordProperty("wrong_converted", static_cast<int>(nConvertedFromWrong));
}
