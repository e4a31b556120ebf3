#include "operations/FibreCodec.h"

#include "device/Request.h"

namespace fibre {

int family1RateCount(int nCAN, int nFiberOptic)
{
    return nCAN == 2 && nFiberOptic == 1 ? kFamily1RateCount : kFamily1RateCount - 1;
}

int family1IndexForCode(std::uint8_t code, int entryCount)
{
    const int index = int(code) - 1;
    return index >= 0 && index < entryCount ? index : -1;
}

QByteArray family1FibreRequest(const QByteArray& codes)
{
    QByteArray request = protocol::family1Request(protocol::f1::kWriteFibre);
    const int n = qMin(codes.size(), kFamily1MaxChannels);
    for (int i = 0; i < n; ++i)
        request[kFamily1CodeOffset + i] = codes[i];
    return request;
}

std::uint32_t rateFromText(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < 0 || value > qlonglong(kMaxRate))
        return 0;
    return std::uint32_t(value);
}

QByteArray rateBytes(std::uint32_t rate)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((rate >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

std::uint32_t rateFromBytes(const QByteArray& bytes)
{
    std::uint32_t value = 0;
    const int n = qMin(bytes.size(), 4);
    for (int i = 0; i < n; ++i)
        value = (value << 8) | std::uint8_t(bytes[i]);
    return value > kMaxRate ? 0 : value;
}

Family2Selection family2SelectionForRate(std::uint32_t rate)
{
    const QString text = QString::number(rate);
    for (int i = 0; i < kFamily2RateCount; ++i) {
        if (text == QLatin1String(kFamily2Rates[i]))
            return {i, QString()};
    }
    return {kFamily2CustomIndex, text};
}

}  // namespace fibre
