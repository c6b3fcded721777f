// Reading an object that its reader will own: the stored form of CArchive::WriteObject, but
// only a new object is accepted, never a reference to one read before.
#pragma once

#include "platform/core/CObject.h"

class CArchive;

// Reads a null object (null result) or a new object of pClass or a class derived from it. A
// reference to an object read earlier raises CArchiveException (badIndex): that object has an
// owner already, and a second one would delete it twice. A failed read deletes the half-read
// object.
CObject* GXReadOwnedObject(CArchive& ar, const CRuntimeClass* pClass);
