#include "LocalCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace nelvo {

QByteArray encodeLocal(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QString decodeLocal(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030");
    return decoder.decode(bytes);
}

std::optional<QString> decodeLocalStrict(const QByteArray &bytes)
{
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace nelvo
