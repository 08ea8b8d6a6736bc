// The identifiers of the standard interfaces this layer implements or calls.
#include "platform/win32/ole32.h"

namespace {
// Every standard OLE interface id ends in C000-000000000046.
constexpr IID standard_interface(DWORD number) { return {number, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}; }
}  // namespace

const IID IID_IUnknown = standard_interface(0x00000000);
const IID IID_IEnumFORMATETC = standard_interface(0x00000103);
const IID IID_IDataObject = standard_interface(0x0000010E);
const IID IID_IDropSource = standard_interface(0x00000121);
const IID IID_IDropTarget = standard_interface(0x00000122);
