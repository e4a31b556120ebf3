#include "HistoryDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString text(const QJsonObject& record, const char* key)
{
    return record.value(QLatin1String(key)).toString();
}

QString localTime(const QString& stored)
{
    const QDateTime time = QDateTime::fromString(stored, Qt::ISODateWithMs);
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : stored;
}

}  // namespace

HistoryDialog::HistoryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HistoryDialog"));
    setWindowTitle(tr("History"));
    resize(900, 420);

    m_pTable = new QTableWidget(this);
    m_pTable->setObjectName(QStringLiteral("tableWidgetHistory"));
    m_pTable->setAccessibleName(tr("History of writes, defaults and upgrades"));
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setAlternatingRowColors(true);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    const QStringList headers{tr("Time"),  tr("Program"),      tr("Operation"),  tr("Device"),
                              tr("Model"), tr("Board number"), tr("Firmware"),   tr("Result"),
                              tr("File"),  tr("SHA-256"),      tr("Differences")};
    m_pTable->setColumnCount(headers.size());
    m_pTable->setHorizontalHeaderLabels(headers);

    m_pFileLabel = new QLabel(this);
    m_pFileLabel->setObjectName(QStringLiteral("labelHistoryFile"));
    m_pFileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("buttonClose"));
    close->setText(tr("Close"));
    close->setAccessibleName(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable);
    layout->addWidget(m_pFileLabel);
    layout->addWidget(buttons);
}

void HistoryDialog::setRecords(const QVector<QJsonObject>& records, const QString& fileName,
                               const QString& error)
{
    m_pTable->setRowCount(records.size());
    int row = 0;
    for (auto it = records.crbegin(); it != records.crend(); ++it, ++row) {
        const QJsonObject& r = *it;
        QStringList differences;
        for (const QJsonValue& value : r.value(QLatin1String("differences")).toArray()) {
            const QJsonObject d = value.toObject();
            differences << tr("%1 %2: written %3, read back %4")
                               .arg(text(d, "channel"), text(d, "field"), text(d, "written"),
                                    text(d, "readBack"));
        }
        const QString result = text(r, "result");
        QString resultShown = result == QLatin1String("ok")          ? tr("ok")
                              : result == QLatin1String("different") ? tr("different")
                              : result == QLatin1String("failed")    ? tr("failed")
                                                                     : result;
        if (!text(r, "message").isEmpty())
            resultShown += QStringLiteral(": ") + text(r, "message");
        const QString operation = text(r, "operation");
        const QString operationShown = operation == QLatin1String("write")      ? tr("write")
                                       : operation == QLatin1String("defaults") ? tr("defaults")
                                       : operation == QLatin1String("upgrade")  ? tr("upgrade")
                                                                                : operation;
        const QStringList cells{localTime(text(r, "time")),
                                text(r, "program") + QLatin1Char(' ') + text(r, "version"),
                                operationShown,
                                text(r, "device"),
                                text(r, "model"),
                                text(r, "boardNumber"),
                                text(r, "firmware"),
                                resultShown,
                                text(r, "file"),
                                text(r, "sha256"),
                                differences.join(QStringLiteral("; "))};
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells.at(column));
            item->setToolTip(column == cells.size() - 1 ? differences.join(QLatin1Char('\n'))
                                                        : cells.at(column));
            m_pTable->setItem(row, column, item);
        }
    }
    m_pTable->resizeColumnsToContents();
    if (!error.isEmpty())
        m_pFileLabel->setText(tr("The history cannot be read: %1").arg(error));
    else if (records.isEmpty())
        m_pFileLabel->setText(tr("No writes, defaults or upgrades yet. History file: %1").arg(fileName));
    else
        m_pFileLabel->setText(tr("History file: %1").arg(fileName));
}

QString HistoryDialog::unwritableText(const QString& why)
{
    return tr("The operation is done, but it could not be added to the history: %1").arg(why);
}

QString HistoryDialog::menuText()
{
    return tr("History");
}
