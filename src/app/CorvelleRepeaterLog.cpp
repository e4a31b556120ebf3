// The log in the main window: a failure is logged with the exchange that
// failed and offers to open the log's folder; the menu saves the log to a file.

#include "CorvelleRepeater.h"

#include "device/HIDDevice.h"
#include "log/LogCategories.h"
#include "log/LogFile.h"
#include "widgets/UserDialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QHash>
#include <QUrl>

namespace {

void logFailure(const QString& text, const HIDDevice& device)
{
    qCWarning(lcOperation).noquote()
        << QStringLiteral("%1, after\n%2").arg(text, QString::fromStdString(device.lastExchange()));
}

}  // namespace

void CorvelleRepeater::showFailure(const QString& text)
{
    logFailure(text, *m_pHidDevice);
    if (userDialogs().informationWithAction(this, tr("INFO"), text, tr("Open log folder")))
        QDesktopServices::openUrl(QUrl::fromLocalFile(corvellelog::logDirectory()));
}

void CorvelleRepeater::showFailure(const UserMessage& message)
{
    QString english = QString::fromUtf8(message.text);
    for (const QString& a : message.args)
        english = english.arg(a);
    logFailure(english, *m_pHidDevice);
    if (userDialogs().informationWithAction(this, tr("INFO"), message.translated(), tr("Open log folder")))
        QDesktopServices::openUrl(QUrl::fromLocalFile(corvellelog::logDirectory()));
}

void CorvelleRepeater::onActionSaveLog()
{
    const QString name = userDialogs().saveFileName(
        this, tr("save log"), QStringLiteral("corvelle-repeater.log"), tr("Log(*.log *.txt)"));
    if (name.isEmpty())
        return;
    QString error;
    if (!corvellelog::saveLog(name, &error))
        userDialogs().warning(this, tr("INFO"), tr("save log fail: ") + error);
}

void CorvelleRepeater::retranslateLogTexts()
{
    m_pActionSaveLog->setText(tr("Save log..."));
}

QString CorvelleRepeater::operationName(const QObject* button)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("m_pushButtonRead"), QStringLiteral("read")},
        {QStringLiteral("m_pushButtonWrite"), QStringLiteral("write")},
        {QStringLiteral("m_pushButtonDefault"), QStringLiteral("defaults")},
        {QStringLiteral("m_pushButtonSaveToFile"), QStringLiteral("save to file")},
        {QStringLiteral("m_pushButtonReadFromFile"), QStringLiteral("open file")},
        {QStringLiteral("pushButton_query"), QStringLiteral("firmware query")},
        {QStringLiteral("pushButton_update"), QStringLiteral("upgrade")}};
    if (!qobject_cast<const QAbstractButton*>(button))
        return QStringLiteral("read");
    return names.value(button->objectName(), button->objectName());
}
