#include "operations/RegisterText.h"

#include <QRegularExpression>

namespace can {

namespace {

QString withoutWhitespace(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}

bool isEightHexDigits(const QString& text)
{
    static const QRegularExpression eightDigits(QStringLiteral("^[0-9A-Fa-f]{8}$"));
    return eightDigits.match(text).hasMatch();
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
