// One entry of the META tag catalogue: the tag's name, NAME= or HTTP-EQUIV= form, description,
// value kind and grid column, with the editing behaviour each value kind overrides.
#pragma once

#include "engine/meta/IMetaSettingUi.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <memory>

class CArchive;
class CSelNodesCol;
class CMetaContent;
class CStringList;
class CStringListWrapper;

// Type ids as the settings file stores them. 2, 3, 4 and 6 name no type.
enum : UINT {
    kMetaTypeEdit = 0,
    kMetaTypeSList = 1,
    kMetaTypeClassification = 5,
    kMetaTypeUndefined = 7,
    kMetaTypeKeywords = 8,
    kMetaTypeRefresh = 9,
    kMetaTypePragma = 10,
    kMetaTypeComboMultiSel = 11,
    kMetaTypeComboSingleSel = 12,
    kMetaTypeDate = 13,
    kMetaTypeRichEdit = 14,
    kMetaTypeMax = 14,
};

// The attributes cell text of the types that have no attributes.
inline constexpr LPCTSTR kNotApplicableText = "not applicable";
// Message 62527 of the string table, shown when a list type without options is asked for a value.
inline constexpr UINT kIdsNoMetaOptions = 62527;
inline constexpr LPCTSTR kNoMetaOptionsText =
    "There are no options associated with this metatag type. To add options, go to the 'Metatag "
    "Settings' dialog under the 'Options' menu.";

class CMetaSetting : public CObject {
    DECLARE_SERIAL(CMetaSetting)
public:
    CMetaSetting() = default;
    ~CMetaSetting() override = default;
    CMetaSetting(const CMetaSetting&) = delete;
    CMetaSetting& operator=(const CMetaSetting&) = delete;

    // The base part of the settings file: name, type id, description, Show, HTTP-EQUIV, fixed
    // syntax, name fixed. Types with data of their own store it after this.
    void Serialize(CArchive& ar) override;

    // True when Show, HTTP-EQUIV, fixed syntax, grid column and type id are equal and name and
    // description equal byte for byte. Option lists and trees are not compared.
    virtual BOOL IsEqual(const CMetaSetting* pOther) const;
    // The group action of the type over the selected pages; 1 when the type has none.
    virtual UINT DoGroupAction(IGroupView* pView, const CGXRangeList* pRanges, ROWCOL nCol, CSelNodesCol* pPages);
    // 2 when the type offers a group action, 3 when not.
    virtual UINT GetGroupActionState();
    // Puts a found or typed text into a page-grid cell style in the form the type's cell
    // shows; 1 when the type leaves that to the caller.
    virtual UINT TextToCellValue(IGroupView* pView, IMetaCellStyle& style, ROWCOL nRow, ROWCOL nCol,
                                 const CString& strText);
    // Opens the type's value dialog for a cell; 1 when the type has none.
    virtual UINT EditValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, DWORD dwContext, CMetaContent* pContent);
    // Composes the tag text for a content text; empty text composes nothing. 0.
    virtual UINT FormatTag(const CString& strContent, CString& strTag);
    // The CONTENT value that the tag of a content text carries: the text as it stands, or
    // empty when the text makes no tag. A type whose cell holds a stand-in gives the value it
    // stands for. 0.
    virtual UINT FormatValue(const CString& strContent, CString& strValue) const;
    // Gives rows 1 to nLastRow of the setting's column the type's cell kind; 1 when the cells
    // are left as they are.
    virtual UINT SetupValueCell(IGridViewWrapper* pView, ROWCOL nLastRow);
    // Takes the attributes cell of the catalogue editor's row back; 1 when there is nothing.
    virtual UINT ReadAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow);
    // Opens the type's option dialog from the catalogue editor; 1 when the type has none.
    virtual UINT EditOptions(IGridWndWrapper* pGrid, ROWCOL nRow);
    // Lays out the attributes cell of the catalogue editor's row; the base shows a static
    // "not applicable". 0.
    virtual UINT SetupAttributesCell(IGridWndWrapper* pGrid, ROWCOL nRow);
    // 0 with the type's name as the catalogue editor shows it; the base has none (1).
    virtual UINT GetTypeName(CString& strTypeName) const;
    virtual UINT GetNameFixed(UINT& bNameFixed) const;
    // A new default object of the same type; the base makes none.
    virtual std::unique_ptr<CMetaSetting> Clone() const;
    // Copies the base fields; types with data of their own copy it too.
    virtual void CopyFrom(const CMetaSetting* pSource);

    UINT SetName(const CString& strName) { m_strName = strName; return 0; }
    UINT GetName(CString& strName) const { strName = m_strName; return 0; }
    UINT SetDescription(const CString& strDescription) { m_strDescription = strDescription; return 0; }
    UINT GetDescription(CString& strDescription) const { strDescription = m_strDescription; return 0; }
    UINT SetShow(UINT bShow) { m_bShow = bShow; return 0; }
    UINT GetShow(UINT& bShow) const { bShow = m_bShow; return 0; }
    UINT SetHttpEquiv(UINT bHttpEquiv) { m_bHttpEquiv = bHttpEquiv; return 0; }
    UINT GetHttpEquiv(UINT& bHttpEquiv) const { bHttpEquiv = m_bHttpEquiv; return 0; }
    UINT SetFixed(UINT bFixed) { m_bFixedSyntax = bFixed; return 0; }
    UINT GetFixed(UINT& bFixed) const { bFixed = m_bFixedSyntax; return 0; }
    UINT SetNameFixed(UINT bNameFixed) { m_bNameFixed = bNameFixed; return 0; }
    UINT SetType(UINT nType) { m_nType = nType; return 0; }
    UINT GetType(UINT& nType) const { nType = m_nType; return 0; }
    UINT SetColumn(ROWCOL nColumn) { m_nColumn = nColumn; return 0; }
    UINT GetColumn(ROWCOL& nColumn) const { nColumn = m_nColumn; return 0; }

    // Whether a META tag can carry the name as its NAME or HTTP-EQUIV value so that the page
    // read back gives the same name: any name a page can carry, quotation marks, angle
    // brackets and ampersands included (the tag writes them escaped), but not an empty name or
    // one with a blank, tab or line break at either end, which a page read back would lose.
    static BOOL IsTagName(const CString& strName);

    // Convenience reads for engine code.
    const CString& Name() const { return m_strName; }
    UINT Type() const { return m_nType; }
    UINT IsShown() const { return m_bShow; }

protected:
    // Composes one of the four tag forms, picked by the HTTP-EQUIV flag and the project's
    // upper-case flag, with the name and the content as they stand.
    void ComposeTag(const CString& strContent, CString& strTag) const;
    // Takes the value a value dialog of the type gave back after OK for the cell's page: the
    // page's content and the cell get it, and the page counts as edited. A value that holds the
    // same items in the same order as the one the dialog opened with (strOld), cut at the
    // separator (the project's list separator when none is given), changes nothing and marks
    // nothing: the page keeps its own spelling of the list. 0.
    static UINT TakeDialogValue(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, CMetaContent& content,
                                const CString& strOld, const CString& strValue, LPCTSTR lpszSeparator = nullptr);
    // The same for a value that is no list (a date, a refresh, a classification): only the
    // same text byte for byte changes nothing, since a blank after a comma may be part of it.
    static UINT TakeDialogText(IGroupView* pView, ROWCOL nRow, ROWCOL nCol, CMetaContent& content,
                               const CString& strOld, const CString& strValue);
    // Makes the attributes cell of the catalogue editor's row a push button "%d options".
    static UINT SetupOptionsButton(IGridWndWrapper* pGrid, ROWCOL nRow, INT_PTR nOptions);
    // The value button of a list type: with options the list cell edits in place and the
    // button never comes; without any it explains how to add some. 0.
    static UINT ExplainMissingOptions(const CStringList& options);
    // The option list dialog of a list type on a copy of its options: after OK the options
    // are replaced and the attributes cell is laid out again (0); Cancel changes nothing (1).
    UINT EditOptionList(CStringListWrapper& options, IGridWndWrapper* pGrid, ROWCOL nRow);

    ROWCOL m_nColumn = 0;
    CString m_strDescription;
    UINT m_bFixedSyntax = 0;
    UINT m_bHttpEquiv = 0;
    UINT m_nType = 0;
    UINT m_bNameFixed = 0;
    UINT m_bShow = 0;
    CString m_strName;
};
