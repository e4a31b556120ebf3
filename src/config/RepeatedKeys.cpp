#include "RepeatedKeys.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>

namespace configfile {

namespace {

// Well within the depth at which Qt's parser gives up on a text; a deeper
// text is left to the parser as it is.
constexpr int kMaxDepth = 512;

// How the parser tells keys apart. It compares keys as text, except that
// Qt 5 compares unescaped keys as C strings of the same length: two such keys
// holding a NUL byte are the same when they agree up to it. The tag keeps the
// two kinds of identity apart.
QString unescapedIdentity(const QByteArray& inner, const QString& text)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const int nul = inner.indexOf('\0');
    if (nul >= 0)
        return QStringLiteral("c%1:").arg(inner.size()) + QString::fromUtf8(inner.left(nul));
#else
    Q_UNUSED(inner)
#endif
    return QChar('t') + text;
}

class Scan {
public:
    explicit Scan(const QByteArray& text) : m_text(text) {}

    // The text with the earlier members blanked. Where the scan cannot follow
    // the text it stops; what it blanked before stays blanked, as each blanked
    // member was valid on its own.
    QByteArray result()
    {
        if (m_text.startsWith("\xEF\xBB\xBF"))  // the parser passes over a UTF-8 byte order mark
            m_pos = 3;
        skipBlanks();
        value(0);
        return m_text;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text.at(m_pos); }

    void skipBlanks()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_pos;
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
        while (!atEnd() && !std::strchr(",]} \t\n\r", peek()))
            ++m_pos;
        return m_pos > start;
    }

    bool string()
    {
        ++m_pos;
        while (!atEnd()) {
            const char c = m_text.at(m_pos++);
            if (c == '"')
                return true;
            if (c == '\\')
                ++m_pos;
        }
        return false;
    }

    // The key's identity (see unescapedIdentity), or none where the scan
    // leaves the judgement to the parser (such a member is never blanked);
    // false when the parser would not take the key.
    bool identityAt(int start, int end, std::optional<QString>* identity) const
    {
        const QByteArray inner = m_text.mid(start + 1, end - start - 2);
        if (!inner.contains('\\')) {
            const QString text = QString::fromUtf8(inner.constData(), inner.size());  // NUL bytes included
            if (text.toUtf8() == inner)
                *identity = unescapedIdentity(inner, text);
            else
                *identity = std::nullopt;  // not UTF-8: the parser refuses the text
            return true;
        }
        QJsonParseError error{};
        *identity = QChar('t') + QJsonDocument::fromJson('[' + m_text.mid(start, end - start) + ']', &error)
                                     .array()
                                     .at(0)
                                     .toString();
        return error.error == QJsonParseError::NoError;
    }

    // A member is blanked only when the parser takes it on its own, so that
    // blanking never hides a fault of the file.
    bool isValidMember(int start, int commaAt) const
    {
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
        QHash<QString, std::pair<int, int>> members;
        for (;;) {
            const int start = m_pos;
            std::optional<QString> key;
            if (peek() != '"' || !string() || !identityAt(start, m_pos, &key))
                return false;
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
            if (key) {
                const auto earlier = members.constFind(*key);
                if (earlier != members.constEnd()) {
                    if (!isValidMember(earlier->first, earlier->second - 1))
                        return false;
                    std::fill(m_text.begin() + earlier->first, m_text.begin() + earlier->second, ' ');
                }
                members.insert(*key, {start, m_pos});
            }
            if (last)
                return true;
            skipBlanks();
        }
    }

    QByteArray m_text;
    int m_pos = 0;
};

}  // namespace

QByteArray withoutRepeatedKeys(const QByteArray& text)
{
    // Without a repeated key (nearly always) the text is shared, not copied.
    return Scan(text).result();
}

}  // namespace configfile
