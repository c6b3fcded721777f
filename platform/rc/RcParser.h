// RcParser: the statements of a preprocessed resource script, one resource at a time. Dialogs
// and menus are read in RcDialogParser.cpp and RcMenuParser.cpp; the rest in RcParser.cpp.
#pragma once

#include "platform/rc/RcCompiler.h"
#include "platform/rc/RcExpression.h"

#include <map>

namespace rc {

class RcParser {
public:
    RcParser(const std::vector<Token>& tokens, const RcPreprocessor& files, std::vector<std::string>& dependencies);

    std::vector<CompiledResource> Parse();

private:
    struct Place {
        std::string file;
        int line;
    };

    void Statement();
    void StringTable();
    void Dialog(const ResourceName& name, bool extended, const Place& place);
    void Menu(const ResourceName& name, bool extended, const Place& place);
    void Accelerators(const ResourceName& name, const Place& place);
    void ToolBar(const ResourceName& name, const Place& place);
    void Image(const ResourceName& name, const ResourceName& type, const Place& place);
    void VersionInfo(const ResourceName& name, const Place& place);
    void RawData(const ResourceName& name, const ResourceName& type, const Place& place);

    ResourceName Name();
    // One or more adjacent strings, joined.
    std::string String(const std::string& what);
    unsigned long Number() { return ParseExpression(m_in); }
    // A "|" chain applied to `value`, with NOT (or a leading ~) clearing bits.
    DWORD Style(DWORD value);
    // Memory flags and LANGUAGE/VERSION/CHARACTERISTICS after a resource's type: skipped.
    void SkipOptions();
    void Begin(const std::string& what);
    bool End();
    // Reads a file the script names, relative to the script, then the include dirs.
    std::vector<BYTE> ReadDataFile(const std::string& name);
    void Add(const ResourceName& type, const ResourceName& name, std::vector<BYTE> data, const Place& place);
    Place Here() const;
    [[noreturn]] void Fail(const Place& place, const std::string& message) const;

    TokenCursor m_in;
    const RcPreprocessor& m_files;
    std::vector<std::string>& m_dependencies;
    std::vector<CompiledResource> m_resources;
    std::map<std::pair<ResourceName, ResourceName>, Place> m_seen;
    std::map<UINT, std::pair<std::string, Place>> m_strings;
};

} // namespace rc
