#pragma once
// The history of writes, defaults and upgrades as a table, newest first.

#include <QDialog>
#include <QJsonObject>
#include <QVector>

class QLabel;
class QTableWidget;

class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    explicit HistoryDialog(QWidget* parent = nullptr);

    // The records shown, oldest first as the file holds them.
    void setRecords(const QVector<QJsonObject>& records, const QString& fileName, const QString& error);
    QTableWidget* table() const { return m_pTable; }

    // What the window tells when the history cannot be written.
    static QString unwritableText(const QString& why);
    static QString menuText();

private:
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pFileLabel = nullptr;
};
