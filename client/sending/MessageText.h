#pragma once

#include <QString>

// Lengths of message text are UTF-16 code units with a line break counting 2, because the gateway and the
// phone see CR LF. The editors of this toolkit hand over bare LF, so every text is brought to CR LF before
// it is measured, cut or sent.
QString WithCrLf(const QString &text);

// Length of a text in the unit above (the user sees it as "个字").
int MessageLength(const QString &text);
