#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

struct TgParams;
class RecipientListModel;

// The length rules of one compose window: which one-message limit applies to its recipient list, how
// much of it the signature takes, and how a longer text becomes numbered parts. The window hands over
// what its controls hold (text, signature, modes) and shows what comes back; it decides nothing itself.
class MessageComposer
{
public:
    // Parts could not be counted: the signature (with the room for page markers) takes the whole limit.
    static constexpr int NoRoomForContent = -1;

    MessageComposer(const std::array<int32_t, 4> &smsLengths, int channelLength);
    // The carrier lengths and channel length of the run.
    explicit MessageComposer(const TgParams &params);

    // --- what the window's controls hold -------------------------------------------------------------
    // The message text; bare line feeds become CR LF (a line break is two characters on the wire).
    void setContent(const QString &text);
    const QString &Content() const { return m_content; }
    // The signature text and whether it is used ("使用签名"); SignLength follows both.
    void setSignature(const QString &text);
    const QString &Signature() const { return m_signature; }
    void setUseSign(bool use);
    bool UseSign() const { return m_useSign; }
    // Send mode: false "限制内容长度为一条短信", true "不限制内容长度，发送时自动拆分".
    void setMultiMode(bool multi) { m_multi = multi; }
    bool MultiMode() const { return m_multi; }
    // "多条自动添加页码".
    void setPageNumbers(bool on) { m_pageNumbers = on; }
    bool PageNumbers() const { return m_pageNumbers; }

    // --- limits ------------------------------------------------------------------------------------------
    int ContentLimit() const { return m_contentLimit; }
    int SignLength() const { return m_signLength; }
    int PartLength() const { return m_partLength; }
    // The one-message limit of a number's carrier.
    int CarrierLimit(const QString &number) const;
    int CarrierLimitOfClass(int carrierClass) const;
    // The limit of an empty list and the start of every recalculation.
    int ChannelLength() const { return m_channelLength; }
    // A new window and a cleared list start from the Mobile carrier's length.
    void ResetLimit();
    // A number joined the list: the limit goes down to its carrier's, never up.
    void LowerLimit(int carrierLimit);
    // The recalculation before every send: the smallest carrier limit of the whole list.
    void ReCalc(const RecipientListModel &list);

    // --- counting and splitting ---------------------------------------------------------------------------
    // Parts that `content` (signature not included) makes; sets PartLength. NoRoomForContent when the
    // signature, or the signature with the page-marker reserve, leaves no character per part.
    int CountParts(const QString &content);
    // The complete texts of a send, one per part: cut at fixed positions, signature after each piece,
    // then the "(i/N)" marker when page numbers are on. A single part never gets a marker. Empty when
    // there is no room for content.
    QStringList SplitContent();
    const QStringList &SendParts() const { return m_sendParts; }
    // In single mode the one text sent: the message followed by the signature when it is used.
    QString ContentWithSign() const;
    // The one-message check before a single-mode send: trimmed text with signature within the limit.
    bool FitsSingleMessage() const;
    // The signature takes the whole limit: counting is meaningless and a send must be refused.
    bool SignatureLeavesNoRoom() const { return m_contentLimit - m_signLength <= 0; }

    // --- what the window shows and refuses ----------------------------------------------------------------
    // The text of the length label for the current mode.
    QString LengthDisplay();
    // Whether a typed character goes into the message box (single mode stops at the limit; backspace
    // always works). Pasting is not limited; the send check catches it.
    bool AcceptsTypedCharacter(QChar c) const;
    // The mode switch: asking for single mode with a text already at or over one message shows the
    // warning and keeps multi mode. Returns the mode in effect (true = multi).
    bool ChooseMode(bool multi);

private:
    std::array<int32_t, 4> m_smsLengths;
    int m_channelLength;
    QString m_content;
    QString m_signature;
    bool m_useSign = false;
    bool m_multi = false;
    bool m_pageNumbers = false;
    int m_contentLimit = 0;
    int m_signLength = 0;
    int m_partLength = 0;
    QStringList m_sendParts;
};

// Texts of the split preview.
QString PreviewSummaryText(int parts);
extern const QString kPreviewHiddenPartsHint;
