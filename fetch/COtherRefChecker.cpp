#include "fetch/COtherRefChecker.h"

IMPLEMENT_DYNAMIC(COtherRefChecker, CRefChecker)
