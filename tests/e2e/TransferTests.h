#pragma once
// Shared by the transfer tests: reports written as a reader checks them, the
// requests a device received since a point, and the editors' widgets by name.

#include "E2e.h"
#include "RecordingDialogs.h"

#include "editors/CANParamWidget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

namespace e2e {

constexpr int kFamily1Report = 17;
constexpr int kFamily2Report = 48;

// "00 12 a4 01 02" as the lower-case hexadecimal of a whole report: the bytes
// given, then zeros up to length.
inline QString report(const QString& spacedHex, int length)
{
    QString hex = QString(spacedHex).remove(QLatin1Char(' ')).toLower();
    while (hex.size() < 2 * length)
        hex += QLatin1String("00");
    return hex;
}

inline QString report1(const QString& spacedHex)
{
    return report(spacedHex, kFamily1Report);
}

inline QString report2(const QString& spacedHex)
{
    return report(spacedHex, kFamily2Report);
}

// Two hexadecimal digits, for reports built in a loop.
inline QString hex2(int byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}

// The requests from number `from` (from 0) on.
inline QStringList requestsSince(const sim::VirtualDevice& device, int from)
{
    return requestsHex(device).mid(from);
}

inline int requestCount(const sim::VirtualDevice& device)
{
    return device.requests().size();
}

inline bool anyRequestStartsWith(const QStringList& requests, const char* spacedHex)
{
    const QString prefix = QString::fromLatin1(spacedHex).remove(QLatin1Char(' ')).toLower();
    for (const QString& r : requests)
        if (r.startsWith(prefix))
            return true;
    return false;
}

template <typename T>
T* editorChild(CANParamWidget* editor, const char* name)
{
    return editor->findChild<T*>(QString::fromLatin1(name));
}

inline int filterRowCount(const QWidget& w, int channel)
{
    return canEditor(w, channel)->filterRows().size();
}

inline void selectRate(CANParamWidget* editor, const char* combo, const char* text)
{
    auto* box = editorChild<QComboBox>(editor, combo);
    box->setCurrentIndex(box->findText(QString::fromLatin1(text)));
}

// A sim fault matched by the first bytes of a request, written spaced.
inline sim::FaultMatch startingWith(const char* spacedHex)
{
    return sim::FaultMatch::requestStartingWith(QByteArray::fromHex(QByteArray(spacedHex)));
}

}  // namespace e2e
