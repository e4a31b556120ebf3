#pragma once
// The one check of a configuration against the device it is meant for. Both
// programs show its findings in the same words: the window translated in a
// message box or a question, corvelle-cli on standard error.

#include "Configuration.h"

#include "operations/UserMessage.h"

#include <QString>
#include <QVector>

namespace config {

struct Finding {
    // Refused: nothing is sent. Asked: sent only when the user says so.
    enum class Kind { Refused, Asked };
    Kind kind = Kind::Refused;
    QString where;     // "CAN2", "Fiber1", "Port3"; empty for the file as a whole
    UserMessage what;  // the sentence shown, naming the place and the reason
    // A message of a lower layer that does not name the channel gets "channel N: " before it.
    UserMessage prefix;

    QString text() const
    {
        return prefix.isEmpty() ? what.translated() : prefix.translated() + what.translated();
    }
};
using Findings = QVector<Finding>;

// What a write of this configuration to a device of this shape would send
// wrongly or not at all. Only the channels and fibres the configuration holds
// are checked, so a partial configuration is checked as far as it goes.
Findings checkConfiguration(const Configuration& configuration, const Shape& shape);

// A file read for a device of this shape, before it is opened: members given
// twice, the other family's file, more channels, fibres or route ports than
// the device has, and the values as the file spells them. Only refusals: what
// is to be asked about is asked when the opened configuration is written.
Findings checkFile(const FileReadResult& file, const Shape& shape);

// A configuration made for a device of the shape `made` (prepared without
// a device) before it goes to a device of the shape `device`: the other
// family, or more CAN channels or fibre channels than the device has. Only
// refusals; the values are checked as any write's.
Findings checkShapeFits(const Shape& made, const Shape& device);

// The firmware image before anything of it is sent.
Findings checkFirmwareImage(const QByteArray& image);

Findings ofKind(const Findings& findings, Finding::Kind kind);
// The findings' texts, one a line.
QString findingsText(const Findings& findings);

}  // namespace config
