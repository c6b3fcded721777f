// CGXStylesMap: the registry of a grid's base styles (the three system styles Standard,
// Row Header and Column Header, and any the user adds), of the control names offered for
// styles and of the user attributes that style pages can edit.
#pragma once

#include "grid/data/CGXStyle.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <map>
#include <memory>
#include <vector>

class CArchive;
class CDocument;
class CProfileStore;

class CGXStylesMap : public CObject {
    DECLARE_DYNCREATE(CGXStylesMap)
public:
    // Base styles are made of this class; the grid's style runtime class.
    explicit CGXStylesMap(CRuntimeClass* pStyleClass = nullptr);
    CGXStylesMap(const CGXStylesMap& other);
    CGXStylesMap& operator=(const CGXStylesMap& other);
    ~CGXStylesMap() override;

    // Registers Standard, Row Header and Column Header (the headers based on Standard) and
    // remembers their ids.
    void CreateStandardStyles();
    // Adds a base style under a new id, or replaces the style of an existing name; the id.
    WORD RegisterStyle(LPCTSTR lpszName, const CGXStyle& style, BOOL bSystem = FALSE);
    // FALSE for an unknown id or a system style, which cannot be removed.
    BOOL UnregisterStyle(WORD nID);
    BOOL LookupStyle(WORD nID, CGXStyle*& pStyle) const;
    const CGXStyle* LookupStyle(WORD nID) const;
    CGXStyle* LookupStyle(WORD nID);
    // The id of a named base style; 0 when none.
    WORD GetBaseStyleId(LPCTSTR lpszName) const;
    // The name of a base-style id; empty for an unknown id.
    CString GetStyleName(WORD nID) const;
    BOOL IsSystemStyle(WORD nID) const;

    WORD m_wStyleStandard = 0;
    WORD m_wStyleRowHeader = 0;
    WORD m_wStyleColHeader = 0;

    // Control names by control id: the string resource of that number unless a name is given.
    void AddControl(WORD nID, LPCTSTR lpszName = nullptr);
    CString GetControlName(WORD nID) const;
    // User attributes editable on style pages, with the style that edits them (none: text).
    void AddUserAttribute(WORD nID, const CGXStyle* pEditStyle = nullptr);
    BOOL IsUserAttributeRegistered(WORD nID) const;
    const CGXStyle* GetUserAttributeStyle(WORD nID) const;

    CGXStyle* CreateStyle() const;

    // While an archive carries styles between grids (the styles clipboard), its document
    // pointer names the grid's map for as long as the scope lives. Styles written through it
    // give their base style by name too; read through it, a base style is found again by that
    // name in the reading grid's map, and one the map lacks is left out rather than taken for
    // whatever style has the same number there.
    class CArchiveScope {
    public:
        CArchiveScope(CArchive& ar, const CGXStylesMap* pMap);
        ~CArchiveScope();
        CArchiveScope(const CArchiveScope&) = delete;
        CArchiveScope& operator=(const CArchiveScope&) = delete;

    private:
        CArchive& m_ar;
        CDocument* m_pOldDocument;
    };
    // The map an archive's document pointer names through a live scope, or nullptr.
    static const CGXStylesMap* FromArchive(const CArchive& ar);

    // The base styles in the user's profile, section by section under the given name: a count,
    // then each style's name and its stored form. Reading replaces a style of the same name or
    // registers it; an entry that does not read back as a style is skipped and the style
    // keeps its present attributes. FALSE when the section holds no styles.
    BOOL ReadProfile(const CProfileStore& profile, LPCTSTR pszSection);
    void WriteProfile(CProfileStore& profile, LPCTSTR pszSection) const;

private:
    struct BaseStyle {
        CString name;
        std::unique_ptr<CGXStyle> style;
        BOOL bSystem = FALSE;
    };
    CRuntimeClass* m_pStyleClass = nullptr;
    WORD m_nNextId = 1;
    std::map<WORD, BaseStyle> m_styles;
    std::map<WORD, CString> m_controls;
    std::map<WORD, std::unique_ptr<CGXStyle>> m_userAttributes;
};
