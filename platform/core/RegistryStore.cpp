#include "platform/core/RegistryStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/CodePage.h"
#include "platform/core/MimeTypes.h"
#include "platform/core/Registry.h"
#include "platform/core/UserDirs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const char kMagic[] = "VOSTREL-REGISTRY 1";

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%' || c == '"' || c == '[' || c == ']' || c == ','
        || c == '=';
}

// "also" names more bytes to escape: a key name escapes "\\", the separator of its key path.
void AppendEscaped(std::string& out, std::string_view text, std::string_view also = {})
{
    static const char hex[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
        if (NeedsEscape(c) || also.find(static_cast<char>(c)) != std::string_view::npos) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size())
                return false;
            int hi = HexDigit(text[i + 1]);
            int lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0)
                return false;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (NeedsEscape(c)) {
            return false;
        } else {
            out += static_cast<char>(c);
        }
    }
    return true;
}

void AppendHex(std::string& out, std::string_view bytes)
{
    static const char hex[] = "0123456789abcdef";
    for (unsigned char c : bytes) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
}

bool ParseHex(std::string_view text, std::string& out)
{
    out.clear();
    if (text.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigit(text[i]);
        int lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

// Reads a quoted, escaped string at text[pos]; pos ends after the closing quote.
bool ParseQuoted(std::string_view text, size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"')
        return false;
    size_t close = text.find('"', pos + 1);
    if (close == std::string_view::npos)
        return false;
    if (!Unescape(text.substr(pos + 1, close - pos - 1), out))
        return false;
    pos = close + 1;
    return true;
}

void SerializeValue(std::string& out, const CRegValue& value)
{
    out += '"';
    AppendEscaped(out, value.name);
    out += "\"=";
    std::string_view data = value.data;
    switch (value.type) {
    case REG_DWORD:
        if (data.size() == 4) {
            DWORD v = 0;
            std::memcpy(&v, data.data(), 4);
            char text[16];
            std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(v));
            out += text;
            break;
        }
        [[fallthrough]];
    default:
        if (value.type == REG_BINARY) {
            out += "binary:";
        } else {
            char text[32];
            std::snprintf(text, sizeof text, "hex(%u):", static_cast<unsigned>(value.type));
            out += text;
        }
        AppendHex(out, data);
        break;
    case REG_SZ:
    case REG_EXPAND_SZ:
        out += value.type == REG_SZ ? "sz:\"" : "expand_sz:\"";
        AppendEscaped(out, data.substr(0, data.empty() ? 0 : data.size() - 1));
        out += '"';
        break;
    case REG_MULTI_SZ: {
        out += "multi_sz:";
        bool first = true;
        size_t pos = 0;
        while (pos < data.size() && data[pos] != '\0') {
            size_t end = data.find('\0', pos);
            if (end == std::string_view::npos)
                end = data.size();
            if (!first)
                out += ',';
            first = false;
            out += '"';
            AppendEscaped(out, data.substr(pos, end - pos));
            out += '"';
            pos = end + 1;
        }
        break;
    }
    }
    out += '\n';
}

// Depth first, without recursion: a deep tree must not exhaust the stack.
void SerializeTree(std::string& out, const CRegKeyNode& root, const std::string& rootPath)
{
    struct Pending {
        const CRegKeyNode* node;
        std::string path;
    };
    std::vector<Pending> stack;
    stack.push_back({&root, rootPath});
    while (!stack.empty()) {
        Pending item = std::move(stack.back());
        stack.pop_back();
        const CRegKeyNode& node = *item.node;
        if (node.isVolatile)
            continue;
        out += '[';
        out += item.path;
        out += "]\n";
        for (const CRegValue& value : node.values)
            SerializeValue(out, value);
        // Pushed in reverse, so that subkeys come out in their order.
        for (auto it = node.subkeys.rbegin(); it != node.subkeys.rend(); ++it) {
            std::string childPath = item.path + '\\';
            AppendEscaped(childPath, it->second->name, "\\");
            stack.push_back({it->second.get(), std::move(childPath)});
        }
    }
}

// String values given as raw bytes take the form the writer gives strings, so that what was read
// is written back the same: one string cut at its first NUL and ended by one; a list of the
// strings up to its first empty one, each ended by a NUL, and a NUL after the last.
void NormaliseStrings(CRegValue& value)
{
    std::string& data = value.data;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        data.resize(std::min(data.find('\0'), data.size()));
        data += '\0';
    } else if (value.type == REG_MULTI_SZ) {
        std::string list;
        size_t pos = 0;
        while (pos < data.size() && data[pos] != '\0') {
            size_t end = std::min(data.find('\0', pos), data.size());
            list.append(data, pos, end - pos);
            list += '\0';
            pos = end + 1;
        }
        list += '\0';
        data.swap(list);
    }
}

bool ParseValueLine(std::string_view line, CRegValue& value)
{
    size_t pos = 0;
    if (!ParseQuoted(line, pos, value.name))
        return false;
    if (pos >= line.size() || line[pos] != '=')
        return false;
    std::string_view rest = line.substr(pos + 1);
    size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
        return false;
    std::string_view kind = rest.substr(0, colon);
    std::string_view payload = rest.substr(colon + 1);
    value.data.clear();
    if (kind == "dword") {
        if (payload.size() != 8)
            return false;
        std::string bytes;
        if (!ParseHex(payload, bytes))
            return false;
        DWORD v = (static_cast<DWORD>(static_cast<unsigned char>(bytes[0])) << 24)
            | (static_cast<DWORD>(static_cast<unsigned char>(bytes[1])) << 16)
            | (static_cast<DWORD>(static_cast<unsigned char>(bytes[2])) << 8)
            | static_cast<DWORD>(static_cast<unsigned char>(bytes[3]));
        value.type = REG_DWORD;
        value.data.assign(reinterpret_cast<const char*>(&v), 4);
        return true;
    }
    if (kind == "sz" || kind == "expand_sz") {
        value.type = kind == "sz" ? REG_SZ : REG_EXPAND_SZ;
        size_t p = 0;
        if (!ParseQuoted(payload, p, value.data) || p != payload.size())
            return false;
        if (value.data.find('\0') != std::string::npos)
            return false;
        value.data += '\0';
        return true;
    }
    if (kind == "multi_sz") {
        value.type = REG_MULTI_SZ;
        size_t p = 0;
        std::string item;
        while (p < payload.size()) {
            if (!ParseQuoted(payload, p, item) || item.empty() || item.find('\0') != std::string::npos)
                return false;
            value.data += item;
            value.data += '\0';
            if (p < payload.size()) {
                if (payload[p] != ',' || p + 1 == payload.size())
                    return false;
                ++p;
            }
        }
        value.data += '\0';
        return true;
    }
    if (kind == "binary") {
        value.type = REG_BINARY;
        return ParseHex(payload, value.data);
    }
    if (kind.size() > 5 && kind.substr(0, 4) == "hex(" && kind.back() == ')') {
        std::string_view number = kind.substr(4, kind.size() - 5);
        if (number.empty() || number.size() > 10)
            return false;
        unsigned long long type = 0;
        for (char c : number) {
            if (c < '0' || c > '9')
                return false;
            type = type * 10 + static_cast<unsigned>(c - '0');
        }
        if (type > 0xFFFFFFFFull)
            return false;
        value.type = static_cast<DWORD>(type);
        if (!ParseHex(payload, value.data))
            return false;
        NormaliseStrings(value);
        return true;
    }
    return false;
}

} // namespace

bool CRegNoCaseLess::operator()(std::string_view a, std::string_view b) const
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(FoldCase(a[i]));
        unsigned char cb = static_cast<unsigned char>(FoldCase(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

bool RegNamesEqual(std::string_view a, std::string_view b)
{
    return AsciiEqualNoCase(a, b);
}

CRegValue* CRegKeyNode::FindValue(std::string_view valueName)
{
    for (CRegValue& value : values)
        if (RegNamesEqual(value.name, valueName))
            return &value;
    return nullptr;
}

void CRegKeyNode::MarkDeleted()
{
    std::vector<CRegKeyNode*> stack{this};
    while (!stack.empty()) {
        CRegKeyNode* node = stack.back();
        stack.pop_back();
        node->deleted = true;
        for (auto& [name, child] : node->subkeys)
            stack.push_back(child.get());
    }
}

CRegistryStore& CRegistryStore::Instance()
{
    // Never destroyed before the exit flush below has run: it is a function-local static whose
    // destructor does the flush.
    static CRegistryStore store;
    return store;
}

CRegistryStore::~CRegistryStore()
{
    Write();
}

const char* CRegistryStore::RootName(RegRoot root)
{
    switch (root) {
    case RegRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
    }
    return "";
}

std::string CRegistryStore::FilePath()
{
    return GetUserConfigDir() + "/registry.txt";
}

std::shared_ptr<CRegKeyNode> CRegistryStore::Root(RegRoot root)
{
    switch (root) {
    case RegRoot::CurrentUser:
        if (!m_user)
            LoadUser();
        return m_user;
    case RegRoot::LocalMachine:
        if (!m_machine) {
            m_machine = std::make_shared<CRegKeyNode>();
            m_machine->name = RootName(root);
        }
        return m_machine;
    case RegRoot::ClassesRoot:
        if (!m_classes)
            m_classes = BuildClassesRoot();
        return m_classes;
    }
    return nullptr;
}

std::shared_ptr<CRegKeyNode> CRegistryStore::BuildClassesRoot()
{
    auto root = std::make_shared<CRegKeyNode>();
    root->name = RootName(RegRoot::ClassesRoot);
    for (const auto& [ext, type] : LoadMimeTypes("/etc/mime.types")) {
        auto key = std::make_shared<CRegKeyNode>();
        key->name = "." + ext;
        key->parent = root.get();
        key->values.push_back(CRegValue{"Content Type", REG_SZ, type + '\0'});
        root->subkeys.emplace(key->name, std::move(key));
    }
    return root;
}

void CRegistryStore::LoadUser()
{
    m_user = std::make_shared<CRegKeyNode>();
    m_user->name = RootName(RegRoot::CurrentUser);
    m_dirty = false;
    m_persist = true;

    const std::string path = FilePath();
    std::string text;
    int err = ReadWholeFile(path, text);
    if (err == ENOENT)
        return;
    if (err != 0) {
        // Writing over a file we could not read would lose the user's settings.
        m_persist = false;
        m_loadProblem = CRegistryLoadProblem{CRegistryLoadProblem::Kind::Unreadable, path, {}, std::strerror(err), {}};
        std::fprintf(stderr,
                     "vostrel: warning: cannot read the registry file %s (%s); using defaults "
                     "and keeping changes in memory only\n",
                     path.c_str(), std::strerror(err));
        return;
    }
    auto parsed = std::make_shared<CRegKeyNode>();
    parsed->name = m_user->name;
    std::string error;
    if (Parse(text, *parsed, error)) {
        m_user = std::move(parsed);
        return;
    }
    std::string aside;
    const int renameErr = SetAside(path, aside);
    if (renameErr == 0) {
        m_loadProblem = CRegistryLoadProblem{CRegistryLoadProblem::Kind::SetAside, path, aside, error, {}};
        std::fprintf(stderr,
                     "vostrel: warning: the registry file %s is damaged (%s); it was moved to %s "
                     "and defaults are used\n",
                     path.c_str(), error.c_str(), aside.c_str());
    } else {
        aside.clear();
        m_persist = false;
        m_loadProblem =
            CRegistryLoadProblem{CRegistryLoadProblem::Kind::NotSetAside, path, {}, error, std::strerror(renameErr)};
        std::fprintf(stderr,
                     "vostrel: warning: the registry file %s is damaged (%s) and could not be set "
                     "aside (%s); defaults are used and changes are kept in memory only\n",
                     path.c_str(), error.c_str(), std::strerror(renameErr));
    }
}

int CRegistryStore::SetAside(const std::string& path, std::string& aside)
{
    return MoveDamagedFileAside(path, aside);
}

bool CRegistryStore::Parse(std::string_view text, CRegKeyNode& root, std::string& error)
{
    size_t pos = 0;
    int lineNumber = 0;
    bool sawMagic = false;
    CRegKeyNode* current = nullptr;
    const std::string rootName = root.name;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!sawMagic) {
            if (line != kMagic) {
                error = "not a registry file";
                return false;
            }
            sawMagic = true;
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        auto fail = [&](const char* what) {
            error = std::string(what) + " on line " + std::to_string(lineNumber);
            return false;
        };
        if (line[0] == '[') {
            if (line.back() != ']')
                return fail("bad key line");
            std::string_view path = line.substr(1, line.size() - 2);
            size_t slash = path.find('\\');
            std::string_view first = path.substr(0, slash);
            if (!RegNamesEqual(first, rootName))
                return fail("key outside the user's root");
            current = &root;
            size_t depth = 0;
            while (slash != std::string_view::npos) {
                if (++depth > kMaxKeyDepth)
                    return fail("key nested too deeply");
                size_t next = path.find('\\', slash + 1);
                std::string_view part = path.substr(slash + 1, next == std::string_view::npos
                                                                   ? std::string_view::npos
                                                                   : next - slash - 1);
                std::string name;
                if (part.empty() || !Unescape(part, name) || name.size() > REG_MAX_KEY_NAME_LENGTH)
                    return fail("bad key name");
                auto it = current->subkeys.find(name);
                if (it == current->subkeys.end()) {
                    auto child = std::make_shared<CRegKeyNode>();
                    child->name = name;
                    child->parent = current;
                    it = current->subkeys.emplace(name, std::move(child)).first;
                }
                current = it->second.get();
                slash = next;
            }
            continue;
        }
        if (line[0] == '"') {
            if (!current)
                return fail("value before any key");
            CRegValue value;
            if (!ParseValueLine(line, value))
                return fail("bad value line");
            if (CRegValue* existing = current->FindValue(value.name))
                *existing = std::move(value);
            else
                current->values.push_back(std::move(value));
            continue;
        }
        return fail("unknown line");
    }
    if (!sawMagic) {
        error = "empty file";
        return false;
    }
    return true;
}

std::string CRegistryStore::Serialize(const CRegKeyNode& root)
{
    std::string out = kMagic;
    out += "\n# The user's settings of Vostrel. Written by the program; see RegistryStore.h.\n";
    SerializeTree(out, root, root.name);
    return out;
}

bool CRegistryStore::Flush()
{
    std::lock_guard lock(m_mutex);
    if (m_batches > 0)
        return true; // the batch's end writes
    return Write();
}

bool CRegistryStore::FlushNow()
{
    std::lock_guard lock(m_mutex);
    return Write();
}

CRegistryWriteBatch::CRegistryWriteBatch()
{
    CRegistryStore& store = CRegistryStore::Instance();
    std::lock_guard lock(store.m_mutex);
    ++store.m_batches;
}

CRegistryWriteBatch::~CRegistryWriteBatch()
{
    CRegistryStore& store = CRegistryStore::Instance();
    std::lock_guard lock(store.m_mutex);
    if (--store.m_batches == 0)
        store.Write();
}

bool CRegistryStore::Write()
{
    std::lock_guard lock(m_mutex);
    if (!m_dirty || !m_user || !m_persist)
        return true;
    const std::string dir = GetUserConfigDir();
    int err = 0;
    if (!MakeDirectories(dir, 0700))
        err = errno ? errno : EIO;
    if (err == 0)
        err = WriteFileAtomically(FilePath(), Serialize(*m_user), 0600);
    if (err != 0) {
        if (!m_warnedWrite)
            std::fprintf(stderr, "vostrel: warning: cannot write the registry file %s (%s)\n",
                         FilePath().c_str(), std::strerror(err));
        m_warnedWrite = true;
        return false;
    }
    m_dirty = false;
    m_warnedWrite = false;
    return true;
}

CRegistryLoadProblem CRegistryStore::TakeLoadProblem()
{
    std::lock_guard lock(m_mutex);
    Root(RegRoot::CurrentUser);
    return std::exchange(m_loadProblem, CRegistryLoadProblem{});
}

void CRegistryStore::Reload()
{
    std::lock_guard lock(m_mutex);
    Write();
    // What the old tree's reading met is no news about the file read next.
    m_loadProblem = CRegistryLoadProblem{};
    for (auto* root : {&m_user, &m_machine, &m_classes}) {
        if (*root)
            (*root)->MarkDeleted();
        root->reset();
    }
    m_dirty = false;
}
