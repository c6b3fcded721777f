// The feature library's start-up: fills the control factory's slots with the features built
// here, so that every grid made from then on gets them. Call once after the grid library has
// started (or before: the slots are read as each grid is made).
#pragma once

void GXInstallGridFeatures();
