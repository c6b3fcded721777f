#include "platform/rc/RcParser.h"

#include "platform/core/ResourceFormats.h"
#include "platform/core/VersionInfo.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace rc {

namespace {

const std::uintmax_t kMaxDataFile = 64u << 20;
const BYTE kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

WORD TypeId(LPCSTR type)
{
    return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
}

// Width and height from a PNG's header chunk; false when the bytes are no PNG.
bool PngSize(const std::vector<BYTE>& png, DWORD& width, DWORD& height)
{
    if (png.size() < 24 || std::memcmp(png.data(), kPngSignature, 8) != 0 || std::memcmp(&png[12], "IHDR", 4) != 0)
        return false;
    width = (DWORD(png[16]) << 24) | (DWORD(png[17]) << 16) | (DWORD(png[18]) << 8) | png[19];
    height = (DWORD(png[20]) << 24) | (DWORD(png[21]) << 16) | (DWORD(png[22]) << 8) | png[23];
    return width > 0 && height > 0;
}

void PutWord(std::vector<BYTE>& out, WORD value)
{
    out.push_back(LOBYTE(value));
    out.push_back(HIBYTE(value));
}

} // namespace

RcParser::RcParser(const std::vector<Token>& tokens, const RcPreprocessor& files, std::vector<std::string>& dependencies)
    : m_in(tokens), m_files(files), m_dependencies(dependencies)
{
}

RcParser::Place RcParser::Here() const
{
    const Token& t = m_in.Peek();
    return Place{t.file ? *t.file : std::string("<input>"), t.line};
}

void RcParser::Fail(const Place& place, const std::string& message) const
{
    throw RcError(place.file, place.line, message);
}

std::vector<CompiledResource> RcParser::Parse()
{
    while (!m_in.AtEnd())
        Statement();
    // The strings gather into blocks of 16 by id, wherever their tables stood.
    std::map<WORD, std::pair<std::vector<std::string>, Place>> blocks;
    for (const auto& [id, entry] : m_strings) {
        auto [it, added] = blocks.try_emplace(StringBlockId(id), std::vector<std::string>(16), entry.second);
        it->second.first[StringBlockIndex(id)] = entry.first;
    }
    for (const auto& [block, entry] : blocks)
        Add(ResourceName::Id(TypeId(RT_STRING)), ResourceName::Id(block), WriteStringBlock(entry.first), entry.second);
    return std::move(m_resources);
}

void RcParser::Add(const ResourceName& type, const ResourceName& name, std::vector<BYTE> data, const Place& place)
{
    auto [it, added] = m_seen.try_emplace(std::make_pair(type, name), place);
    if (!added)
        Fail(place, "duplicate " + type.Describe(true) + " resource " + name.Describe(false) + " (the first is at "
                        + it->second.file + ":" + std::to_string(it->second.line) + ")");
    m_resources.push_back(CompiledResource{type, name, std::move(data), place.file, place.line});
}

ResourceName RcParser::Name()
{
    const Token& t = m_in.Peek();
    if (t.kind == TokenKind::Identifier) {
        m_in.Next();
        return ResourceName::Text(t.text);
    }
    if (t.kind == TokenKind::String) {
        m_in.Next();
        if (t.text.empty())
            m_in.Fail("a resource name may not be empty");
        return ResourceName::Text(t.text);
    }
    unsigned long value = Number();
    if (value > 0xFFFF)
        m_in.Fail("resource id " + std::to_string(value) + " is out of range (0 to 65535)");
    return ResourceName::Id(static_cast<WORD>(value));
}

std::string RcParser::String(const std::string& what)
{
    if (m_in.Peek().kind != TokenKind::String)
        m_in.Fail("expected a string for " + what
                  + (m_in.AtEnd() ? std::string(", found the end of the input") : ", found '" + m_in.Peek().text + "'"));
    std::string text;
    while (m_in.Peek().kind == TokenKind::String)
        text += m_in.Next().text;
    return text;
}

DWORD RcParser::Style(DWORD value)
{
    do {
        if (m_in.Accept("NOT") || m_in.Accept("~"))
            value &= ~static_cast<DWORD>(ParseOperand(m_in));
        else
            value |= static_cast<DWORD>(ParseOperand(m_in));
    } while (m_in.Accept("|"));
    return value;
}

void RcParser::SkipOptions()
{
    static const char* const memoryFlags[] = {"PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE", "DISCARDABLE",
                                              "PURE", "IMPURE", "SHARED", "NONSHARED"};
    for (;;) {
        bool skipped = false;
        for (const char* flag : memoryFlags)
            if (m_in.Accept(flag))
                skipped = true;
        if (m_in.Accept("LANGUAGE")) {
            Number();
            m_in.Expect(",", "between the language and sublanguage");
            Number();
            skipped = true;
        } else if (m_in.Accept("VERSION") || m_in.Accept("CHARACTERISTICS")) {
            Number();
            skipped = true;
        }
        if (!skipped)
            return;
    }
}

void RcParser::Begin(const std::string& what)
{
    if (!m_in.Accept("BEGIN") && !m_in.Accept("{"))
        m_in.Fail("expected BEGIN or { to open " + what
                  + (m_in.AtEnd() ? std::string(", found the end of the input") : ", found '" + m_in.Peek().text + "'"));
}

bool RcParser::End()
{
    if (m_in.AtEnd())
        m_in.Fail("expected END or } before the end of the input");
    return m_in.Accept("END") || m_in.Accept("}");
}

std::vector<BYTE> RcParser::ReadDataFile(const std::string& name)
{
    const Place place = Here();
    std::filesystem::path path = m_files.Resolve(name, place.file);
    if (path.empty())
        Fail(place, "cannot find the file \"" + name + "\"");
    // Resources are built into the program: anything this large is a mistake.
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > kMaxDataFile || ec)
        Fail(place, "the file \"" + path.string() + "\" is " + (ec ? "unreadable" : "larger than 64 MB"));
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        Fail(place, "cannot read the file \"" + path.string() + "\"");
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad())
        Fail(place, "cannot read the file \"" + path.string() + "\"");
    if (std::find(m_dependencies.begin(), m_dependencies.end(), path.string()) == m_dependencies.end())
        m_dependencies.push_back(path.string());
    return bytes;
}

void RcParser::Statement()
{
    const Place place = Here();
    if (m_in.Accept("STRINGTABLE")) {
        StringTable();
        return;
    }
    if (m_in.Accept("LANGUAGE")) {
        Number();
        m_in.Expect(",", "between the language and sublanguage");
        Number();
        return;
    }
    const ResourceName name = Name();
    const Token& typeToken = m_in.Peek();
    if (typeToken.kind == TokenKind::End)
        m_in.Fail("expected a resource type after " + name.Describe(false));
    auto id = [](LPCSTR type) { return ResourceName::Id(TypeId(type)); };
    if (m_in.IsWord("DIALOG") || m_in.IsWord("DIALOGEX")) {
        const bool extended = m_in.Next().text.size() == std::strlen("DIALOGEX");
        Dialog(name, extended, place);
    } else if (m_in.IsWord("MENU") || m_in.IsWord("MENUEX")) {
        const bool extended = m_in.Next().text.size() == std::strlen("MENUEX");
        Menu(name, extended, place);
    } else if (m_in.Accept("ACCELERATORS")) {
        Accelerators(name, place);
    } else if (m_in.Accept("TOOLBAR")) {
        ToolBar(name, place);
    } else if (m_in.Accept("BITMAP")) {
        Image(name, id(RT_BITMAP), place);
    } else if (m_in.Accept("ICON")) {
        Image(name, id(RT_ICON), place);
    } else if (m_in.Accept("CURSOR")) {
        Image(name, id(RT_CURSOR), place);
    } else if (m_in.Accept("VERSIONINFO")) {
        VersionInfo(name, place);
    } else if (m_in.Accept("DLGINIT")) {
        RawData(name, id(RT_DLGINIT), place);
    } else if (m_in.Accept("RCDATA")) {
        RawData(name, id(RT_RCDATA), place);
    } else if (m_in.IsWord("STRINGTABLE") || m_in.IsWord("BEGIN") || typeToken.kind == TokenKind::Punct) {
        m_in.Fail("expected a resource type after " + name.Describe(false) + ", found '" + typeToken.text + "'");
    } else {
        // A type of the program's own, by name or number.
        RawData(name, Name(), place);
    }
}

void RcParser::StringTable()
{
    SkipOptions();
    Begin("the string table");
    while (!End()) {
        const Place place = Here();
        unsigned long id = Number();
        if (id > 0xFFFF)
            Fail(place, "string id " + std::to_string(id) + " is out of range (0 to 65535)");
        m_in.Accept(",");
        std::string text = String("string " + std::to_string(id));
        if (text.size() > 0xFFFF)
            Fail(place, "string " + std::to_string(id) + " is longer than 65535 bytes");
        if (text.find('\0') != std::string::npos)
            Fail(place, "string " + std::to_string(id) + " contains a NUL byte");
        auto [it, added] = m_strings.try_emplace(static_cast<UINT>(id), text, place);
        if (!added)
            Fail(place, "duplicate string id " + std::to_string(id) + " (the first is at " + it->second.second.file + ":"
                            + std::to_string(it->second.second.line) + ")");
    }
}

void RcParser::Accelerators(const ResourceName& name, const Place& place)
{
    SkipOptions();
    Begin("the accelerator table");
    std::vector<AcceleratorEntry> entries;
    while (!End()) {
        const Place at = Here();
        AcceleratorEntry entry;
        std::string keyText;
        bool isText = m_in.Peek().kind == TokenKind::String;
        unsigned long key = 0;
        if (isText)
            keyText = String("the accelerator key");
        else
            key = Number();
        m_in.Expect(",", "after the accelerator key");
        unsigned long cmd = Number();
        if (cmd > 0xFFFF)
            Fail(at, "command id " + std::to_string(cmd) + " is out of range (0 to 65535)");
        entry.cmd = static_cast<WORD>(cmd);
        bool virtKey = false, ascii = false;
        while (m_in.Accept(",")) {
            if (m_in.Accept("VIRTKEY"))
                virtKey = true;
            else if (m_in.Accept("ASCII"))
                ascii = true;
            else if (m_in.Accept("NOINVERT"))
                entry.flags |= 0x02;
            else if (m_in.Accept("SHIFT"))
                entry.flags |= 0x04;
            else if (m_in.Accept("CONTROL"))
                entry.flags |= 0x08;
            else if (m_in.Accept("ALT"))
                entry.flags |= 0x10;
            else
                m_in.Fail("expected VIRTKEY, ASCII, NOINVERT, SHIFT, CONTROL or ALT, found '" + m_in.Peek().text + "'");
        }
        if (virtKey && ascii)
            Fail(at, "an accelerator is either VIRTKEY or ASCII");
        if (virtKey)
            entry.flags |= 0x01;
        else if (entry.flags & (0x04 | 0x08))
            Fail(at, "SHIFT and CONTROL apply to VIRTKEY accelerators only");
        if (isText) {
            const bool control = keyText.size() == 2 && keyText[0] == '^';
            if (keyText.size() != 1 && !control)
                Fail(at, "an accelerator key is one character or ^ and a letter, not \"" + keyText + "\"");
            char c = keyText.back();
            if (control) {
                if (virtKey)
                    Fail(at, "a ^ key cannot be VIRTKEY");
                if (!std::isalpha(static_cast<unsigned char>(c)))
                    Fail(at, "^ needs a letter");
                key = static_cast<unsigned long>(std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
            } else {
                // A virtual key of a letter is its capital.
                key = static_cast<unsigned char>(virtKey ? std::toupper(static_cast<unsigned char>(c)) : c);
            }
        }
        if (key == 0 || key > 0xFFFF)
            Fail(at, "accelerator key " + std::to_string(key) + " is out of range");
        entry.key = static_cast<WORD>(key);
        entries.push_back(entry);
    }
    if (entries.empty())
        Fail(place, "the accelerator table " + name.Describe(false) + " is empty");
    Add(ResourceName::Id(TypeId(RT_ACCELERATOR)), name, WriteAcceleratorTable(entries), place);
}

void RcParser::ToolBar(const ResourceName& name, const Place& place)
{
    SkipOptions();
    ToolBarTemplate toolbar;
    const unsigned long width = Number();
    m_in.Expect(",", "between the button width and height");
    const unsigned long height = Number();
    if (width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF)
        Fail(place, "toolbar button size " + std::to_string(width) + "x" + std::to_string(height) + " is out of range");
    toolbar.width = static_cast<WORD>(width);
    toolbar.height = static_cast<WORD>(height);
    SkipOptions();
    Begin("the toolbar");
    while (!End()) {
        if (m_in.Accept("SEPARATOR")) {
            toolbar.items.push_back(0);
            continue;
        }
        m_in.Expect("BUTTON", "or SEPARATOR in the toolbar");
        const Place at = Here();
        unsigned long id = Number();
        if (id == 0 || id > 0xFFFF)
            Fail(at, "toolbar button id " + std::to_string(id) + " is out of range (1 to 65535)");
        toolbar.items.push_back(static_cast<WORD>(id));
    }
    Add(ResourceName::Id(TypeId(RT_TOOLBAR)), name, WriteToolBarTemplate(toolbar), place);
}

void RcParser::Image(const ResourceName& name, const ResourceName& type, const Place& place)
{
    SkipOptions();
    const std::string file = String("the image file");
    std::vector<BYTE> png = ReadDataFile(file);
    DWORD width = 0, height = 0;
    if (!PngSize(png, width, height))
        Fail(place, "\"" + file + "\" is not a PNG image");
    if (type.id != TypeId(RT_CURSOR)) {
        Add(type, name, std::move(png), place);
        return;
    }
    unsigned long x = 0, y = 0;
    // The hot spot: two numbers with a comma between (no statement starts so); anything else is
    // the next statement.
    const size_t start = m_in.Position();
    const Place at = Here();
    if (StartsExpression(m_in) && (x = Number(), m_in.IsPunct(","))) {
        m_in.Next();
        y = Number();
        if (x >= width || y >= height)
            Fail(at, "the hot spot " + std::to_string(x) + ", " + std::to_string(y) + " lies outside the "
                         + std::to_string(width) + "x" + std::to_string(height) + " image");
    } else {
        m_in.Seek(start);
        x = 0;
    }
    std::vector<BYTE> data;
    PutWord(data, static_cast<WORD>(x));
    PutWord(data, static_cast<WORD>(y));
    data.insert(data.end(), png.begin(), png.end());
    Add(type, name, std::move(data), place);
}

void RcParser::VersionInfo(const ResourceName& name, const Place& place)
{
    ModuleVersion version;
    version.strings.clear();
    auto parts = [&](WORD out[4]) {
        for (int i = 0; i < 4; ++i) {
            out[i] = static_cast<WORD>(Number());
            if (i < 3 && !m_in.Accept(","))
                break;
        }
    };
    for (;;) {
        if (m_in.Accept("FILEVERSION"))
            parts(version.fileVersion);
        else if (m_in.Accept("PRODUCTVERSION"))
            parts(version.productVersion);
        else if (m_in.Accept("FILEFLAGSMASK"))
            version.fileFlagsMask = Style(0);
        else if (m_in.Accept("FILEFLAGS"))
            version.fileFlags = Style(0);
        else if (m_in.Accept("FILEOS"))
            version.fileOS = Style(0);
        else if (m_in.Accept("FILETYPE"))
            version.fileType = static_cast<DWORD>(Number());
        else if (m_in.Accept("FILESUBTYPE"))
            version.fileSubtype = static_cast<DWORD>(Number());
        else if (m_in.IsWord("LANGUAGE") || m_in.IsWord("CHARACTERISTICS"))
            SkipOptions();
        else
            break;
    }
    Begin("the version information");
    bool haveStrings = false;
    while (!End()) {
        m_in.Expect("BLOCK", "in the version information");
        const Place at = Here();
        const std::string blockName = String("the block name");
        Begin("the block \"" + blockName + "\"");
        if (blockName == "StringFileInfo") {
            while (!End()) {
                m_in.Expect("BLOCK", "for a language in StringFileInfo");
                const Place langAt = Here();
                String("the language block name");
                if (haveStrings)
                    Fail(langAt, "only one language block of strings is supported");
                haveStrings = true;
                Begin("the language block");
                while (!End()) {
                    m_in.Expect("VALUE", "in the language block");
                    std::string key = String("the value name");
                    m_in.Accept(",");
                    std::string text = String("the value of \"" + key + "\"");
                    // Scripts often end the text with an explicit \0.
                    while (!text.empty() && text.back() == '\0')
                        text.pop_back();
                    if (text.find('\0') != std::string::npos)
                        Fail(at, "the value of \"" + key + "\" contains a NUL byte");
                    version.strings.emplace_back(key, text);
                }
            }
        } else if (blockName == "VarFileInfo") {
            // The translation is always US English in UTF-8 here; the numbers are read and left.
            while (!End()) {
                m_in.Expect("VALUE", "in VarFileInfo");
                String("the value name");
                while (m_in.Accept(","))
                    Number();
            }
        } else {
            Fail(at, "unknown version block \"" + blockName + "\" (StringFileInfo or VarFileInfo)");
        }
    }
    const std::string block = BuildVersionBlock(version);
    Add(ResourceName::Id(TypeId(RT_VERSION)), name, std::vector<BYTE>(block.begin(), block.end()), place);
}

void RcParser::RawData(const ResourceName& name, const ResourceName& type, const Place& place)
{
    SkipOptions();
    std::vector<BYTE> data;
    if (m_in.Peek().kind == TokenKind::String) {
        data = ReadDataFile(String("the data file"));
    } else {
        Begin("the data");
        while (!End()) {
            if (m_in.Peek().kind == TokenKind::String) {
                const std::string text = String("the data");
                data.insert(data.end(), text.begin(), text.end());
            } else {
                const size_t start = m_in.Position();
                const DWORD value = static_cast<DWORD>(Number());
                bool isLong = false;
                for (size_t i = start; i < m_in.Position(); ++i)
                    isLong = isLong || m_in.At(i).isLong;
                PutWord(data, LOWORD(value));
                if (isLong)
                    PutWord(data, HIWORD(value));
            }
            m_in.Accept(",");
        }
    }
    if (type.isId && type.id == TypeId(RT_DLGINIT)) {
        std::vector<DialogInitEntry> entries;
        if (!ReadDialogInit(data.data(), data.size(), entries))
            Fail(place, "the DLGINIT data of " + name.Describe(false)
                            + " is not a list of control id, message, length and data ended by 0");
    }
    Add(type, name, std::move(data), place);
}

} // namespace rc
