#include "Recording.h"

#include <QFile>

#include <cmath>

namespace recording {

namespace {

const QByteArray kMagic = QByteArrayLiteral("corvelle-recording");

QByteArray timeText(double ms)
{
    return QByteArray::number(ms, 'f', 3);
}

// Splits a line into words; a word may be a quoted text with \" \\ and \xNN escapes.
class Words {
public:
    explicit Words(const QByteArray& line) : m_line(&line) {}

    bool atEnd()
    {
        skipBlanks();
        return m_at >= m_line->size();
    }
    // The next plain word; empty at the end.
    QByteArray word()
    {
        skipBlanks();
        const int start = m_at;
        while (m_at < m_line->size() && m_line->at(m_at) != ' ')
            ++m_at;
        return m_line->mid(start, m_at - start);
    }
    // The rest of the line, from the next word on.
    QByteArray rest()
    {
        skipBlanks();
        return m_line->mid(m_at);
    }
    bool nextIsQuoted()
    {
        skipBlanks();
        return m_at < m_line->size() && m_line->at(m_at) == '"';
    }
    // A quoted text; false when there is none or it is not closed.
    bool quotedText(QByteArray* out)
    {
        if (!nextIsQuoted())
            return false;
        out->clear();
        for (++m_at; m_at < m_line->size(); ++m_at) {
            const char c = m_line->at(m_at);
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c != '\\') {
                out->append(c);
                continue;
            }
            if (++m_at >= m_line->size())
                return false;
            const char e = m_line->at(m_at);
            if (e == '"' || e == '\\') {
                out->append(e);
            } else if (e == 'x' && m_at + 2 < m_line->size()) {
                bool ok = false;
                const int byte = m_line->mid(m_at + 1, 2).toInt(&ok, 16);
                if (!ok)
                    return false;
                out->append(char(byte));
                m_at += 2;
            } else {
                return false;
            }
        }
        return false;
    }

private:
    void skipBlanks()
    {
        while (m_at < m_line->size() && m_line->at(m_at) == ' ')
            ++m_at;
    }
    const QByteArray* m_line;
    int m_at = 0;
};

bool parseTime(const QByteArray& word, double* ms)
{
    // Always written with a decimal point, so that a byte is never taken for a time.
    if (word.isEmpty() || !(word.at(0) >= '0' && word.at(0) <= '9') || !word.contains('.'))
        return false;
    bool ok = false;
    *ms = word.toDouble(&ok);
    return ok && std::isfinite(*ms) && *ms >= 0 && *ms < 1e12;
}

bool parseDuration(const QByteArray& word, double* ms)
{
    return word.startsWith('+') && parseTime(word.mid(1), ms);
}

bool parseIds(const QByteArray& word, DeviceIds* ids)
{
    if (word.size() != 9 || word.at(4) != ':')
        return false;
    bool okVendor = false;
    bool okProduct = false;
    ids->vendor = std::uint16_t(word.left(4).toUInt(&okVendor, 16));
    ids->product = std::uint16_t(word.mid(5).toUInt(&okProduct, 16));
    return okVendor && okProduct;
}

bool parseInt(const QByteArray& word, int* value)
{
    bool ok = false;
    *value = word.toInt(&ok);
    return ok;
}

// "01 13 0a" up to the end or to "="; false on anything but byte pairs.
bool parseBytes(Words& words, QByteArray* bytes)
{
    bytes->clear();
    while (!words.atEnd() && !words.nextIsQuoted()) {
        const QByteArray w = words.word();
        if (w == "=")
            return true;
        if (w.size() != 2 || bytes->size() >= kMaxReportBytes)
            return false;
        bool ok = false;
        const int byte = w.toInt(&ok, 16);
        if (!ok || w.at(0) == '+' || w.at(0) == '-')
            return false;
        bytes->append(char(byte));
    }
    return true;
}

class Parser {
public:
    ReadResult run(const QByteArray& text)
    {
        int start = 0;
        int lineNumber = 0;
        while (start < text.size()) {
            int end = text.indexOf('\n', start);
            if (end < 0)
                end = text.size();
            QByteArray line = text.mid(start, end - start);
            start = end + 1;
            ++lineNumber;
            if (line.endsWith('\r'))
                line.chop(1);
            if (!parseLine(line, lineNumber))
                return failure(lineNumber);
        }
        if (!m_sawMagic)
            return refuse(
                QStringLiteral("not a recording: it does not begin with \"# corvelle-recording 1\""));
        m_result.ok = true;
        return m_result;
    }

private:
    ReadResult failure(int lineNumber)
    {
        return refuse(QStringLiteral("line %1: %2").arg(lineNumber).arg(m_error));
    }
    ReadResult refuse(const QString& text)
    {
        ReadResult r;
        r.error = text;
        return r;
    }
    bool fail(const QString& text)
    {
        m_error = text;
        return false;
    }

    bool parseLine(const QByteArray& line, int lineNumber)
    {
        if (line.trimmed().isEmpty())
            return true;
        if (!m_sawMagic)
            return parseMagic(line);
        if (line.size() < 2 || line.at(1) != ' ')
            return fail(QStringLiteral("a line begins with \"> \", \"< \" or \"# \""));
        Words words(line);
        const QByteArray marker = words.word();
        Entry entry;
        entry.line = lineNumber;
        if (marker == "#") {
            const QByteArray first = words.word();
            if (!parseTime(first, &entry.timeMs))
                return parseHeader(first, words);
        } else if (marker == ">" || marker == "<") {
            if (!parseTime(words.word(), &entry.timeMs))
                return fail(
                    QStringLiteral("a time in milliseconds follows \"%1\"").arg(QLatin1String(marker)));
        } else {
            return fail(QStringLiteral("a line begins with \"> \", \"< \" or \"# \""));
        }
        if (!parseDuration(words.word(), &entry.tookMs))
            return fail(QStringLiteral("the time a call took (\"+1.250\") follows its time"));
        const bool ok = marker == ">"   ? parseWrite(words, entry)
                        : marker == "<" ? parseRead(words, entry)
                                        : parseEvent(words, entry);
        if (!ok)
            return false;
        if (!words.atEnd())
            return fail(
                QStringLiteral("unexpected \"%1\" at the end").arg(QString::fromUtf8(words.rest().left(40))));
        m_result.recording.entries.push_back(entry);
        return true;
    }

    bool parseMagic(const QByteArray& line)
    {
        Words words(line);
        int version = 0;
        if (words.word() != "#" || words.word() != kMagic)
            return fail(QStringLiteral("not a recording: it does not begin with \"# corvelle-recording 1\""));
        if (!parseInt(words.word(), &version) || version < 1)
            return fail(QStringLiteral("no format version after \"corvelle-recording\""));
        if (version > kFormatVersion)
            return fail(QStringLiteral("a recording of format %1; this program reads format %2 and older")
                            .arg(version)
                            .arg(kFormatVersion));
        m_sawMagic = true;
        return true;
    }

    bool parseHeader(const QByteArray& key, Words& words)
    {
        if (key == "program") {
            m_result.recording.program = QString::fromUtf8(words.rest());
            return true;
        }
        if (key == "device") {
            RecordedDevice device;
            if (!parseIds(words.word(), &device.ids) || !words.quotedText(&device.path) || !words.atEnd())
                return fail(QStringLiteral("a device is \"device VID:PID \"PATH\"\""));
            m_result.recording.devices.push_back(device);
            return true;
        }
        return true;  // a comment
    }

    bool parseWrite(Words& words, Entry& entry)
    {
        entry.kind = Entry::Write;
        if (!parseBytes(words, &entry.bytes) || entry.bytes.isEmpty())
            return fail(QStringLiteral("a request is bytes as pairs of hexadecimal digits"));
        entry.result = entry.bytes.size();
        if (words.atEnd())
            return true;
        if (!parseInt(words.word(), &entry.result) || entry.result < -1 || entry.result > entry.bytes.size())
            return fail(QStringLiteral("after \"=\" comes the count the write reported, or -1"));
        QByteArray text;
        if (entry.result == -1 && words.nextIsQuoted() && !words.quotedText(&text))
            return fail(QStringLiteral("an error text is quoted"));
        entry.error = QString::fromUtf8(text);
        return true;
    }

    bool parseRead(Words& words, Entry& entry)
    {
        entry.kind = Entry::Read;
        const QByteArray asked = words.word();
        const int slash = asked.indexOf('/');
        if (slash < 0 || !asked.endsWith("ms") || !parseInt(asked.left(slash), &entry.readLength) ||
            !parseInt(asked.mid(slash + 1, asked.size() - slash - 3), &entry.timeoutMs) ||
            entry.readLength < 0 || entry.readLength > kMaxReportBytes || entry.timeoutMs < -1)
            return fail(QStringLiteral("a read gives the length and timeout it asked for, as \"48/10ms\""));
        if (words.atEnd())
            return fail(QStringLiteral("a read ends in its answer, \"timeout\" or \"error\""));
        if (words.nextIsQuoted())
            return fail(QStringLiteral("a read ends in its answer, \"timeout\" or \"error\""));
        Words probe = words;
        const QByteArray w = probe.word();
        if (w == "timeout") {
            words = probe;
            entry.result = 0;
            return true;
        }
        if (w == "error") {
            words = probe;
            entry.result = -1;
            QByteArray text;
            if (words.nextIsQuoted() && !words.quotedText(&text))
                return fail(QStringLiteral("an error text is quoted"));
            entry.error = QString::fromUtf8(text);
            return true;
        }
        if (!parseBytes(words, &entry.bytes) || entry.bytes.isEmpty() ||
            entry.bytes.size() > entry.readLength)
            return fail(
                QStringLiteral("an answer is at most the bytes asked for, as pairs of hexadecimal digits"));
        if (!words.atEnd())
            return fail(QStringLiteral("nothing follows an answer"));
        entry.result = entry.bytes.size();
        return true;
    }

    bool parseOk(Words& words, Entry& entry)
    {
        const QByteArray w = words.word();
        if (w != "ok" && w != "fail")
            return fail(QStringLiteral("an open ends in \"ok\" or \"fail\""));
        entry.result = w == "ok" ? 1 : 0;
        return true;
    }

    bool parseEvent(Words& words, Entry& entry)
    {
        const QByteArray verb = words.word();
        if (verb == "open") {
            entry.kind = Entry::Open;
            if (!parseIds(words.word(), &entry.ids))
                return fail(QStringLiteral("an open gives the ids as \"34b7:0101\""));
            return parseOk(words, entry);
        }
        if (verb == "open-path") {
            entry.kind = Entry::OpenPath;
            if (!words.quotedText(&entry.path))
                return fail(QStringLiteral("an open-path gives the quoted path"));
            return parseOk(words, entry);
        }
        if (verb == "nonblocking") {
            entry.kind = Entry::Nonblocking;
            if (!parseInt(words.word(), &entry.argument) || words.word() != "=" ||
                !parseInt(words.word(), &entry.result))
                return fail(QStringLiteral("a nonblocking call is \"nonblocking 0 = 0\""));
            return true;
        }
        if (verb == "close") {
            entry.kind = Entry::Close;
            return true;
        }
        if (verb == "paths") {
            entry.kind = Entry::Paths;
            if (!parseIds(words.word(), &entry.ids))
                return fail(QStringLiteral("paths gives the ids as \"34b7:0101\""));
            while (!words.atEnd()) {
                QByteArray path;
                if (!words.quotedText(&path) || entry.paths.size() >= 64)
                    return fail(QStringLiteral("paths lists quoted paths"));
                entry.paths.push_back(path);
            }
            return true;
        }
        if (verb == "count") {
            entry.kind = Entry::Count;
            if (!parseIds(words.word(), &entry.ids) || !parseInt(words.word(), &entry.result) ||
                entry.result < 0)
                return fail(QStringLiteral("a count is \"count 34b7:0101 1\""));
            return true;
        }
        if (verb == "plug" || verb == "unplug") {
            entry.kind = verb == "plug" ? Entry::Plug : Entry::Unplug;
            if (!words.quotedText(&entry.path))
                return fail(QStringLiteral("a plug event gives the quoted path"));
            return true;
        }
        return fail(QStringLiteral("unknown event \"%1\"").arg(QString::fromUtf8(verb.left(40))));
    }

    ReadResult m_result;
    QString m_error;
    bool m_sawMagic = false;
};

}  // namespace

ReadResult parseRecording(const QByteArray& text)
{
    if (text.size() > kMaxFileSize) {
        ReadResult r;
        r.error = QStringLiteral("larger than %1 MiB; not a recording of this tool").arg(kMaxFileSize >> 20);
        return r;
    }
    return Parser().run(text);
}

ReadResult readRecordingFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        ReadResult r;
        r.error = file.errorString();
        return r;
    }
    // One byte more than the reader takes tells it the file is too large.
    return parseRecording(file.read(kMaxFileSize + 1));
}

QByteArray idsText(DeviceIds ids)
{
    return QByteArray::number(ids.vendor, 16).rightJustified(4, '0') + ':' +
           QByteArray::number(ids.product, 16).rightJustified(4, '0');
}

QByteArray quoted(const QByteArray& text)
{
    QByteArray out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (quint8(c) < 0x20 || c == 0x7f) {
            out += "\\x" + QByteArray::number(quint8(c), 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out + '"';
}

QByteArray hexText(const QByteArray& bytes)
{
    return bytes.toHex(' ');
}

QByteArray headerLines(const QString& program, const QVector<RecordedDevice>& devices)
{
    QByteArray out = "# " + kMagic + ' ' + QByteArray::number(kFormatVersion) + '\n';
    out += "# program " + program.toUtf8() + '\n';
    out += "# times in milliseconds since the start; \"+\" how long the call took\n";
    for (const RecordedDevice& d : devices)
        out += "# device " + idsText(d.ids) + ' ' + quoted(d.path) + '\n';
    if (devices.isEmpty())
        out += "# no device attached at the start\n";
    return out;
}

QByteArray entryLine(const Entry& e)
{
    const QByteArray when = timeText(e.timeMs) + " +" + timeText(e.tookMs) + ' ';
    switch (e.kind) {
        case Entry::Write: {
            QByteArray line = "> " + when + hexText(e.bytes);
            if (e.result != e.bytes.size())
                line += " = " + QByteArray::number(e.result);
            if (e.result == -1)
                line += ' ' + quoted(e.error.toUtf8());
            return line;
        }
        case Entry::Read: {
            QByteArray line = "< " + when + QByteArray::number(e.readLength) + '/' +
                              QByteArray::number(e.timeoutMs) + "ms ";
            if (e.result > 0)
                return line + hexText(e.bytes.left(e.result));
            if (e.result == 0)
                return line + "timeout";
            return line + "error " + quoted(e.error.toUtf8());
        }
        case Entry::Open:
            return "# " + when + "open " + idsText(e.ids) + (e.result ? " ok" : " fail");
        case Entry::OpenPath:
            return "# " + when + "open-path " + quoted(e.path) + (e.result ? " ok" : " fail");
        case Entry::Nonblocking:
            return "# " + when + "nonblocking " + QByteArray::number(e.argument) + " = " +
                   QByteArray::number(e.result);
        case Entry::Close:
            return "# " + when + "close";
        case Entry::Paths: {
            QByteArray line = "# " + when + "paths " + idsText(e.ids);
            for (const QByteArray& p : e.paths)
                line += ' ' + quoted(p);
            return line;
        }
        case Entry::Count:
            return "# " + when + "count " + idsText(e.ids) + ' ' + QByteArray::number(e.result);
        case Entry::Plug:
            return "# " + when + "plug " + quoted(e.path);
        case Entry::Unplug:
            return "# " + when + "unplug " + quoted(e.path);
    }
    return QByteArray();
}

}  // namespace recording
