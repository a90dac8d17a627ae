#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace nelvo {

// The system's local code page is GBK; GB18030 is its lossless superset with identical bytes for GBK text.
QByteArray encodeLocal(const QString &text);
QString decodeLocal(const QByteArray &bytes);
// As decodeLocal, but nothing when the bytes are not valid GB18030.
std::optional<QString> decodeLocalStrict(const QByteArray &bytes);

} // namespace nelvo
