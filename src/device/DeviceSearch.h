#pragma once
// Finding the one supported device, opening it and asking who it is. The main
// window runs searchDevice on a detached worker thread, which posts the
// SearchResult back to the GUI thread as a value.

#include "HIDDevice.h"

#include <QString>

#include <functional>
#include <string>

// The arguments of showName: nCAN −1 means the search failed.
struct DeviceIdentity {
    int nCAN = -1;
    int nFiberOptic = 0;
    QString strName;
    QString strDevType;
    QString strDevVer;
    QString strFirmware;
    QString strCardNum;
};

struct SearchResult {
    int driveType = 0;        // the family that was opened; 0 when none opened
    int hardwareType = -1;    // the type code read, −1 when none was read
    DeviceIdentity identity;  // nCAN −1 on failure
    // A device with the ids of a family that was tried is attached but could
    // not be opened (no access to its device node). It can accompany a
    // success when the other family's device opened.
    bool accessDenied = false;
    // The path of the device opened (by ids: the first attached of its
    // family, the one the open finds); empty when none opened.
    std::string path;
};

// One search, with no retry: driveType 0 or 1 tries family 1 and then family 2,
// driveType 2 tries only family 2. At most four exchanges of 10 ms each. A
// failed identity leaves the device open and driveType at the family opened.
// Searches are serialised: one that starts while another runs waits for it.
SearchResult searchDevice(HIDDevice& device, int driveType);
// As searchDevice, for the device of this family at this path only; the
// caller owns the device, and searches of other paths may run alongside.
SearchResult searchDevicePath(HIDDevice& device, const std::string& path, int driveType);

// The detached search threads of the process. The program waits for them
// before it releases the HID library, and the hot-plug fallback does not
// enumerate while one runs.
namespace searchthreads {
void start(std::function<void()> work);  // a new std::thread, detached at once
int running();
bool waitForAll(int timeoutMs);  // false when one still runs after timeoutMs; < 0 waits without limit
}  // namespace searchthreads
