// The configuration-file reader: parsing the whole document, then every
// string it hands to the editors (filter strings of both forms, route rows).

#include "config/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const configfile::ParseResult r =
        configfile::parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    if (!r.ok)
        return 0;
    for (const QJsonObject& channel : r.document.channels) {
        for (const QJsonValue& v : channel.value(configfile::kDataList).toArray()) {
            configfile::FilterFields fields;
            configfile::parseFilterString(v.toString(), true, &fields);
            configfile::parseFilterString(v.toString(), false, &fields);
        }
    }
    for (const QString& s : r.document.route)
        configfile::parseRouteString(s);
    return 0;
}
