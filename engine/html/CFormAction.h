// The actions of forms and their fields: FORM opens a form context in the parser, and each
// field adds its tag name and identifying attribute to the form's checksum.
#pragma once

#include "engine/html/CAction.h"

// FORM: names the form by ID or NAME and adds its encoding type, action, method and character
// set to the checksum.
class CFormAction : public CAction {
    DECLARE_DYNCREATE(CFormAction)
public:
    BOOL OnTagComplete() override;
};

// INPUT: a form field by its TYPE, and an image button's SRC link.
class CInputAction : public CAction {
    DECLARE_DYNCREATE(CInputAction)
public:
    BOOL OnTagComplete() override;
};

// BUTTON (TYPE), TEXTAREA (NAME), SELECT (NAME) and OPTION (VALUE): form fields without links.
class CButtonAction : public CAction {
    DECLARE_DYNCREATE(CButtonAction)
public:
    BOOL OnTagComplete() override;
};

class CTextAreaAction : public CAction {
    DECLARE_DYNCREATE(CTextAreaAction)
public:
    BOOL OnTagComplete() override;
};

class CSelectAction : public CAction {
    DECLARE_DYNCREATE(CSelectAction)
public:
    BOOL OnTagComplete() override;
};

class COptionAction : public CAction {
    DECLARE_DYNCREATE(COptionAction)
public:
    BOOL OnTagComplete() override;
};
