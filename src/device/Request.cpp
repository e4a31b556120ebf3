#include "Request.h"

namespace protocol {

QByteArray family1Request(const f1::Command& command)
{
    QByteArray request(kFamily1RequestLength, '\0');
    request[0] = char(kFamily1ReportId);
    request[1] = char(kFamily1Class);
    setCommand(request, command);
    return request;
}

QByteArray family2Request(const f2::Command& command)
{
    QByteArray request(kFamily2ReportLength, '\0');
    request[0] = char(kFamily2ReportId);
    setCommand(request, command);
    return request;
}

void setCommand(QByteArray& request, const f1::Command& command)
{
    request[2] = char(command.code);
    request[3] = char(command.argument);
}

void setCommand(QByteArray& request, const f2::Command& command)
{
    request[1] = char(command.klass);
    request[2] = char(command.code);
    request[3] = char(command.argument);
    request[4] = char(command.selector);
}

QString family2VersionText(const unsigned char* bytes)
{
    return QStringLiteral("V%1.%2.%3").arg(int(bytes[0])).arg(int(bytes[1])).arg(int(bytes[2]));
}

}  // namespace protocol
