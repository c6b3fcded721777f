#include "toolkit/editor/SECEditRegExp.h"

#include <cstring>

namespace {

const char kMeta[] = "^$.[()|?+*\\";

bool IsMult(char c) { return c == '*' || c == '+' || c == '?'; }

// Programs beyond this size would need links wider than the 16 bits a node holds.
constexpr size_t kMaxProgram = 32767;

} // namespace

size_t SECEditRegExp::Node(unsigned char op)
{
    size_t at = m_program.size();
    Emit(op);
    Emit(0);
    Emit(0);
    return at;
}

void SECEditRegExp::Insert(unsigned char op, size_t operand)
{
    unsigned char node[3] = {op, 0, 0};
    m_program.insert(m_program.begin() + static_cast<std::ptrdiff_t>(operand), node, node + 3);
}

size_t SECEditRegExp::Next(size_t p) const
{
    unsigned offset = m_program[p + 1] | (m_program[p + 2] << 8);
    if (offset == 0)
        return kNone;
    return m_program[p] == BACK ? p - offset : p + offset;
}

void SECEditRegExp::Tail(size_t p, size_t val)
{
    if (p == kNone || m_bBad)
        return;
    size_t scan = p;
    for (size_t next; (next = Next(scan)) != kNone;)
        scan = next;
    size_t offset = m_program[scan] == BACK ? scan - val : val - scan;
    if (offset > kMaxProgram) {
        m_bBad = true;
        return;
    }
    m_program[scan + 1] = static_cast<unsigned char>(offset & 0xFF);
    m_program[scan + 2] = static_cast<unsigned char>(offset >> 8);
}

void SECEditRegExp::OpTail(size_t p, size_t val)
{
    if (p == kNone || m_program[p] != BRANCH)
        return;
    Tail(p + 3, val);
}

SECEditRegExp* SECEditRegExp::Compile(const char* pPattern)
{
    m_program.clear();
    m_strFound.clear();
    m_strMust.clear();
    m_firstChar = 0;
    m_bAnchored = false;
    m_bCompiled = false;
    m_bBad = false;
    if (pPattern == nullptr)
        return nullptr;
    m_bCompiled = true;
    m_parse = pPattern;
    m_nextGroup = 1;
    int flags = 0;
    size_t top = Reg(false, &flags);
    if (top == kNone || m_bBad || m_program.size() > kMaxProgram) {
        m_program.clear();
        m_bCompiled = false;
        return nullptr;
    }
    // Hints for the search: the first byte of a leading literal, an anchor, and for a branch
    // that starts with a repetition the longest literal it must contain.
    size_t scan = 0;
    if (m_program[Next(scan)] == END) {
        scan += 3;
        if (m_program[scan] == EXACTLY)
            m_firstChar = m_program[scan + 3];
        else if (m_program[scan] == BOL)
            m_bAnchored = true;
        if (flags & SPSTART) {
            const char* longest = nullptr;
            size_t length = 0;
            for (size_t s = scan; s != kNone; s = Next(s)) {
                if (m_program[s] == EXACTLY) {
                    auto* lit = reinterpret_cast<const char*>(&m_program[s + 3]);
                    size_t n = std::strlen(lit);
                    if (n >= length) {
                        longest = lit;
                        length = n;
                    }
                }
            }
            if (longest != nullptr)
                m_strMust.assign(longest, length);
        }
    }
    return this;
}

size_t SECEditRegExp::Reg(bool paren, int* flags)
{
    *flags = HASWIDTH;
    size_t ret = kNone;
    int group = 0;
    if (paren) {
        if (m_nextGroup >= kGroups)
            return kNone;
        group = m_nextGroup++;
        ret = Node(static_cast<unsigned char>(OPEN + group));
    }
    int branchFlags;
    size_t br = Branch(&branchFlags);
    if (br == kNone)
        return kNone;
    if (ret != kNone)
        Tail(ret, br);
    else
        ret = br;
    if (!(branchFlags & HASWIDTH))
        *flags &= ~HASWIDTH;
    *flags |= branchFlags & SPSTART;
    while (*m_parse == '|') {
        ++m_parse;
        br = Branch(&branchFlags);
        if (br == kNone)
            return kNone;
        Tail(ret, br);
        if (!(branchFlags & HASWIDTH))
            *flags &= ~HASWIDTH;
        *flags |= branchFlags & SPSTART;
    }
    size_t ender = Node(paren ? static_cast<unsigned char>(CLOSE + group) : static_cast<unsigned char>(END));
    Tail(ret, ender);
    for (br = ret; br != kNone; br = Next(br))
        OpTail(br, ender);
    if (paren) {
        if (*m_parse++ != ')')
            return kNone;
    } else if (*m_parse != '\0') {
        return kNone;   // a stray ")" or something left over
    }
    return m_bBad ? kNone : ret;
}

size_t SECEditRegExp::Branch(int* flags)
{
    *flags = WORST;
    size_t ret = Node(BRANCH);
    size_t chain = kNone;
    while (*m_parse != '\0' && *m_parse != '|' && *m_parse != ')') {
        int pieceFlags;
        size_t latest = Piece(&pieceFlags);
        if (latest == kNone)
            return kNone;
        *flags |= pieceFlags & HASWIDTH;
        if (chain == kNone)
            *flags |= pieceFlags & SPSTART;
        else
            Tail(chain, latest);
        chain = latest;
    }
    if (chain == kNone)
        Node(NOTHING);
    return ret;
}

size_t SECEditRegExp::Piece(int* flags)
{
    int atomFlags;
    size_t ret = Atom(&atomFlags);
    if (ret == kNone)
        return kNone;
    char op = *m_parse;
    if (!IsMult(op)) {
        *flags = atomFlags;
        return ret;
    }
    if (!(atomFlags & HASWIDTH) && op != '?')
        return kNone;   // a repetition of something that can match empty never ends
    *flags = op != '+' ? (WORST | SPSTART) : (WORST | HASWIDTH);
    if (op == '*' && (atomFlags & SIMPLE)) {
        Insert(STAR, ret);
    } else if (op == '*') {
        Insert(BRANCH, ret);
        OpTail(ret, Node(BACK));
        OpTail(ret, ret);
        Tail(ret, Node(BRANCH));
        Tail(ret, Node(NOTHING));
    } else if (op == '+' && (atomFlags & SIMPLE)) {
        Insert(PLUS, ret);
    } else if (op == '+') {
        size_t next = Node(BRANCH);
        Tail(ret, next);
        Tail(Node(BACK), ret);
        Tail(next, Node(BRANCH));
        Tail(ret, Node(NOTHING));
    } else {
        Insert(BRANCH, ret);
        Tail(ret, Node(BRANCH));
        size_t next = Node(NOTHING);
        Tail(ret, next);
        OpTail(ret, next);
    }
    ++m_parse;
    if (IsMult(*m_parse))
        return kNone;
    return ret;
}

size_t SECEditRegExp::Atom(int* flags)
{
    *flags = WORST;
    size_t ret;
    char c = *m_parse++;
    switch (c) {
    case '^':
        ret = Node(BOL);
        break;
    case '$':
        ret = Node(EOL);
        break;
    case '.':
        ret = Node(ANY);
        *flags |= HASWIDTH | SIMPLE;
        break;
    case '[': {
        if (*m_parse == '^') {
            ret = Node(ANYBUT);
            ++m_parse;
        } else {
            ret = Node(ANYOF);
        }
        if (*m_parse == ']' || *m_parse == '-')
            Emit(static_cast<unsigned char>(*m_parse++));
        while (*m_parse != '\0' && *m_parse != ']') {
            if (*m_parse == '-') {
                ++m_parse;
                if (*m_parse == ']' || *m_parse == '\0') {
                    Emit('-');
                } else {
                    int from = static_cast<unsigned char>(m_parse[-2]) + 1;
                    int to = static_cast<unsigned char>(*m_parse);
                    if (from > to + 1)
                        return kNone;
                    for (; from <= to; ++from)
                        Emit(static_cast<unsigned char>(from));
                    ++m_parse;
                }
            } else {
                Emit(static_cast<unsigned char>(*m_parse++));
            }
        }
        Emit(0);
        if (*m_parse != ']')
            return kNone;
        ++m_parse;
        *flags |= HASWIDTH | SIMPLE;
        break;
    }
    case '(': {
        int groupFlags;
        ret = Reg(true, &groupFlags);
        if (ret == kNone)
            return kNone;
        *flags |= groupFlags & (HASWIDTH | SPSTART);
        break;
    }
    case '\0':
    case '|':
    case ')':
    case '?':
    case '+':
    case '*':
        return kNone;
    case '\\':
        if (*m_parse == '\0')
            return kNone;
        ret = Node(EXACTLY);
        Emit(static_cast<unsigned char>(*m_parse++));
        Emit(0);
        *flags |= HASWIDTH | SIMPLE;
        break;
    default: {
        --m_parse;
        size_t length = std::strcspn(m_parse, kMeta);
        if (length == 0)
            return kNone;
        if (length > 1 && IsMult(m_parse[length]))
            --length;   // the repetition takes the last byte alone
        *flags |= HASWIDTH;
        if (length == 1)
            *flags |= SIMPLE;
        ret = Node(EXACTLY);
        for (size_t i = 0; i < length; ++i)
            Emit(static_cast<unsigned char>(*m_parse++));
        Emit(0);
        break;
    }
    }
    return ret;
}

int SECEditRegExp::Find(const char* pText, int nFrom)
{
    m_strFound.clear();
    m_bTooDeep = false;
    m_steps = 0;
    for (int i = 0; i < kGroups; ++i)
        m_startp[i] = m_endp[i] = nullptr;
    if (pText == nullptr || !m_bCompiled || m_program.empty())
        return -1;
    size_t textLength = std::strlen(pText);
    if (nFrom < 0 || static_cast<size_t>(nFrom) > textLength)
        return -1;
    const char* from = pText + nFrom;
    if (!m_strMust.empty() && std::strstr(from, m_strMust.c_str()) == nullptr)
        return -1;
    m_bol = pText;
    const char* found = nullptr;
    if (m_bAnchored) {
        if (nFrom == 0 && Try(pText))
            found = pText;
    } else if (m_firstChar != 0) {
        for (const char* s = std::strchr(from, m_firstChar); s != nullptr && !m_bTooDeep;
             s = std::strchr(s + 1, m_firstChar)) {
            if (Try(s)) {
                found = s;
                break;
            }
        }
    } else {
        for (const char* s = from;; ++s) {
            if (Try(s)) {
                found = s;
                break;
            }
            if (*s == '\0' || m_bTooDeep)
                break;
        }
    }
    if (found == nullptr || m_bTooDeep) {
        for (int i = 0; i < kGroups; ++i)
            m_startp[i] = m_endp[i] = nullptr;
        return -1;
    }
    m_strFound.assign(m_startp[0], static_cast<size_t>(m_endp[0] - m_startp[0]));
    return static_cast<int>(found - pText);
}

bool SECEditRegExp::Try(const char* at)
{
    for (int i = 0; i < kGroups; ++i)
        m_startp[i] = m_endp[i] = nullptr;
    m_input = at;
    m_depth = 0;
    if (!Match(0))
        return false;
    m_startp[0] = at;
    m_endp[0] = m_input;
    return true;
}

size_t SECEditRegExp::Repeat(size_t node) const
{
    const char* operand = reinterpret_cast<const char*>(&m_program[node + 3]);
    switch (m_program[node]) {
    case ANY:
        return std::strlen(m_input);
    case EXACTLY: {
        size_t n = 0;
        while (m_input[n] != '\0' && m_input[n] == *operand)
            ++n;
        return n;
    }
    case ANYOF:
        return std::strspn(m_input, operand);
    case ANYBUT:
        return std::strcspn(m_input, operand);
    default:
        return 0;
    }
}

bool SECEditRegExp::Match(size_t scan)
{
    struct Depth {
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
        int& depth;
    } guard(m_depth);
    if (m_depth > kMaxDepth) {
        m_bTooDeep = true;
        return false;
    }
    while (scan != kNone) {
        if (++m_steps > kMaxSteps) {
            m_bTooDeep = true;
            return false;
        }
        size_t next = Next(scan);
        unsigned char op = m_program[scan];
        const char* operand = reinterpret_cast<const char*>(&m_program[scan + 3]);
        switch (op) {
        case BOL:
            if (m_input != m_bol)
                return false;
            break;
        case EOL:
            if (*m_input != '\0')
                return false;
            break;
        case ANY:
            if (*m_input == '\0')
                return false;
            ++m_input;
            break;
        case EXACTLY: {
            if (*operand != *m_input)
                return false;
            size_t n = std::strlen(operand);
            if (n > 1 && std::strncmp(operand, m_input, n) != 0)
                return false;
            m_input += n;
            break;
        }
        case ANYOF:
            if (*m_input == '\0' || std::strchr(operand, *m_input) == nullptr)
                return false;
            ++m_input;
            break;
        case ANYBUT:
            if (*m_input == '\0' || std::strchr(operand, *m_input) != nullptr)
                return false;
            ++m_input;
            break;
        case NOTHING:
        case BACK:
            break;
        case BRANCH:
            if (next == kNone || m_program[next] != BRANCH) {
                next = scan + 3;   // one alternative: no need to recurse
            } else {
                do {
                    const char* save = m_input;
                    if (Match(scan + 3))
                        return true;
                    if (m_bTooDeep)
                        return false;
                    m_input = save;
                    scan = Next(scan);
                } while (scan != kNone && m_program[scan] == BRANCH);
                return false;
            }
            break;
        case STAR:
        case PLUS: {
            char nextChar = next != kNone && m_program[next] == EXACTLY
                ? static_cast<char>(m_program[next + 3]) : '\0';
            size_t min = op == STAR ? 0 : 1;
            const char* save = m_input;
            size_t count = Repeat(scan + 3);
            for (size_t n = count + 1; n-- > min;) {
                if (++m_steps > kMaxSteps) {
                    m_bTooDeep = true;
                    return false;
                }
                m_input = save + n;
                if (nextChar == '\0' || *m_input == nextChar) {
                    if (Match(next))
                        return true;
                    if (m_bTooDeep)
                        return false;
                }
            }
            return false;
        }
        case END:
            return true;
        default:
            if (op > OPEN && op < OPEN + kGroups) {
                int n = op - OPEN;
                const char* save = m_input;
                if (!Match(next))
                    return false;
                if (m_startp[n] == nullptr)
                    m_startp[n] = save;
                return true;
            }
            if (op > CLOSE && op < CLOSE + kGroups) {
                int n = op - CLOSE;
                const char* save = m_input;
                if (!Match(next))
                    return false;
                if (m_endp[n] == nullptr)
                    m_endp[n] = save;
                return true;
            }
            return false;
        }
        scan = next;
    }
    return false;
}

int SECEditRegExp::GetMatchLength() const
{
    if (m_startp[0] == nullptr || m_endp[0] == nullptr)
        return 0;
    return static_cast<int>(m_endp[0] - m_startp[0]);
}

bool SECEditRegExp::GetGroup(int n, int* pStart, int* pLength) const
{
    if (n < 0 || n >= kGroups || m_startp[n] == nullptr || m_endp[n] == nullptr || m_bol == nullptr)
        return false;
    *pStart = static_cast<int>(m_startp[n] - m_bol);
    *pLength = static_cast<int>(m_endp[n] - m_startp[n]);
    return true;
}

bool SECEditRegExp::GetReplaceString(const char* pTemplate, std::string& out) const
{
    return ExpandFrom(pTemplate, m_bol, out);
}

bool SECEditRegExp::ExpandFrom(const char* pTemplate, const char* pSource, std::string& out) const
{
    out.clear();
    if (pTemplate == nullptr || m_startp[0] == nullptr || pSource == nullptr)
        return false;
    for (const char* p = pTemplate; *p != '\0';) {
        char c = *p++;
        int group = -1;
        if (c == '&') {
            group = 0;
        } else if (c == '\\' && *p >= '0' && *p <= '9') {
            group = *p++ - '0';
        } else if (c == '\\' && (*p == '\\' || *p == '&')) {
            c = *p++;
        }
        if (group < 0) {
            out += c;
            continue;
        }
        if (m_startp[group] != nullptr && m_endp[group] != nullptr && m_endp[group] > m_startp[group])
            out.append(pSource + (m_startp[group] - m_bol),
                       static_cast<size_t>(m_endp[group] - m_startp[group]));
    }
    return true;
}

bool SECEditRegExp::HasMetaChars(const char* pText)
{
    return pText != nullptr && std::strpbrk(pText, "$*+.?[\\]^") != nullptr;
}
