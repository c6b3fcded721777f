// Every dialog template the program carries, of its own and of the libraries under it: each
// button and each label that names a field underlines a letter of its own in its dialog, so
// that Alt with it reaches the control. A property page shares its sheet's OK, Cancel and Help.
#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace {

using C = DialogControlClass;

// The letter a text underlines (the last single '&'), lower-cased; 0 when none.
char Underlined(const std::string& text)
{
    char letter = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return letter;
}

bool IsClass(const DialogItemTemplate& item, C kind, const char* pszName)
{
    if (item.windowClass.isOrdinal)
        return item.windowClass.ordinal == static_cast<WORD>(kind);
    std::string name = item.windowClass.text;
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == pszName;
}

// A control the keys can go to that is neither a button nor a label: an edit, a list, a grid.
bool IsField(const DialogItemTemplate& item)
{
    if (IsClass(item, C::Button, "BUTTON") || IsClass(item, C::Static, "STATIC"))
        return false;
    return (item.style & WS_TABSTOP) || IsClass(item, C::Edit, "EDIT") || IsClass(item, C::ListBox, "LISTBOX") ||
           IsClass(item, C::ComboBox, "COMBOBOX");
}

// Whether the item must underline a letter: a button that is not a group's frame, or a label
// whose text prefixes letters and whose next control is a field.
bool NeedsLetter(const DialogTemplate& dialog, size_t i)
{
    const DialogItemTemplate& item = dialog.items[i];
    if (IsClass(item, C::Button, "BUTTON"))
        return (item.style & BS_TYPEMASK) != BS_GROUPBOX;
    if (!IsClass(item, C::Static, "STATIC") || item.title.isOrdinal || item.title.text.empty() || (item.style & SS_NOPREFIX))
        return false;
    const DWORD type = item.style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
        return false;
    return i + 1 < dialog.items.size() && IsField(dialog.items[i + 1]);
}

} // namespace

TEST(DialogLettersTest, EveryButtonAndLabelOfEveryDialogUnderlinesALetterOfItsOwn)
{
    // The program's own resources (a null module), then every library module with a script.
    const char* const modules[] = {nullptr,  "apppanes",     "appdialogs",       "appgroup",       "appsettings",
                                   "afx",    "afxdlg",       "system",           "editor",         "toolkit_controls",
                                   "grid",   "toolkitdocking", "toolkittoolbars", "toolkitcustomize", "toolkitdatetime",
                                   "toolkitmenus", "toolkitsyscmd"};
    std::string faults;
    int nDialogs = 0;
    for (const char* pszModule : modules) {
        HMODULE hModule = pszModule != nullptr ? FindResourceModule(pszModule) : nullptr;
        if (pszModule != nullptr && hModule == nullptr)
            continue;
        for (UINT nId = 1; nId <= 0xFFFF; ++nId) {
            HRSRC found = FindResource(hModule, MAKEINTRESOURCE(nId), RT_DIALOG);
            if (found == nullptr)
                continue;
            DialogTemplate dialog;
            ASSERT_TRUE(ReadDialogTemplate(LockResource(LoadResource(hModule, found)), SizeofResource(hModule, found), dialog));
            ++nDialogs;
            const std::string where = std::string(pszModule != nullptr ? pszModule : "program") + " dialog " +
                                      std::to_string(nId) + " \"" + dialog.title + "\": ";
            // A page stands in a sheet whose OK, Cancel and Help take those letters.
            std::map<char, std::string> taken;
            if (dialog.style & WS_CHILD)
                taken = {{'o', "the sheet's OK"}, {'c', "the sheet's Cancel"}, {'h', "the sheet's Help"}};
            for (size_t i = 0; i < dialog.items.size(); ++i) {
                const DialogItemTemplate& item = dialog.items[i];
                const std::string text = item.title.isOrdinal ? std::string() : item.title.text;
                if (!(item.style & WS_VISIBLE))
                    continue;
                const char letter = Underlined(text);
                if (letter == 0) {
                    if (NeedsLetter(dialog, i))
                        faults += where + "\"" + text + "\" underlines no letter\n";
                    continue;
                }
                if (const auto [at, added] = taken.emplace(letter, "\"" + text + "\""); !added)
                    faults += where + "\"" + text + "\" underlines the letter of " + at->second + "\n";
            }
        }
    }
    EXPECT_GE(nDialogs, 25);
    EXPECT_TRUE(faults.empty()) << faults;
}
