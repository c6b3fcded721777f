// CGXGridProfileImp: the library-wide feature that gives a new grid the display properties and
// base styles the user stored in the application's profile. Without it grids start from the
// library's defaults.
#pragma once

#include "platform/core/CObject.h"

class CGXProperties;
class CGXStylesMap;
class CProfileStore;

class CGXGridProfileImp : public CObject {
    DECLARE_DYNAMIC(CGXGridProfileImp)
public:
    // The profile sections the grid's properties and base styles live in.
    static constexpr const char* kPropertiesSection = "Grid Properties";
    static constexpr const char* kStylesSection = "Grid Base Styles";

    // Makes the library's one feature object unless there is one.
    static void Install();

    // Overlays what the profile holds; values it lacks keep what the object has.
    virtual void ReadProperties(CGXProperties& properties);
    virtual void ReadBaseStyles(CGXStylesMap& stylesMap);

protected:
    // The application's profile: its name and registry key.
    virtual void OpenProfile(CProfileStore& profile);
};
