#pragma once
// The USB HID protocol of both device families: ids, report lengths, command
// codes, timeouts and acknowledgement bytes. The requests are built from these
// by device/Request.h.

#include <cstdint>

namespace protocol {

// drive_type values: the device family in use.
constexpr int kNoDevice = 0;
constexpr int kFamily1 = 1;
constexpr int kFamily2 = 2;

struct UsbIds {
    std::uint16_t vendor;
    std::uint16_t product;
};
constexpr UsbIds kFamily1Ids{0x0483, 0x6901};
constexpr UsbIds kFamily2Ids{0x34B7, 0x0101};

// Every exchange uses one zero-filled buffer of this size in memory.
constexpr int kBufferSize = 48;

// Family 1: 17-byte requests (report id 0 first), 16 data bytes answered.
constexpr int kFamily1RequestLength = 17;
constexpr int kFamily1AnswerLength = 16;
constexpr int kFamily1FirstIdentityReadLength = 17;  // the first identity read asks for 17
constexpr int kFamily1ReadLength = 18;               // every other read asks for 18
constexpr std::uint8_t kFamily1ReportId = 0x00;
constexpr std::uint8_t kFamily1Class = 0x12;

// Family 2: 48-byte reports both ways, report id 1 kept at index 0 of answers.
constexpr int kFamily2ReportLength = 48;
constexpr std::uint8_t kFamily2ReportId = 0x01;
constexpr std::uint8_t kFamily2ConfigClass = 0x13;
constexpr std::uint8_t kFamily2FirmwareClass = 0x15;
constexpr std::uint8_t kFamily2Read = 0x00;  // offset 3 of a class 0x13 request
constexpr std::uint8_t kFamily2Write = 0x01;

inline constexpr int requestLength(int driveType)
{
    return driveType == kFamily2 ? kFamily2ReportLength : kFamily1RequestLength;
}
inline constexpr int answerLength(int driveType)
{
    return driveType == kFamily2 ? kFamily2ReportLength : kFamily1AnswerLength;
}
inline constexpr int readLength(int driveType)
{
    return driveType == kFamily2 ? kFamily2ReportLength : kFamily1ReadLength;
}

// Family 1 acknowledgements, at index 2 of the answer.
constexpr int kFamily1StatusIndex = 2;
constexpr std::uint8_t kFamily1WriteAck = 0x81;
constexpr std::uint8_t kFamily1TimingReadAck = 0x86;

// Family 2 firmware-class answers carry a status at index 4.
constexpr int kFamily2StatusIndex = 4;
constexpr std::uint8_t kStatusAccepted = 0;
constexpr std::uint8_t kStatusRejected = 1;
constexpr std::uint8_t kStatusWrongInstruction = 2;

namespace f1 {  // family 1 commands: request offset 2, argument byte at offset 3
struct Command {
    std::uint8_t code;
    std::uint8_t argument;
    int timeoutMs;
};
constexpr Command kIdentify{0x15, 0x01, 10};
constexpr Command kBoardNumber{0x14, 0x01, 10};
constexpr Command kHardwareVersion{0x01, 0x01, 10};
constexpr Command kFirmwareVersion{0x12, 0x01, 10};
constexpr Command kReadBitTiming{0xA4, 0x01, 100};
constexpr Command kReadFilterBank{0xA5, 0x02, 10};
constexpr Command kReadFibre{0x26, 0x01, 100};
constexpr Command kReadRoute{0x28, 0x01, 100};
constexpr Command kWriteBitTiming{0x23, 0x06, 50};
constexpr Command kWriteFilterBank{0x24, 0x0B, 50};
constexpr Command kWriteFibre{0x25, 0x05, 50};
constexpr Command kWriteRoute{0x27, 0x09, 50};
constexpr Command kReset{0x11, 0x01, 4000};
constexpr int kResetRequestLength = 5;  // handed to write as 5 bytes, padded to 17
constexpr int kFilterBanks = 14;
}  // namespace f1

namespace f2 {  // family 2 commands: class at offset 1, code at offset 2
struct Command {
    std::uint8_t klass;
    std::uint8_t code;
    std::uint8_t argument;  // offset 3: read or write for the configuration class
    std::uint8_t selector;  // offset 4 of configuration requests; 0 where the payload starts there
    int timeoutMs;          // 0: no answer is read
};
constexpr Command kIdentify{kFamily2ConfigClass, 0x01, kFamily2Read, 0x27, 10};
constexpr Command kReadChannel{kFamily2ConfigClass, 0x04, kFamily2Read, 0x10, 100};
constexpr Command kReadFilters{kFamily2ConfigClass, 0x05, kFamily2Read, 0x10, 100};
constexpr Command kReadFibre{kFamily2ConfigClass, 0x06, kFamily2Read, 0x10, 100};
constexpr Command kWriteChannel{kFamily2ConfigClass, 0x04, kFamily2Write, 0x10, 50};
constexpr Command kWriteFilter{kFamily2ConfigClass, 0x05, kFamily2Write, 0x0E, 50};
constexpr Command kWriteFibre{kFamily2ConfigClass, 0x06, kFamily2Write, 0x10, 50};
constexpr Command kRestoreDefaults{kFamily2ConfigClass, 0x07, kFamily2Write, 0x01, 0};
constexpr Command kFinish{kFamily2ConfigClass, 0x08, kFamily2Write, 0x01, 50};
constexpr Command kQueryVersions{kFamily2FirmwareClass, 0x04, 0x03, 0x00, 50};
constexpr Command kUpgradeLength{kFamily2FirmwareClass, 0x01, 0x2D, 0x00, 50};
constexpr Command kUpgradeBlock{kFamily2FirmwareClass, 0x02, 0x2D, 0x00, 50};
constexpr Command kUpgradeChecksum{kFamily2FirmwareClass, 0x03, 0x2D, 0x00, 50};

constexpr int kMaxStandardFilters = 128;
constexpr int kMaxExtendedFilters = 64;
constexpr int kUpgradeBlockSize = 32;
}  // namespace f2

}  // namespace protocol
