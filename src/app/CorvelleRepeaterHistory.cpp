// The history of what the window sent: one record per write, defaults and
// upgrade, and the table of all records from the menu.

#include "CorvelleRepeater.h"

#include "HistoryDialog.h"
#include "MainThreadCalls.h"
#include "history/History.h"
#include "widgets/UserDialogs.h"

#include <QFileInfo>

namespace {

// The history is read by people on any system: the English text.
QString englishText(const UserMessage& message)
{
    QString s = QString::fromLatin1(message.text);
    for (const QString& a : message.args)
        s = s.arg(a);
    return s;
}

}  // namespace

// The record is appended behind the operation, which does not wait for the
// disk; a history that cannot be written is told once, on the window thread.
void CorvelleRepeater::recordHistory(const QString& operation, const TransferResult& result,
                                     const QString& file, std::function<QByteArray()> content)
{
    history::Record r;
    r.program = QStringLiteral("corvelle-repeater");
    r.operation = operation;
    r.devicePath = m_strDevicePath;  // as corvelle-cli list names it
    r.model = m_strModel;
    r.boardNumber = m_strBoardNumber;
    r.firmware = m_strFirmware;
    r.file = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    r.result = result.ok ? QStringLiteral("ok") : QStringLiteral("failed");
    r.message = result.message.isEmpty() ? QString() : englishText(result.message);
    history::appendLater(std::move(r), std::move(content), [this](const QString& error) {
        // The window waits for the history before it goes: it is still here.
        callOnMainThread([this, error] {
            if (m_bHistoryWarned)
                return;
            m_bHistoryWarned = true;
            userDialogs().warning(this, tr("INFO"), HistoryDialog::unwritableText(error));
        });
    });
}

void CorvelleRepeater::onActionHistory()
{
    QString error;
    const QVector<QJsonObject> records = history::readAll(&error);
    auto* dialog = new HistoryDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setRecords(records, history::filePath(), error);
    dialog->show();
}
