#include "Trace.h"

namespace sim {

QString Trace::requestLine(const QByteArray& bytes)
{
    return QStringLiteral("> ") + QString::fromLatin1(bytes.toHex(' '));
}

QString Trace::answerLine(const QByteArray& bytes)
{
    return QStringLiteral("< ") + QString::fromLatin1(bytes.toHex(' '));
}

QString Trace::eventLine(const QString& text)
{
    return QStringLiteral("# ") + text;
}

void Trace::add(const QString& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.push_back(line);
    if (m_lines.size() > kMaxLines)
        m_lines.pop_front();
    if (m_file.isOpen()) {
        m_file.write(line.toUtf8() + '\n');
        m_file.flush();
    }
}

QStringList Trace::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QStringList copy;
    copy.reserve(int(m_lines.size()));
    for (const QString& line : m_lines)
        copy << line;
    return copy;
}

void Trace::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

void Trace::setFile(const QString& fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_file.close();
    if (fileName.isEmpty())
        return;
    m_file.setFileName(fileName);
    m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

}  // namespace sim
