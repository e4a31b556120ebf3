#include "AttachedDevices.h"

#include "HIDDevice.h"
#include "HidBackend.h"

QVector<AttachedDevice> attachedDevices()
{
    QVector<AttachedDevice> list;
    if (!hidBackend().paths)
        return list;
    for (int family : {protocol::kFamily1, protocol::kFamily2}) {
        const protocol::UsbIds ids =
            family == protocol::kFamily1 ? protocol::kFamily1Ids : protocol::kFamily2Ids;
        for (const std::string& path : hidBackend().paths(ids.vendor, ids.product))
            list.push_back({family, ids, path});
    }
    return list;
}

SearchResult identifyAttached(const AttachedDevice& device)
{
    HIDDevice hid;
    const SearchResult found = searchDevicePath(hid, device.path, device.family);
    hid.close();
    return found;
}

QString listedModel(const SearchResult& found)
{
    if (found.identity.nCAN >= 0)
        return found.identity.strDevType;
    return found.accessDenied ? QStringLiteral("(access denied)") : QString();
}
