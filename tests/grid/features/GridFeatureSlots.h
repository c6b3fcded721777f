// The feature slots are the program's: a test that installs the feature library gives them back
// as it found them, since the tests of the engine alone expect the slots the engine left.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/features/GXGridFeatures.h"

class GridFeatureSlots {
public:
    void SaveAndInstall()
    {
        for (int i = 0; i < kCount; ++i)
            m_saved[i] = GXGetGridFeatureInstaller(static_cast<GXGridFeature>(i));
        GXInstallGridFeatures();
    }
    void Restore()
    {
        for (int i = 0; i < kCount; ++i)
            GXSetGridFeatureInstaller(static_cast<GXGridFeature>(i), m_saved[i]);
    }

private:
    static constexpr int kCount = static_cast<int>(GXGridFeature::Count);
    GXGridFeatureInstaller m_saved[kCount] = {};
};
