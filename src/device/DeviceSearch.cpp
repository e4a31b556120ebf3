#include "DeviceSearch.h"

#include "ModelTable.h"
#include "Request.h"

#include "log/LogCategories.h"

#include <mutex>

namespace {

using namespace protocol;

// A search owns the shared device for its whole run: two searches (a second
// arrival during the first) would otherwise interleave their exchanges and
// replace each other's handle.
std::mutex g_searchMutex;

QString textUpToZero(const unsigned char* bytes, int maxLength)
{
    int n = 0;
    while (n < maxLength && bytes[n] != 0)
        ++n;
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes), n);
}

QString family1Version(const unsigned char* answer)
{
    return QString::asprintf("%d.%02d", answer[5], answer[4]);
}

DeviceIdentity identityOf(int typeCode, const QString& hardware, const QString& firmware,
                          const QString& boardNumber)
{
    DeviceIdentity id;
    const models::Model* model = models::modelForTypeCode(typeCode);
    id.nCAN = model ? model->nCAN : 0;
    id.nFiberOptic = model ? model->nFiberOptic : 0;
    id.strDevType = model ? QString::fromLatin1(model->name) : QString();
    id.strName = id.strDevType + QLatin1Char('_') + boardNumber;
    id.strDevVer = hardware;
    id.strFirmware = firmware;
    id.strCardNum = boardNumber;
    return id;
}

bool send(HIDDevice& device, const QByteArray& request)
{
    return device.write(reinterpret_cast<const unsigned char*>(request.constData()),
                        static_cast<std::size_t>(request.size())) == request.size();
}

// One family-1 identity exchange on the shared request buffer, changed to the command's.
bool exchange1(HIDDevice& device, QByteArray& request, unsigned char* answer, const f1::Command& command,
               int readLength)
{
    setCommand(request, command);
    if (!send(device, request))
        return false;
    return device.readTimeout(answer, readLength, command.timeoutMs) == kFamily1AnswerLength;
}

void identifyFamily1(HIDDevice& device, SearchResult& result)
{
    QByteArray request = family1Request(f1::kIdentify);
    unsigned char answer[kBufferSize] = {};
    if (!exchange1(device, request, answer, f1::kIdentify, kFamily1FirstIdentityReadLength))
        return;
    result.hardwareType = answer[4];
    if (!exchange1(device, request, answer, f1::kBoardNumber, kFamily1ReadLength))
        return;
    const QString boardNumber = textUpToZero(answer + 4, 12);
    if (!exchange1(device, request, answer, f1::kHardwareVersion, kFamily1ReadLength))
        return;
    const QString hardware = family1Version(answer);
    if (!exchange1(device, request, answer, f1::kFirmwareVersion, kFamily1ReadLength))
        return;
    result.identity = identityOf(result.hardwareType, hardware, family1Version(answer), boardNumber);
}

void identifyFamily2(HIDDevice& device, SearchResult& result)
{
    unsigned char answer[kBufferSize] = {};
    if (!send(device, family2Request(f2::kIdentify)))
        return;
    if (device.readTimeout(answer, kFamily2ReportLength, f2::kIdentify.timeoutMs) != kFamily2ReportLength)
        return;
    result.hardwareType = answer[5];
    result.identity = identityOf(result.hardwareType, family2VersionText(answer + 6),
                                 family2VersionText(answer + 9), textUpToZero(answer + 12, 36));
}

bool openFamily(HIDDevice& device, UsbIds ids, SearchResult& result)
{
    if (device.open(ids.vendor, ids.product)) {
        const std::vector<std::string> paths =
            hidBackend().paths ? hidBackend().paths(ids.vendor, ids.product) : std::vector<std::string>();
        if (!paths.empty())
            result.path = paths.front();
        return true;
    }
    // A kept handle means the device opened but refused blocking mode.
    if (!device.isOpen() && hidBackend().count(ids.vendor, ids.product) > 0)
        result.accessDenied = true;
    return false;
}

// The search's outcome in the log: the device found with its ids and path, or why none.
void logResult(const HIDDevice& device, const SearchResult& result, UsbIds ids)
{
    const QString idsText = QString::asprintf("%04x:%04x", ids.vendor, ids.product);
    if (result.driveType == 0) {
        qCWarning(lcDevice).noquote()
            << (result.accessDenied ? "a device was found, but access to it was denied" : "no device found");
        return;
    }
    const DeviceIdentity& id = result.identity;
    if (id.nCAN < 0) {
        qCWarning(lcDevice).noquote()
            << QStringLiteral("the device %1 at \"%2\" did not tell who it is, after\n%3")
                   .arg(idsText, QString::fromStdString(result.path),
                        QString::fromStdString(device.lastExchange()));
        return;
    }
    qCInfo(lcDevice).noquote()
        << QStringLiteral("found %1 (family %2, %3) at \"%4\": board %5, hardware %6, firmware %7")
               .arg(id.strDevType.isEmpty() ? QStringLiteral("an unknown model") : id.strDevType)
               .arg(result.driveType)
               .arg(idsText, QString::fromStdString(result.path), id.strCardNum, id.strDevVer,
                    id.strFirmware);
}

}  // namespace

SearchResult searchDevice(HIDDevice& device, int driveType)
{
    std::lock_guard<std::mutex> lock(g_searchMutex);
    SearchResult result;
    if (driveType != kFamily2 && openFamily(device, kFamily1Ids, result)) {
        result.driveType = kFamily1;
        identifyFamily1(device, result);
        logResult(device, result, kFamily1Ids);
        return result;
    }
    if (openFamily(device, kFamily2Ids, result)) {
        result.driveType = kFamily2;
        identifyFamily2(device, result);
    }
    logResult(device, result, kFamily2Ids);
    return result;
}

SearchResult searchDevicePath(HIDDevice& device, const std::string& path, int driveType)
{
    SearchResult result;
    const UsbIds ids = driveType == kFamily2 ? kFamily2Ids : kFamily1Ids;
    // Each caller owns its device here (one per path), so only the open is
    // serialised: devices on several paths are identified at once.
    std::unique_lock<std::mutex> lock(g_searchMutex);
    const bool opened = device.openPath(path.c_str(), ids.vendor, ids.product);
    lock.unlock();
    if (!opened) {
        result.accessDenied = !device.isOpen();
        return result;
    }
    result.driveType = driveType == kFamily2 ? kFamily2 : kFamily1;
    result.path = path;
    if (result.driveType == kFamily2)
        identifyFamily2(device, result);
    else
        identifyFamily1(device, result);
    logResult(device, result, ids);
    return result;
}
