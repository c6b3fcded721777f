#include "platform/core/ResourceFormats.h"

#include <cstring>

namespace {

const WORD kMenuPopup = 0x0010;     // MF_POPUP
const WORD kMenuEnd = 0x0080;       // MF_END
const WORD kMenuExPopup = 0x0001;   // resInfo: the item opens a pop-up
const WORD kMenuExLast = 0x0080;    // resInfo: last item of its level
const DWORD kSetFont = 0x40;        // DS_SETFONT (DS_SHELLFONT includes it)
const BYTE kAccelLast = 0x80;
const size_t kMaxMenuDepth = 64;    // deeper nesting is a damaged block, not a menu

// Reads fields in order from a block, never past its end; the first failure sticks.
class BlockReader {
public:
    BlockReader(const void* data, size_t size) : m_base(static_cast<const BYTE*>(data)), m_size(data ? size : 0) {}

    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_pos; }
    bool AtEnd() const { return m_pos >= m_size; }

    template <typename T>
    T Get()
    {
        T value{};
        if (Take(sizeof(T)))
            std::memcpy(&value, m_base + m_pos - sizeof(T), sizeof(T));
        return value;
    }

    bool Take(size_t n)
    {
        if (!m_ok || n > m_size - m_pos) {
            m_ok = false;
            return false;
        }
        m_pos += n;
        return true;
    }

    void Align(size_t to)
    {
        size_t pad = (to - m_pos % to) % to;
        // Padding at the very end of a block may be left out.
        if (pad > m_size - m_pos)
            pad = m_size - m_pos;
        m_pos += pad;
    }

    // Bytes up to a NUL, then the NUL and padding to an even offset.
    std::string String()
    {
        if (!m_ok)
            return {};
        const BYTE* start = m_base + m_pos;
        const void* nul = std::memchr(start, 0, m_size - m_pos);
        if (!nul) {
            m_ok = false;
            return {};
        }
        std::string text(reinterpret_cast<const char*>(start), static_cast<const BYTE*>(nul) - start);
        m_pos += text.size() + 1;
        Align(2);
        return text;
    }

    ResourceNameOrId NameOrId()
    {
        ResourceNameOrId field;
        if (!m_ok || m_size - m_pos < 2) {
            m_ok = false;
            return field;
        }
        WORD first = 0;
        std::memcpy(&first, m_base + m_pos, 2);
        if (first == 0) {
            m_pos += 2;
        } else if (first == 0xFFFF) {
            m_pos += 2;
            field.isOrdinal = true;
            field.ordinal = Get<WORD>();
        } else {
            field.text = String();
        }
        return field;
    }

    std::vector<BYTE> Bytes(size_t n)
    {
        if (!Take(n))
            return {};
        return std::vector<BYTE>(m_base + m_pos - n, m_base + m_pos);
    }

    const BYTE* Here() const { return m_base + m_pos; }

private:
    const BYTE* m_base;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

class BlockWriter {
public:
    template <typename T>
    void Put(const T& value)
    {
        // Grown first and copied into the room made, so the copy's bounds are plain to see.
        const size_t at = m_out.size();
        m_out.resize(at + sizeof(T));
        std::memcpy(m_out.data() + at, &value, sizeof(T));
    }
    void Align(size_t to)
    {
        while (m_out.size() % to)
            m_out.push_back(0);
    }
    void String(const std::string& text)
    {
        // A NUL inside the text would end it early for every reader: it stops there.
        m_out.insert(m_out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(strnlen(text.c_str(), text.size())));
        m_out.push_back(0);
        Align(2);
    }
    void NameOrId(const ResourceNameOrId& field)
    {
        if (field.isOrdinal) {
            Put<WORD>(0xFFFF);
            Put<WORD>(field.ordinal);
        } else if (field.text.empty()) {
            Put<WORD>(0);
        } else {
            String(field.text);
        }
    }
    void Bytes(const std::vector<BYTE>& bytes) { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }
    std::vector<BYTE> Take() { return std::move(m_out); }

private:
    std::vector<BYTE> m_out;
};

bool ReadMenuItems(BlockReader& in, std::vector<MenuTemplateItem>& items, size_t depth)
{
    if (depth > kMaxMenuDepth)
        return false;
    for (;;) {
        MenuTemplateItem item;
        WORD option = in.Get<WORD>();
        item.popup = (option & kMenuPopup) != 0;
        item.option = static_cast<WORD>(option & ~kMenuEnd);
        if (!item.popup)
            item.id = in.Get<WORD>();
        item.text = in.String();
        if (!in.Ok())
            return false;
        if (item.popup && !ReadMenuItems(in, item.children, depth + 1))
            return false;
        items.push_back(std::move(item));
        if (option & kMenuEnd)
            return true;
    }
}

bool ReadMenuExItems(BlockReader& in, std::vector<MenuTemplateItem>& items, size_t depth)
{
    if (depth > kMaxMenuDepth)
        return false;
    for (;;) {
        in.Align(4);
        MenuTemplateItem item;
        item.type = in.Get<DWORD>();
        item.state = in.Get<DWORD>();
        item.id = in.Get<DWORD>();
        WORD resInfo = in.Get<WORD>();
        item.popup = (resInfo & kMenuExPopup) != 0;
        item.text = in.String();
        if (item.popup) {
            in.Align(4);
            item.helpId = in.Get<DWORD>();
        }
        if (!in.Ok())
            return false;
        if (item.popup && !ReadMenuExItems(in, item.children, depth + 1))
            return false;
        items.push_back(std::move(item));
        if (resInfo & kMenuExLast)
            return true;
    }
}

void WriteMenuItems(BlockWriter& out, const std::vector<MenuTemplateItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuTemplateItem& item = items[i];
        WORD option = static_cast<WORD>(item.option & ~kMenuEnd);
        if (item.popup)
            option |= kMenuPopup;
        else
            option &= static_cast<WORD>(~kMenuPopup);
        if (i + 1 == items.size())
            option |= kMenuEnd;
        out.Put<WORD>(option);
        if (!item.popup)
            out.Put<WORD>(static_cast<WORD>(item.id));
        out.String(item.text);
        if (item.popup)
            WriteMenuItems(out, item.children);
    }
}

void WriteMenuExItems(BlockWriter& out, const std::vector<MenuTemplateItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuTemplateItem& item = items[i];
        out.Align(4);
        out.Put<DWORD>(item.type);
        out.Put<DWORD>(item.state);
        out.Put<DWORD>(item.id);
        WORD resInfo = 0;
        if (item.popup)
            resInfo |= kMenuExPopup;
        if (i + 1 == items.size())
            resInfo |= kMenuExLast;
        out.Put<WORD>(resInfo);
        out.String(item.text);
        if (item.popup) {
            out.Align(4);
            out.Put<DWORD>(item.helpId);
            WriteMenuExItems(out, item.children);
        }
    }
}

} // namespace

bool ReadDialogTemplate(const void* data, size_t size, DialogTemplate& dialog)
{
    dialog = DialogTemplate{};
    BlockReader in(data, size);
    WORD first[2] = {0, 0};
    if (data && size >= 4)
        std::memcpy(first, data, 4);
    dialog.extended = first[0] == 1 && first[1] == 0xFFFF;
    WORD count = 0;
    if (dialog.extended) {
        auto h = in.Get<DLGTEMPLATEEX_HEADER>();
        dialog.helpId = h.helpID;
        dialog.exStyle = h.exStyle;
        dialog.style = h.style;
        count = h.cDlgItems;
        dialog.x = h.x, dialog.y = h.y, dialog.cx = h.cx, dialog.cy = h.cy;
    } else {
        auto h = in.Get<DLGTEMPLATE>();
        dialog.style = h.style;
        dialog.exStyle = h.dwExtendedStyle;
        count = h.cdit;
        dialog.x = h.x, dialog.y = h.y, dialog.cx = h.cx, dialog.cy = h.cy;
    }
    dialog.menu = in.NameOrId();
    dialog.windowClass = in.NameOrId();
    dialog.title = in.String();
    if (dialog.style & kSetFont) {
        dialog.pointSize = in.Get<WORD>();
        if (dialog.extended) {
            dialog.weight = in.Get<WORD>();
            dialog.italic = in.Get<BYTE>();
            dialog.charset = in.Get<BYTE>();
        }
        dialog.typeface = in.String();
    }
    if (!in.Ok())
        return false;
    dialog.items.reserve(count);
    for (WORD i = 0; i < count; ++i) {
        in.Align(4);
        DialogItemTemplate item;
        if (dialog.extended) {
            auto h = in.Get<DLGITEMTEMPLATEEX_HEADER>();
            item.helpId = h.helpID;
            item.exStyle = h.exStyle;
            item.style = h.style;
            item.x = h.x, item.y = h.y, item.cx = h.cx, item.cy = h.cy;
            item.id = h.id;
        } else {
            auto h = in.Get<DLGITEMTEMPLATE>();
            item.exStyle = h.dwExtendedStyle;
            item.style = h.style;
            item.x = h.x, item.y = h.y, item.cx = h.cx, item.cy = h.cy;
            item.id = h.id;
        }
        item.windowClass = in.NameOrId();
        item.title = in.NameOrId();
        WORD extra = in.Get<WORD>();
        item.creationData = in.Bytes(extra);
        if (!in.Ok())
            return false;
        dialog.items.push_back(std::move(item));
    }
    return true;
}

std::vector<BYTE> WriteDialogTemplate(const DialogTemplate& dialog)
{
    BlockWriter out;
    const WORD count = static_cast<WORD>(dialog.items.size());
    if (dialog.extended) {
        DLGTEMPLATEEX_HEADER h{1, 0xFFFF, dialog.helpId, dialog.exStyle, dialog.style, count,
                               dialog.x, dialog.y, dialog.cx, dialog.cy};
        out.Put(h);
    } else {
        DLGTEMPLATE h{dialog.style, dialog.exStyle, count, dialog.x, dialog.y, dialog.cx, dialog.cy};
        out.Put(h);
    }
    out.NameOrId(dialog.menu);
    out.NameOrId(dialog.windowClass);
    out.String(dialog.title);
    if (dialog.style & kSetFont) {
        out.Put<WORD>(dialog.pointSize);
        if (dialog.extended) {
            out.Put<WORD>(dialog.weight);
            out.Put<BYTE>(dialog.italic);
            out.Put<BYTE>(dialog.charset);
        }
        out.String(dialog.typeface);
    }
    for (const DialogItemTemplate& item : dialog.items) {
        out.Align(4);
        if (dialog.extended) {
            DLGITEMTEMPLATEEX_HEADER h{item.helpId, item.exStyle, item.style, item.x, item.y,
                                       item.cx, item.cy, item.id};
            out.Put(h);
        } else {
            DLGITEMTEMPLATE h{item.style, item.exStyle, item.x, item.y, item.cx, item.cy,
                              static_cast<WORD>(item.id)};
            out.Put(h);
        }
        out.NameOrId(item.windowClass);
        out.NameOrId(item.title);
        out.Put<WORD>(static_cast<WORD>(item.creationData.size()));
        out.Bytes(item.creationData);
    }
    return out.Take();
}

bool ReadMenuTemplate(const void* data, size_t size, MenuTemplate& menu)
{
    menu = MenuTemplate{};
    BlockReader in(data, size);
    WORD version = in.Get<WORD>();
    WORD offset = in.Get<WORD>();
    if (!in.Ok())
        return false;
    if (version == 0) {
        in.Take(offset);
        return ReadMenuItems(in, menu.items, 0) && in.Ok();
    }
    if (version != 1 || offset < 4)
        return false;
    menu.extended = true;
    menu.helpId = in.Get<DWORD>();
    in.Take(offset - 4);
    return in.Ok() && ReadMenuExItems(in, menu.items, 0) && in.Ok();
}

std::vector<BYTE> WriteMenuTemplate(const MenuTemplate& menu)
{
    BlockWriter out;
    if (menu.extended) {
        out.Put(MENUEX_TEMPLATE_HEADER{1, 4, menu.helpId});
        WriteMenuExItems(out, menu.items);
    } else {
        out.Put(MENUITEMTEMPLATEHEADER{0, 0});
        WriteMenuItems(out, menu.items);
    }
    return out.Take();
}

bool ReadStringBlock(const void* data, size_t size, std::vector<std::string>& strings)
{
    strings.assign(16, std::string());
    for (UINT i = 0; i < 16; ++i) {
        int length = 0;
        LPCSTR text = FindStringInBlock(data, size, i, &length);
        if (!text)
            return false;
        strings[i].assign(text, static_cast<size_t>(length));
    }
    return true;
}

std::vector<BYTE> WriteStringBlock(std::span<const std::string> strings)
{
    BlockWriter out;
    for (size_t i = 0; i < 16; ++i) {
        std::string text = i < strings.size() ? strings[i] : std::string();
        text.resize(std::min<size_t>(strnlen(text.c_str(), text.size()), 0xFFFF));
        out.Put<WORD>(static_cast<WORD>(text.size()));
        out.String(text);
    }
    return out.Take();
}

LPCSTR FindStringInBlock(const void* data, size_t size, UINT index, int* length)
{
    if (index >= 16)
        return nullptr;
    BlockReader in(data, size);
    for (UINT i = 0;; ++i) {
        WORD n = in.Get<WORD>();
        const BYTE* text = in.Here();
        if (!in.Take(n + 1u) || text[n] != 0)
            return nullptr;
        in.Align(2);
        if (i == index) {
            if (length)
                *length = n;
            return reinterpret_cast<LPCSTR>(text);
        }
    }
}

bool ReadAcceleratorTable(const void* data, size_t size, std::vector<AcceleratorEntry>& entries)
{
    entries.clear();
    BlockReader in(data, size);
    for (;;) {
        auto e = in.Get<ACCELTABLEENTRY>();
        if (!in.Ok())
            return false;
        entries.push_back(AcceleratorEntry{static_cast<BYTE>(e.fFlags & 0x7F), e.wAnsi, e.wId});
        if (e.fFlags & kAccelLast)
            return true;
    }
}

std::vector<BYTE> WriteAcceleratorTable(std::span<const AcceleratorEntry> entries)
{
    BlockWriter out;
    for (size_t i = 0; i < entries.size(); ++i) {
        WORD flags = entries[i].flags & 0x7F;
        if (i + 1 == entries.size())
            flags |= kAccelLast;
        out.Put(ACCELTABLEENTRY{flags, entries[i].key, entries[i].cmd, 0});
    }
    return out.Take();
}

bool ReadToolBarTemplate(const void* data, size_t size, ToolBarTemplate& toolbar)
{
    toolbar = ToolBarTemplate{};
    BlockReader in(data, size);
    auto h = in.Get<TOOLBARDATA>();
    if (!in.Ok() || h.wVersion != 1)
        return false;
    toolbar.width = h.wWidth;
    toolbar.height = h.wHeight;
    for (WORD i = 0; i < h.wItemCount && in.Ok(); ++i)
        toolbar.items.push_back(in.Get<WORD>());
    return in.Ok();
}

std::vector<BYTE> WriteToolBarTemplate(const ToolBarTemplate& toolbar)
{
    BlockWriter out;
    out.Put(TOOLBARDATA{1, toolbar.width, toolbar.height, static_cast<WORD>(toolbar.items.size())});
    for (WORD id : toolbar.items)
        out.Put(id);
    return out.Take();
}

bool ReadDialogInit(const void* data, size_t size, std::vector<DialogInitEntry>& entries)
{
    entries.clear();
    BlockReader in(data, size);
    for (;;) {
        DialogInitEntry entry;
        entry.controlId = in.Get<WORD>();
        if (!in.Ok())
            return false;
        if (entry.controlId == 0)
            return true;
        entry.message = in.Get<WORD>();
        DWORD length = in.Get<DWORD>();
        entry.data = in.Bytes(length);
        if (!in.Ok())
            return false;
        entries.push_back(std::move(entry));
    }
}

std::vector<BYTE> WriteDialogInit(std::span<const DialogInitEntry> entries)
{
    BlockWriter out;
    for (const DialogInitEntry& entry : entries) {
        out.Put(entry.controlId);
        out.Put(entry.message);
        out.Put(static_cast<DWORD>(entry.data.size()));
        out.Bytes(entry.data);
    }
    out.Put<WORD>(0);
    return out.Take();
}

bool ReadCursorResource(const void* data, size_t size, POINT& hotSpot, std::span<const BYTE>& png)
{
    BlockReader in(data, size);
    auto h = in.Get<CURSORRESOURCEHEADER>();
    if (!in.Ok())
        return false;
    hotSpot = POINT{h.xHotspot, h.yHotspot};
    png = std::span<const BYTE>(in.Here(), size - in.Offset());
    return true;
}
