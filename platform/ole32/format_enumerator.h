// An IEnumFORMATETC over a fixed list of formats, as data objects hand out.
#pragma once

#include <vector>

#include "platform/win32/ole32.h"

// Reference count 1; null when memory runs out.
IEnumFORMATETC* format_enumerator_create(const std::vector<FORMATETC>& formats);
