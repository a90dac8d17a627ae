#pragma once

#include "CellStore.h"

#include <QString>

namespace nelvo {

// Whether a number format shows its number as a date, a time or both (CellKind::Number otherwise), for a
// built-in format id and, for custom ids, the format code.
CellKind dateKindOfFormat(int formatId, const QString &formatCode);

} // namespace nelvo
