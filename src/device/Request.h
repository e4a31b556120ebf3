#pragma once
// The one way to start a request, per device family: a zero-filled report of
// the family's request length with the command's header in place. The caller
// adds the payload.

#include "Protocol.h"

#include <QByteArray>
#include <QString>

namespace protocol {

// 17 bytes: 00 12, the command code, its argument.
QByteArray family1Request(const f1::Command& command);
// 48 bytes: 01, the class, the command code, its argument, its selector.
QByteArray family2Request(const f2::Command& command);

// Gives a request the header of another command and keeps its other bytes,
// for the sequences that send one buffer changed in place.
void setCommand(QByteArray& request, const f1::Command& command);
void setCommand(QByteArray& request, const f2::Command& command);

// A family-2 version from its three bytes (major, minor, patch): "V2.0.11".
QString family2VersionText(const unsigned char* bytes);

}  // namespace protocol
