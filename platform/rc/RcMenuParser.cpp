// The MENU and MENUEX statements.
#include "platform/rc/RcParser.h"

#include "platform/core/ResourceFormats.h"

#include <functional>

namespace rc {

namespace {

const DWORD kMftSeparator = 0x800;
const int kMaxMenuDepth = 32;

struct MenuOption {
    const char* keyword;
    WORD flag;
};

// The classic items' options and their MF_ bits.
const MenuOption kMenuOptions[] = {
    {"GRAYED", 0x0001}, {"INACTIVE", 0x0002}, {"CHECKED", 0x0008},
    {"MENUBARBREAK", 0x0020}, {"MENUBREAK", 0x0040}, {"HELP", 0x4000},
};

} // namespace

void RcParser::Menu(const ResourceName& name, bool extended, const Place& place)
{
    MenuTemplate menu;
    menu.extended = extended;
    SkipOptions();
    if (extended && StartsExpression(m_in))
        menu.helpId = static_cast<DWORD>(Number());

    auto options = [&](MenuTemplateItem& item) {
        while (m_in.Accept(",") || m_in.Peek().kind == TokenKind::Identifier) {
            bool known = false;
            for (const MenuOption& option : kMenuOptions)
                if (m_in.Accept(option.keyword)) {
                    item.option |= option.flag;
                    known = true;
                    break;
                }
            if (!known) {
                // An identifier that is no option starts the next statement (MENUITEM, POPUP, END).
                if (m_in.At(m_in.Position() - 1).text == ",")
                    m_in.Fail("expected a menu option (CHECKED, GRAYED, INACTIVE, MENUBARBREAK, MENUBREAK, HELP), found '"
                              + m_in.Peek().text + "'");
                return;
            }
        }
    };
    // The extended items' optional id, type, state and (pop-ups) help id.
    auto extendedFields = [&](MenuTemplateItem& item, bool popup) {
        DWORD* fields[] = {&item.id, &item.type, &item.state, &item.helpId};
        const int count = popup ? 4 : 3;
        for (int i = 0; i < count && m_in.Accept(","); ++i)
            *fields[i] = i == 0 ? static_cast<DWORD>(Number()) : Style(0);
    };

    std::function<void(std::vector<MenuTemplateItem>&, int, const Place&)> items =
        [&](std::vector<MenuTemplateItem>& out, int depth, const Place& owner) {
            if (depth > kMaxMenuDepth)
                Fail(owner, "menus nested too deeply");
            Begin("the menu's items");
            while (!End()) {
                const Place at = Here();
                MenuTemplateItem item;
                if (m_in.Accept("MENUITEM")) {
                    if (m_in.Accept("SEPARATOR")) {
                        if (extended)
                            item.type = kMftSeparator;
                    } else {
                        item.text = String("the menu item's text");
                        if (extended) {
                            extendedFields(item, false);
                        } else {
                            m_in.Expect(",", "after the menu item's text");
                            const unsigned long id = Number();
                            if (id > 0xFFFF)
                                Fail(at, "menu item id " + std::to_string(id) + " does not fit in a MENU's 16 bits");
                            item.id = static_cast<DWORD>(id);
                            options(item);
                        }
                    }
                } else if (m_in.Accept("POPUP")) {
                    item.popup = true;
                    item.text = String("the pop-up's text");
                    if (extended)
                        extendedFields(item, true);
                    else
                        options(item);
                    items(item.children, depth + 1, at);
                    if (item.children.empty())
                        Fail(at, "the pop-up \"" + item.text + "\" has no items");
                } else {
                    m_in.Fail("expected MENUITEM or POPUP, found '" + m_in.Peek().text + "'");
                }
                out.push_back(std::move(item));
            }
        };
    items(menu.items, 0, place);
    if (menu.items.empty())
        Fail(place, "the menu " + name.Describe(false) + " has no items");
    Add(ResourceName::Id(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(RT_MENU))), name, WriteMenuTemplate(menu), place);
}

} // namespace rc
