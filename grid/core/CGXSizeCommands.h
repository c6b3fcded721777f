// The undo commands of row height and column width changes. They replay on the engine that
// runs the undo (reached through the command target), so a grid that recorded a change may
// close while another view of the document undoes it.
#pragma once

#include "grid/data/CGXCommand.h"

#include <vector>

class CGXGridCore;

// A command target that is a grid engine: what the size commands replay on.
class IGXEngineCommandTarget {
public:
    virtual ~IGXEngineCommandTarget() = default;
    virtual CGXGridCore& GetEngine() = 0;
};

class CGXSetRowHeightCmd : public CGXCommand {
public:
    CGXSetRowHeightCmd(ROWCOL nFrom, ROWCOL nTo, std::vector<int> oldHeights);
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    ROWCOL m_nFrom, m_nTo;
    std::vector<int> m_oldHeights;
};

class CGXSetColWidthCmd : public CGXCommand {
public:
    CGXSetColWidthCmd(ROWCOL nFrom, ROWCOL nTo, std::vector<int> oldWidths);
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    ROWCOL m_nFrom, m_nTo;
    std::vector<int> m_oldWidths;
};

class CGXSetDefaultRowHeightCmd : public CGXCommand {
public:
    explicit CGXSetDefaultRowHeightCmd(int nOld) : m_nOld(nOld) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    int m_nOld;
};

class CGXSetDefaultColWidthCmd : public CGXCommand {
public:
    explicit CGXSetDefaultColWidthCmd(int nOld) : m_nOld(nOld) {}
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    int m_nOld;
};

// Hiding or showing rows (columns): the states before the change, one per row (column), so that
// undo restores a mixed block exactly.
class CGXHideRowsCmd : public CGXCommand {
public:
    CGXHideRowsCmd(ROWCOL nFrom, ROWCOL nTo, CDWordArray& oldStates);
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    ROWCOL m_nFrom, m_nTo;
    CDWordArray m_oldStates;
};

class CGXHideColsCmd : public CGXCommand {
public:
    CGXHideColsCmd(ROWCOL nFrom, ROWCOL nTo, CDWordArray& oldStates);
    BOOL Execute(IGXCommandTarget& target, int nMode) override;

private:
    ROWCOL m_nFrom, m_nTo;
    CDWordArray m_oldStates;
};
