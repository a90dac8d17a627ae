#include "MessageComposer.h"

#include "CommonHelpers.h"
#include "MessageText.h"
#include "Prompts.h"
#include "RecipientListModel.h"
#include "TgParams.h"

#include <algorithm>

const QString kPreviewHiddenPartsHint = QStringLiteral("第九条以后的内容不再展示，请谅解！");

QString PreviewSummaryText(int parts)
{
    return QStringLiteral("短信内容被拆分为：") + QString::number(parts) +
           QStringLiteral("条，是否继续发送。");
}

namespace {

int validChannelLength(int channelLength)
{
    return channelLength <= 0 ? 70 : channelLength;
}

// Room kept in every part for its "(i/N)" marker, chosen from the first count only.
int markerReserve(int parts)
{
    if (parts <= 1)
        return 0;
    if (parts <= 9)
        return 5;
    if (parts <= 99)
        return 7;
    return 13;
}

int ceilDiv(int length, int per)
{
    return length / per + (length % per > 0 ? 1 : 0);
}

} // namespace

MessageComposer::MessageComposer(const std::array<int32_t, 4> &smsLengths, int channelLength)
    : m_smsLengths(smsLengths), m_channelLength(validChannelLength(channelLength))
{
    ResetLimit();
}

MessageComposer::MessageComposer(const TgParams &params)
    : MessageComposer(params.SmsLengths, params.ChannelLength)
{
}

void MessageComposer::setContent(const QString &text)
{
    m_content = WithCrLf(text);
}

void MessageComposer::setSignature(const QString &text)
{
    m_signature = WithCrLf(text);
    m_signLength = m_useSign ? MessageLength(m_signature) : 0;
}

void MessageComposer::setUseSign(bool use)
{
    m_useSign = use;
    m_signLength = m_useSign ? MessageLength(m_signature) : 0;
}

int MessageComposer::CarrierLimitOfClass(int carrierClass) const
{
    return m_smsLengths[static_cast<size_t>(std::clamp(carrierClass, 0, 3))];
}

int MessageComposer::CarrierLimit(const QString &number) const
{
    return CarrierLimitOfClass(CarrierClass(number));
}

void MessageComposer::ResetLimit()
{
    m_contentLimit = m_smsLengths[1];
}

void MessageComposer::LowerLimit(int carrierLimit)
{
    m_contentLimit = std::min(m_contentLimit, carrierLimit);
}

void MessageComposer::ReCalc(const RecipientListModel &list)
{
    int limit = m_channelLength;
    const std::array<bool, 4> present = list.CarrierClassesPresent();
    for (int carrier = 0; carrier < 4; ++carrier)
        if (present[static_cast<size_t>(carrier)])
            limit = std::min(limit, CarrierLimitOfClass(carrier));
    m_contentLimit = limit;
}

int MessageComposer::CountParts(const QString &content)
{
    const int length = MessageLength(content);
    const int per = m_contentLimit - m_signLength;
    if (per <= 0)
        return NoRoomForContent;
    const int parts = ceilDiv(length, per);
    if (!m_pageNumbers) {
        m_partLength = per;
        return parts;
    }
    // When the recount lands in the next bracket the markers outgrow their reserve and those parts
    // exceed the limit by the difference; the service takes them as long messages.
    const int partLength = per - markerReserve(parts);
    if (partLength <= 0)
        return NoRoomForContent;
    m_partLength = partLength;
    return ceilDiv(length, partLength);
}

QStringList MessageComposer::SplitContent()
{
    m_sendParts.clear();
    const int parts = CountParts(m_content);
    if (parts == NoRoomForContent)
        return m_sendParts;
    const QString signature = m_signLength != 0 ? m_signature : QString();
    if (parts == 1) {
        m_sendParts.append(m_content + signature);
        return m_sendParts;
    }
    for (int i = 0; i < parts; ++i) {
        const QString piece = i == parts - 1 ? m_content.mid(qsizetype(i) * m_partLength)
                                             : m_content.mid(qsizetype(i) * m_partLength, m_partLength);
        QString marker;
        if (m_pageNumbers)
            marker = QLatin1Char('(') + QString::number(i + 1) + QLatin1Char('/') + QString::number(parts) +
                     QLatin1Char(')');
        m_sendParts.append(piece + signature + marker);
    }
    return m_sendParts;
}

QString MessageComposer::ContentWithSign() const
{
    return m_useSign ? m_content + m_signature : m_content;
}

bool MessageComposer::FitsSingleMessage() const
{
    return MessageLength(TrimBlanksAndControls(ContentWithSign())) <= m_contentLimit;
}

QString MessageComposer::LengthDisplay()
{
    const int length = MessageLength(m_content);
    const QString current = QStringLiteral("当前短信长度：") + QString::number(length);
    if (!m_multi)
        return current + QStringLiteral("个字；您还可以输入：") +
               QString::number(m_contentLimit - m_signLength - length) +
               QStringLiteral("个字。包括签名在内，总长度为:") + QString::number(m_contentLimit) +
               QStringLiteral("个字");
    const int parts = CountParts(m_content);
    if (parts == NoRoomForContent)
        return current + QStringLiteral("个字，签名已占满每条短信的长度，无法拆分发送！");
    return current + QStringLiteral("个字，将分拆为") + QString::number(parts) + QStringLiteral("条发送！");
}

bool MessageComposer::AcceptsTypedCharacter(QChar c) const
{
    if (m_multi || c.unicode() == 8)
        return true;
    return MessageLength(m_content) < m_contentLimit - m_signLength;
}

bool MessageComposer::ChooseMode(bool multi)
{
    if (!multi && MessageLength(m_content) >= m_contentLimit - m_signLength) {
        ShowWarning(QStringLiteral("当前输入的短信内容长度已经超出一条短信，请您修改短信内容后再选择！"));
        multi = true;
    }
    m_multi = multi;
    return m_multi;
}
