// The single-page document.
#include "app/views/CSingleDoc.h"

IMPLEMENT_DYNCREATE(CSingleDoc, CDocument)
