#include "RepeatedKeys.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QString>

#include <algorithm>
#include <cstring>

namespace configfile {

namespace {

// Well within the depth at which Qt's parser gives up on a text; a deeper
// text is left to the parser as it is.
constexpr int kMaxDepth = 512;

// How the parser tells keys apart: it compares them as text (the identity
// tagged 't' holds the key in UTF-8, 'u' in UTF-16), except that Qt 5
// compares unescaped keys as C strings of the same length, so that two such
// keys holding a NUL byte are the same when they agree up to it (tagged 'c').
QByteArray unescapedIdentity(const char* key, int length)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    if (const void* nul = std::memchr(key, '\0', std::size_t(length))) {
        return 'c' + QByteArray::number(length) + ':' +
               QByteArray(key, int(static_cast<const char*>(nul) - key));
    }
#endif
    QByteArray identity;
    identity.reserve(length + 1);
    identity.append('t').append(key, length);
    return identity;
}

// The scan reads the text as it came and blanks members in a copy, always
// behind where it reads.
class Scan {
public:
    Scan(const QByteArray& text, QVector<RepeatedMember>* repeats)
        : m_repeats(repeats),
          m_text(text),
          m_data(text.constData()),
          m_size(text.size()),
          m_checkBudget(2 * qint64(text.size()) + 4096)
    {
    }

    // The text with the earlier members blanked. Where the scan cannot follow
    // the text it stops; what it blanked before stays blanked, as each blanked
    // member was valid on its own.
    QByteArray result()
    {
        if (m_size >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0)
            m_pos = 3;  // the parser passes over a UTF-8 byte order mark
        skipBlanks();
        value(0);
        return m_text;
    }

private:
    char peek() const { return m_pos < m_size ? m_data[m_pos] : '\0'; }

    void skipBlanks()
    {
        while (m_pos < m_size) {
            const char c = m_data[m_pos];
            if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
                return;
            ++m_pos;
        }
    }

    bool value(int depth)
    {
        if (depth > kMaxDepth)
            return false;
        switch (peek()) {
            case '{':
                return object(depth + 1);
            case '[':
                return array(depth + 1);
            case '"':
                return string();
            default:
                return scalar();
        }
    }

    // A number, true, false or null: the parser checks which; the scan only
    // needs to know where it ends.
    bool scalar()
    {
        const int start = m_pos;
        while (m_pos < m_size && !std::strchr(",]} \t\n\r", m_data[m_pos]))
            ++m_pos;
        return m_pos > start;
    }

    // Past the closing quote; false when there is none.
    bool string()
    {
        int from = m_pos + 1;
        for (;;) {
            const char* begin = m_data + from;
            const std::size_t left = std::size_t(m_size - from);
            const char* quote = static_cast<const char*>(std::memchr(begin, '"', left));
            if (!quote)
                return false;
            const char* escape =
                static_cast<const char*>(std::memchr(begin, '\\', std::size_t(quote - begin)));
            if (!escape) {
                m_pos = int(quote - m_data) + 1;
                return true;
            }
            from = int(escape - m_data) + 2;  // past the escaped character
            if (from > m_size)
                return false;
        }
    }

    // The key's identity (see unescapedIdentity); false when the parser would
    // not take the key.
    bool identityAt(int start, int end, QByteArray* identity) const
    {
        const char* key = m_data + start + 1;
        const int length = end - start - 2;
        if (!std::memchr(key, '\\', std::size_t(length))) {
            *identity = unescapedIdentity(key, length);
            return true;
        }
        QJsonParseError error{};
        const QString decoded =
            QJsonDocument::fromJson('[' + QByteArray(m_data + start, end - start) + ']', &error)
                .array()
                .at(0)
                .toString();
        // A lone surrogate has no UTF-8 form: such a key is compared in UTF-16,
        // and only an escaped key can hold one.
        const QByteArray utf8 = decoded.toUtf8();
        if (QString::fromUtf8(utf8.constData(), utf8.size()) == decoded)
            *identity = 't' + utf8;
        else
            *identity = 'u' + QByteArray(reinterpret_cast<const char*>(decoded.utf16()), 2 * decoded.size());
        return error.error == QJsonParseError::NoError;
    }

    // The key as the parser reads it, escapes resolved.
    QString keyText(int start, int end) const
    {
        const QByteArray quoted(m_data + start, end - start);
        if (!quoted.contains('\\'))
            return QString::fromUtf8(quoted.mid(1, quoted.size() - 2));
        return QJsonDocument::fromJson('[' + quoted + ']').array().at(0).toString();
    }

    // A member is blanked only when the parser takes it on its own, so that
    // blanking never hides a fault of the file. Members repeated inside
    // repeated members would be checked again at every level: past a budget
    // of twice the text, the rest is left to the parser.
    bool isValidMember(int start, int commaAt)
    {
        m_checkBudget -= commaAt - start;
        if (m_checkBudget < 0)
            return false;
        QJsonParseError error{};
        QJsonDocument::fromJson('{' + m_text.mid(start, commaAt - start) + '}', &error);
        return error.error == QJsonParseError::NoError;
    }

    bool array(int depth)
    {
        ++m_pos;
        skipBlanks();
        if (peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            if (!value(depth))
                return false;
            skipBlanks();
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            if (peek() != ',')
                return false;
            ++m_pos;
            skipBlanks();
        }
    }

    bool object(int depth)
    {
        ++m_pos;
        skipBlanks();
        if (peek() == '}') {
            ++m_pos;
            return true;
        }
        // Where each key's latest member starts, and where it ends: after its
        // comma, which an earlier member always has.
        QHash<QByteArray, std::pair<int, int>> members;
        for (;;) {
            const int start = m_pos;
            QByteArray key;
            if (peek() != '"' || !string() || !identityAt(start, m_pos, &key))
                return false;
            const int keyEnd = m_pos;
            skipBlanks();
            if (peek() != ':')
                return false;
            ++m_pos;
            skipBlanks();
            if (!value(depth))
                return false;
            skipBlanks();
            const bool last = peek() == '}';
            if (!last && peek() != ',')
                return false;
            ++m_pos;
            const auto earlier = members.constFind(key);
            if (earlier != members.constEnd()) {
                if (m_repeats)
                    m_repeats->push_back({keyText(start, keyEnd), start});
                if (!isValidMember(earlier->first, earlier->second - 1))
                    return false;
                std::fill(m_text.begin() + earlier->first, m_text.begin() + earlier->second, ' ');
            }
            members.insert(key, {start, m_pos});
            if (last)
                return true;
            skipBlanks();
        }
    }

    QVector<RepeatedMember>* const m_repeats;
    QByteArray m_text;
    const char* const m_data;
    const int m_size;
    int m_pos = 0;
    qint64 m_checkBudget;
};

}  // namespace

QByteArray withoutRepeatedKeys(const QByteArray& text, QVector<RepeatedMember>* repeats)
{
    // Without a repeated key (nearly always) the text is shared, not copied.
    return Scan(text, repeats).result();
}

}  // namespace configfile
