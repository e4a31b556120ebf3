#include "DevicePath.h"

#include "Protocol.h"

namespace {

QString idText(unsigned id)
{
    return QString::number(id & 0xFFFFu, 16).rightJustified(4, QLatin1Char('0')).toUpper();
}

// The four characters that start four after the first occurrence of marker.
QString idAfter(const QString& path, const QString& marker)
{
    const int at = path.indexOf(marker);
    return at < 0 ? QString() : path.mid(at + 4, 4);
}

}  // namespace

int familyOfDevicePath(const QString& devicePath)
{
    if (!devicePath.contains(QLatin1String("HID")))
        return protocol::kNoDevice;
    const QString vendor = idAfter(devicePath, QStringLiteral("VID"));
    const QString product = idAfter(devicePath, QStringLiteral("PID"));
    using namespace protocol;
    if (vendor == idText(kFamily1Ids.vendor) && product == idText(kFamily1Ids.product))
        return kFamily1;
    if (vendor == idText(kFamily2Ids.vendor) && product == idText(kFamily2Ids.product))
        return kFamily2;
    return kNoDevice;
}

QString devicePathFor(const QString& node, unsigned vendorId, unsigned productId)
{
    // The ids come first so that a node name can never hold the first "VID".
    return QStringLiteral("HID VID_%1&PID_%2 %3").arg(idText(vendorId), idText(productId), node);
}
