// The DIALOG and DIALOGEX statements and their controls.
#include "platform/rc/RcParser.h"

#include "platform/core/ResourceFormats.h"

#include <strings.h>

namespace rc {

namespace {

// Style bits the statements add by themselves.
const DWORD kWsPopup = 0x80000000u;
const DWORD kWsChild = 0x40000000u;
const DWORD kWsVisible = 0x10000000u;
const DWORD kWsCaption = 0x00C00000u;
const DWORD kWsBorder = 0x00800000u;
const DWORD kWsSysMenu = 0x00080000u;
const DWORD kWsGroup = 0x00020000u;
const DWORD kWsTabStop = 0x00010000u;
const DWORD kDsSetFont = 0x40u;

enum class Args { TextFirst, IdFirst, Icon, Control };

struct ControlKind {
    const char* keyword;
    Args args;
    DialogControlClass cls;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
};

constexpr DWORD kCbsTypeMask = 0x0003u; // simple, drop-down or drop-down list

// The defaults of each statement: what a script gets without saying it.
const ControlKind kControls[] = {
    {"LTEXT", Args::TextFirst, DialogControlClass::Static, 0x0000u | kWsGroup},
    {"RTEXT", Args::TextFirst, DialogControlClass::Static, 0x0002u | kWsGroup},
    {"CTEXT", Args::TextFirst, DialogControlClass::Static, 0x0001u | kWsGroup},
    {"PUSHBUTTON", Args::TextFirst, DialogControlClass::Button, 0x0000u | kWsTabStop},
    {"DEFPUSHBUTTON", Args::TextFirst, DialogControlClass::Button, 0x0001u | kWsTabStop},
    {"CHECKBOX", Args::TextFirst, DialogControlClass::Button, 0x0002u | kWsTabStop},
    {"AUTOCHECKBOX", Args::TextFirst, DialogControlClass::Button, 0x0003u | kWsTabStop},
    {"RADIOBUTTON", Args::TextFirst, DialogControlClass::Button, 0x0004u | kWsTabStop},
    {"STATE3", Args::TextFirst, DialogControlClass::Button, 0x0005u | kWsTabStop},
    {"AUTO3STATE", Args::TextFirst, DialogControlClass::Button, 0x0006u | kWsTabStop},
    {"GROUPBOX", Args::TextFirst, DialogControlClass::Button, 0x0007u},
    {"AUTORADIOBUTTON", Args::TextFirst, DialogControlClass::Button, 0x0009u | kWsTabStop},
    {"EDITTEXT", Args::IdFirst, DialogControlClass::Edit, 0x0000u | kWsBorder | kWsTabStop},
    {"LISTBOX", Args::IdFirst, DialogControlClass::ListBox, 0x0001u | kWsBorder},
    {"COMBOBOX", Args::IdFirst, DialogControlClass::ComboBox, 0x0001u | kWsTabStop},
    {"SCROLLBAR", Args::IdFirst, DialogControlClass::ScrollBar, 0x0000u},
    {"ICON", Args::Icon, DialogControlClass::Static, 0x0003u},
    {"CONTROL", Args::Control, DialogControlClass::Static, 0},
};

ResourceNameOrId Ordinal(WORD value)
{
    ResourceNameOrId field;
    field.isOrdinal = true;
    field.ordinal = value;
    return field;
}

ResourceNameOrId ClassField(const std::string& name)
{
    static const std::pair<const char*, DialogControlClass> known[] = {
        {"BUTTON", DialogControlClass::Button},       {"EDIT", DialogControlClass::Edit},
        {"STATIC", DialogControlClass::Static},       {"LISTBOX", DialogControlClass::ListBox},
        {"SCROLLBAR", DialogControlClass::ScrollBar}, {"COMBOBOX", DialogControlClass::ComboBox}};
    for (const auto& [text, cls] : known)
        if (strcasecmp(text, name.c_str()) == 0)
            return Ordinal(static_cast<WORD>(cls));
    ResourceNameOrId field;
    field.text = name;
    return field;
}

short Coordinate(TokenCursor& in)
{
    const long value = static_cast<long>(ParseExpression(in));
    // Values wrap like the 16-bit fields they fill; only far-off ones are mistakes.
    if (value < -32768 || value > 65535)
        in.Fail("coordinate " + std::to_string(value) + " does not fit in 16 bits");
    return static_cast<short>(value);
}

} // namespace

void RcParser::Dialog(const ResourceName& name, bool extended, const Place& place)
{
    DialogTemplate dialog;
    dialog.extended = extended;
    SkipOptions();
    dialog.x = Coordinate(m_in);
    m_in.Expect(",", "after the dialog's x");
    dialog.y = Coordinate(m_in);
    m_in.Expect(",", "after the dialog's y");
    dialog.cx = Coordinate(m_in);
    m_in.Expect(",", "after the dialog's width");
    dialog.cy = Coordinate(m_in);
    if (extended && m_in.Accept(","))
        dialog.helpId = static_cast<DWORD>(Number());

    bool haveStyle = false, haveCaption = false, haveFont = false;
    DWORD style = 0;
    for (;;) {
        if (m_in.Accept("STYLE")) {
            style = Style(0);
            haveStyle = true;
        } else if (m_in.Accept("EXSTYLE")) {
            dialog.exStyle = Style(0);
        } else if (m_in.Accept("CAPTION")) {
            dialog.title = String("the caption");
            haveCaption = true;
        } else if (m_in.Accept("FONT")) {
            const unsigned long points = Number();
            if (points == 0 || points > 0xFFFF)
                m_in.Fail("font size " + std::to_string(points) + " is out of range");
            dialog.pointSize = static_cast<WORD>(points);
            m_in.Expect(",", "after the font size");
            dialog.typeface = String("the font name");
            if (m_in.Accept(",")) {
                if (!extended)
                    m_in.Fail("a font weight, italic flag and character set need DIALOGEX");
                dialog.weight = static_cast<WORD>(Number());
                if (m_in.Accept(",")) {
                    dialog.italic = static_cast<BYTE>(Number() != 0);
                    if (m_in.Accept(","))
                        dialog.charset = static_cast<BYTE>(Number());
                }
            }
            haveFont = true;
        } else if (m_in.Accept("MENU")) {
            const ResourceName menu = Name();
            if (menu.isId)
                dialog.menu = Ordinal(menu.id);
            else
                dialog.menu.text = menu.text;
        } else if (m_in.Accept("CLASS")) {
            // A class name keeps its case: classes are registered by name as written.
            if (m_in.Peek().kind == TokenKind::String)
                dialog.windowClass.text = String("the class");
            else if (m_in.Peek().kind == TokenKind::Identifier)
                dialog.windowClass.text = m_in.Next().text;
            else
                dialog.windowClass = Ordinal(static_cast<WORD>(Number()));
        } else if (m_in.IsWord("LANGUAGE") || m_in.IsWord("VERSION") || m_in.IsWord("CHARACTERISTICS")) {
            SkipOptions();
        } else {
            break;
        }
    }
    dialog.style = haveStyle ? style : (kWsPopup | kWsBorder | kWsSysMenu);
    if (haveCaption)
        dialog.style |= kWsCaption;
    if (haveFont)
        dialog.style |= kDsSetFont;
    else
        dialog.style &= ~kDsSetFont; // the font fields are present exactly when the bit says so

    Begin("the dialog's controls");
    while (!End()) {
        const ControlKind* kind = nullptr;
        for (const ControlKind& candidate : kControls)
            if (m_in.IsWord(candidate.keyword))
                kind = &candidate;
        if (!kind)
            m_in.Fail("expected a control statement (CONTROL, LTEXT, EDITTEXT, ...), found '" + m_in.Peek().text + "'");
        m_in.Next();
        if (dialog.items.size() == 0xFFFF)
            m_in.Fail("a dialog holds at most 65535 controls");

        DialogItemTemplate item;
        item.windowClass = Ordinal(static_cast<WORD>(kind->cls));
        DWORD itemStyle = kWsChild | kWsVisible | kind->style;
        if (kind->args != Args::IdFirst) {
            // The text: a string, or a resource (an icon) by id or name.
            if (m_in.Peek().kind == TokenKind::String) {
                item.title.text = String("the control's text");
            } else {
                ResourceName title = Name();
                if (title.isId)
                    item.title = Ordinal(title.id);
                else
                    item.title.text = title.text;
            }
            m_in.Accept(",");
        }
        const Place idPlace = Here();
        const unsigned long id = Number();
        if (!extended && id > 0xFFFF && static_cast<long>(id) != -1)
            Fail(idPlace, "control id " + std::to_string(id) + " does not fit in a DIALOG's 16 bits");
        item.id = static_cast<DWORD>(id);
        m_in.Expect(",", "after the control id");
        if (kind->args == Args::Control) {
            if (m_in.Peek().kind == TokenKind::String)
                item.windowClass = ClassField(String("the class"));
            else if (m_in.Peek().kind == TokenKind::Identifier)
                item.windowClass = ClassField(m_in.Next().text);
            else
                item.windowClass = Ordinal(static_cast<WORD>(Number()));
            m_in.Expect(",", "after the control's class");
            itemStyle = Style(kWsChild | kWsVisible);
            m_in.Expect(",", "after the control's style");
        }
        item.x = Coordinate(m_in);
        m_in.Expect(",", "after the control's x");
        item.y = Coordinate(m_in);
        bool optional = true;
        if (kind->args == Args::Icon) {
            // An icon takes its size from the image unless the script gives one.
            optional = m_in.Accept(",");
            if (optional) {
                item.cx = Coordinate(m_in);
                m_in.Expect(",", "after the control's width");
                item.cy = Coordinate(m_in);
            }
        } else {
            m_in.Expect(",", "after the control's y");
            item.cx = Coordinate(m_in);
            m_in.Expect(",", "after the control's width");
            item.cy = Coordinate(m_in);
        }
        auto exStyleAndHelp = [&] {
            item.exStyle = Style(0);
            if (m_in.Accept(",")) {
                if (!extended)
                    m_in.Fail("a control's help id needs DIALOGEX");
                item.helpId = static_cast<DWORD>(Number());
            }
        };
        if (optional && m_in.Accept(",")) {
            if (kind->args == Args::Control) {
                exStyleAndHelp();
            } else if (kind->cls == DialogControlClass::ComboBox) {
                // A combo box's kind is a field, not a flag: a kind the script names replaces the
                // default simple one instead of mixing with it.
                DWORD given = Style(itemStyle & ~kCbsTypeMask);
                itemStyle = (given & kCbsTypeMask) ? given : (given | (itemStyle & kCbsTypeMask));
                if (m_in.Accept(","))
                    exStyleAndHelp();
            } else {
                itemStyle = Style(itemStyle);
                if (m_in.Accept(","))
                    exStyleAndHelp();
            }
        }
        item.style = itemStyle;
        dialog.items.push_back(std::move(item));
    }
    Add(ResourceName::Id(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(RT_DIALOG))), name,
        WriteDialogTemplate(dialog), place);
}

} // namespace rc
