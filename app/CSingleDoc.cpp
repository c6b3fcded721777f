// The single-page document.
#include "app/CSingleDoc.h"

IMPLEMENT_DYNCREATE(CSingleDoc, CDocument)
