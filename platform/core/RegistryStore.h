// The in-memory registry tree behind the Reg* functions, and the user's registry file.
//
// The file is "$XDG_CONFIG_HOME/vostrel/registry.txt" (default "~/.config/vostrel/registry.txt"),
// mode 0600 when new. It is text, one item per line, lines ending in "\n":
//
//   VOSTREL-REGISTRY 1                       first line, the format and its version
//   # ...                                    comment; blank lines are ignored too
//   [HKEY_CURRENT_USER\Software\Wexmoor]     a key: its full path from the root
//   "Warn After Scan"=dword:00000001         a value of the key above: REG_DWORD, 8 hex digits
//   "Name"=sz:"text"                         REG_SZ
//   "Path"=expand_sz:"%HOME%/x"              REG_EXPAND_SZ
//   "List"=multi_sz:"one","two"              REG_MULTI_SZ (nothing after ":" for an empty list)
//   "Layout"=binary:0a0b0c                   REG_BINARY, two hex digits per byte
//   "Other"=hex(11):0100000000000000         any other type, by number, as raw bytes
//
// Values of the string types given by number (hex(1), hex(2), hex(7)) are read as the writer gives
// those types, so that they are written back in their own form. Keys nest at most kMaxKeyDepth
// levels below the root. Inside quotes and key paths, "%", '"', "[", "]", ",", "=" and the control bytes are written as
// "%" and two hex digits; every other byte stands for itself (names may be UTF-8). Keys are
// written depth first with their subkeys in case-insensitive order, so every key, even an empty
// one, survives a round trip. A file that does not follow this form is damaged: it is renamed with
// the suffix ".damaged", a warning goes to stderr and the store starts empty, so every caller sees
// its defaults. What went wrong is also kept for the program, which tells its user.
#pragma once

#include "platform/core/Types.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// Orders names by their ASCII-lower-cased bytes.
struct CRegNoCaseLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
bool RegNamesEqual(std::string_view a, std::string_view b);

struct CRegValue {
    std::string name;
    DWORD type = 0;
    std::string data; // the bytes a query returns: strings with their NULs, DWORDs as 4 bytes
};

struct CRegKeyNode {
    std::string name;
    CRegKeyNode* parent = nullptr; // valid while the node is not deleted
    std::map<std::string, std::shared_ptr<CRegKeyNode>, CRegNoCaseLess> subkeys;
    std::vector<CRegValue> values;
    bool deleted = false;
    bool isVolatile = false; // kept in memory only

    CRegValue* FindValue(std::string_view valueName);
    // Marks this key and everything below it deleted, so open handles to them fail.
    void MarkDeleted();
};

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

// What reading the user's file met, for the program to tell its user.
struct CRegistryLoadProblem {
    enum class Kind {
        None,        // the file was read, or there was none
        Unreadable,  // it could not be read: defaults, and changes stay in memory
        SetAside,    // damaged, and renamed to `aside`: defaults, a fresh file is written
        NotSetAside  // damaged, and the rename failed too: defaults, changes stay in memory
    };
    Kind kind = Kind::None;
    std::string path;       // the user's file
    std::string aside;      // SetAside: where the damaged file is kept
    std::string reason;     // what is wrong with the file, or why it could not be read
    std::string renameError; // NotSetAside: why it could not be set aside
};

class CRegistryStore {
public:
    // How many levels of keys a root holds at most; a file with a deeper key is damaged.
    static constexpr size_t kMaxKeyDepth = 512;

    static CRegistryStore& Instance();

    // Every access to the tree holds this lock.
    std::recursive_mutex& Mutex() { return m_mutex; }

    // The root key; the user's file is read at the first use of HKEY_CURRENT_USER.
    // The caller holds the lock.
    std::shared_ptr<CRegKeyNode> Root(RegRoot root);
    static bool IsWritable(RegRoot root) { return root == RegRoot::CurrentUser; }
    static const char* RootName(RegRoot root);

    // Records a change of the user's tree. The caller holds the lock.
    void MarkDirty() { m_dirty = true; }
    // Writes the user's tree when it changed since the last write. False when writing failed
    // (the change stays pending and a warning is printed). Takes the lock itself.
    bool Flush();

    // Writes the user's tree now, even inside a write batch (an explicit flush of a key).
    bool FlushNow();

    // Writes pending changes, then forgets the whole tree, so the next access reads the file
    // again (used when the configuration folder changes, as tests do). Handles opened before
    // then report ERROR_KEY_DELETED.
    void Reload();

    // The path of the user's registry file.
    static std::string FilePath();

    // Reads the user's file if that has not happened yet, and hands out, once, what went wrong
    // then; Kind::None when nothing did. Takes the lock itself.
    CRegistryLoadProblem TakeLoadProblem();

    static std::string Serialize(const CRegKeyNode& root);
    // Parses a file's text into an empty root; false with a reason when the text is damaged.
    static bool Parse(std::string_view text, CRegKeyNode& root, std::string& error);

    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;

private:
    CRegistryStore() = default;
    // Moves a damaged file aside under a name no earlier damaged copy holds; 0 or an errno.
    static int SetAside(const std::string& path, std::string& aside);
    ~CRegistryStore();
    void LoadUser();
    std::shared_ptr<CRegKeyNode> BuildClassesRoot();

    std::recursive_mutex m_mutex;
    std::shared_ptr<CRegKeyNode> m_user;
    std::shared_ptr<CRegKeyNode> m_machine;
    std::shared_ptr<CRegKeyNode> m_classes;
    friend class CRegistryWriteBatch;
    bool Write();

    bool m_dirty = false;
    int m_batches = 0;      // live write batches: flushes wait for the last to end
    bool m_persist = true; // off when the file exists but could not be read
    bool m_warnedWrite = false;
    CRegistryLoadProblem m_loadProblem; // not yet taken
};

// Holds the user's file back while it lives: a group of writes (a whole saved layout of bars,
// say) reaches the file once, when the last batch ends, instead of once per value. Batches nest
// and may live on several threads.
class CRegistryWriteBatch {
public:
    CRegistryWriteBatch();
    ~CRegistryWriteBatch();
    CRegistryWriteBatch(const CRegistryWriteBatch&) = delete;
    CRegistryWriteBatch& operator=(const CRegistryWriteBatch&) = delete;
};
