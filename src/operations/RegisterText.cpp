#include "operations/RegisterText.h"

#include <algorithm>

namespace can {

namespace {

// The white space a register text may carry between its digits: the ASCII
// blanks and line breaks.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

QString withoutWhitespace(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            kept += c;
    }
    return kept;
}

bool isEightHexDigits(const QString& text)
{
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](QChar c) {
               const char16_t u = c.unicode();
               return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
           });
}

}  // namespace

QByteArray rateTextToBytes(const QString& text)
{
    QString digits = text;
    digits.remove(QStringLiteral("0x"));
    return QByteArray::fromHex(digits.toLatin1());
}

QString rateSelectionText(const QByteArray& bytes)
{
    return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex().toUpper());
}

QString customRateText(const QByteArray& bytes)
{
    return QStringLiteral("0x") + QString::fromLatin1(bytes.toHex());
}

QByteArray filterTextToBytes(const QString& text)
{
    return QByteArray::fromHex(withoutWhitespace(text).toLatin1());
}

QString filterCellText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

bool isFourByteRateText(const QString& text)
{
    QString digits = text;
    digits.remove(QStringLiteral("0x"));
    return isEightHexDigits(withoutWhitespace(digits));
}

bool isFourByteFilterText(const QString& text)
{
    return isEightHexDigits(withoutWhitespace(text));
}

UserMessage checkRateText(const QString& text, int channel, RateField field)
{
    if (isFourByteRateText(text))
        return {};
    const char* message = nullptr;
    switch (field) {
        case RateField::BitRate:
            message = QT_TRANSLATE_NOOP("CANParamWidget",
                                        "channel %1: the bit rate register must be 8 hexadecimal digits");
            break;
        case RateField::ArbitrationRate:
            message = QT_TRANSLATE_NOOP(
                "CANParamWidget", "channel %1: the arbitration rate register must be 8 hexadecimal digits");
            break;
        case RateField::DataRate:
            message = QT_TRANSLATE_NOOP("CANParamWidget",
                                        "channel %1: the data rate register must be 8 hexadecimal digits");
            break;
    }
    return {"CANParamWidget", message, {QString::number(channel)}};
}

}  // namespace can
