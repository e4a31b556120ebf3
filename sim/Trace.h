#pragma once
// The virtual device's record of the traffic: one line per report, "> " and
// the bytes the host wrote, "< " and the bytes delivered to it, "# " and a
// text for events. Each byte is two lower-case hexadecimal digits, the bytes
// separated by single spaces. Thread-safe.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>

namespace sim {

class Trace {
public:
    static QString requestLine(const QByteArray& bytes);
    static QString answerLine(const QByteArray& bytes);
    static QString eventLine(const QString& text);

    void add(const QString& line);
    QStringList lines() const;
    void clear();

    // Appends every later line to this file, flushed per line; an empty name stops it.
    void setFile(const QString& fileName);

private:
    static constexpr std::size_t kMaxLines = 1u << 18;  // a long firmware upgrade stays bounded

    mutable std::mutex m_mutex;
    std::deque<QString> m_lines;
    QFile m_file;
};

}  // namespace sim
