// RcCompiler: compiles a resource script into the resources of ResourceFormats.h and writes
// them as a C++ source of tables that registers itself with the run-time resource table.
//
// The script language is the familiar one, for the statements the program uses:
//   #define/#include/#if… of id headers; STRINGTABLE; DIALOG and DIALOGEX with CONTROL, LTEXT,
//   RTEXT, CTEXT, EDITTEXT, PUSHBUTTON, DEFPUSHBUTTON, CHECKBOX, AUTOCHECKBOX, STATE3,
//   AUTO3STATE, RADIOBUTTON, AUTORADIOBUTTON, GROUPBOX, LISTBOX, COMBOBOX, SCROLLBAR and ICON,
//   and the STYLE, EXSTYLE, CAPTION, FONT, MENU and CLASS statements; DLGINIT; MENU and MENUEX;
//   ACCELERATORS; TOOLBAR; BITMAP, ICON and CURSOR from PNG files; VERSIONINFO; RCDATA and
//   user-defined types, from a file or from BEGIN … END data.
// Style expressions chain names and numbers with "|"; "NOT x" (or "~x" at the top of a chain)
// takes x's bits out of what the chain has so far, including a statement's default style.
// The window, dialog and control style names, the virtual keys and the dialog button ids are
// built in, so a script includes only its own id headers.
// A cursor's hot spot follows its file: `IDC_DRAG CURSOR "drag.png" 3, 4` (default 0, 0).
// Text is UTF-8 and stays so.
// Any error stops the compile with "file:line: error: message"; two resources of the same type
// and name, or two strings with one id, are errors.
#pragma once

#include "platform/core/Types.h"
#include "platform/rc/RcPreprocessor.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace rc {

// A resource type or name: a 16-bit id, or an upper-case string.
struct ResourceName {
    bool isId = true;
    WORD id = 0;
    std::string text;

    static ResourceName Id(WORD id) { return ResourceName{true, id, {}}; }
    static ResourceName Text(std::string text);
    bool operator==(const ResourceName&) const = default;
    bool operator<(const ResourceName& other) const;
    // "100", "\"NAME\"" or a type's keyword ("DIALOG"), for messages.
    std::string Describe(bool asType) const;
};

struct CompiledResource {
    ResourceName type;
    ResourceName name;
    std::vector<BYTE> data;
    std::string file;
    int line = 0;
};

struct CompileOptions {
    std::vector<std::filesystem::path> includeDirs;
    std::vector<std::pair<std::string, std::string>> defines;
};

struct CompileResult {
    std::vector<CompiledResource> resources;
    // The script, everything it included and every file it read (images, data), for the build.
    std::vector<std::string> dependencies;
};

// Throws RcError.
CompileResult CompileResourceScript(const std::filesystem::path& script, const CompileOptions& options);

// The C++ source of a module's tables. moduleName is "program" for the program's own resources
// or the library folder's name; it must be a C identifier. The source defines the symbol
// ResourceAnchorSymbol(moduleName), which the build names to the linker so that the object, and
// with it the registration, is kept in every executable.
std::string GenerateResourceSource(const CompileResult& result, const std::string& moduleName);
std::string ResourceAnchorSymbol(const std::string& moduleName);

// The value of a built-in name (WS_CHILD, VK_F1, IDOK, …), for tests; false when unknown.
bool LookupBuiltinSymbol(const std::string& name, std::string& value);

} // namespace rc
