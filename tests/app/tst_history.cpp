// The window's history: a record of each write, defaults and upgrade it sent,
// in the file corvelle-cli writes too, and the table from the menu.

#include "E2e.h"

#include "HistoryDialog.h"
#include "history/History.h"

#include <QAction>
#include <QCryptographicHash>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace e2e;

class WindowHistoryTest : public WindowTest {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        WindowTest::initTestCase();
        history::setFilePath(m_dir.filePath(QStringLiteral("history.jsonl")));
    }
    void cleanup()
    {
        WindowTest::cleanup();
        QFile::remove(history::filePath());
    }
    void theWindowRecordsWhatItSent_data();
    void theWindowRecordsWhatItSent();
    void anUnwritableHistoryIsToldOnce();

private:
    QTemporaryDir m_dir;
};

namespace {

QString sha256Of(const QString& fileName)
{
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
}

QString summary(const QJsonObject& r)
{
    QStringList fields;
    for (const char* key : {"program", "operation", "result", "model", "boardNumber"})
        fields << r.value(QLatin1String(key)).toString();
    return fields.join(QLatin1Char(' '));
}

}  // namespace

void WindowHistoryTest::theWindowRecordsWhatItSent_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("board");
    QTest::newRow("family 1") << 1 << "Vantor-A2"
                              << "SIM1000042";
    QTest::newRow("family 2") << 2 << "Vantor-D5"
                              << "SIM2000042";
}

void WindowHistoryTest::theWindowRecordsWhatItSent()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, board);
    plug(family, model.toLatin1().constData());
    const auto window = connectedWindow();
    click(*window, "m_pushButtonWrite");
    // The record's hash is that of the configuration as the window saves it.
    const QString saved = m_dir.filePath(QStringLiteral("saved.txt"));
    m_dialogs.fileAnswers << saved;
    click(*window, "m_pushButtonSaveToFile");
    click(*window, "m_pushButtonDefault");
    QStringList expected{QStringLiteral("corvelle-repeater write ok %1 %2").arg(model, board),
                         QStringLiteral("corvelle-repeater defaults ok %1 %2").arg(model, board)};
    const QString image = fileWith(m_dir.filePath(QStringLiteral("fw.bin")), QByteArray(100, '\x5a'));
    if (family == 2) {
        child<QLineEdit>(*window, "lineEdit_file")->setText(image);
        click(*window, "pushButton_update");
        expected << QStringLiteral("corvelle-repeater upgrade ok %1 %2").arg(model, board);
    }

    const QVector<QJsonObject> records = history::readAll();
    QStringList seen;
    for (const QJsonObject& r : records)
        seen << summary(r);
    QCOMPARE(seen, expected);
    QCOMPARE(records.at(0).value(QLatin1String("sha256")).toString(), sha256Of(saved));
    QCOMPARE(records.at(0).value(QLatin1String("file")).toString(), QString());
    if (family == 2) {
        QCOMPARE(records.at(2).value(QLatin1String("file")).toString(), image);
        QCOMPARE(records.at(2).value(QLatin1String("sha256")).toString(), sha256Of(image));
    }

    // The menu's table: newest first.
    window->actionHistory()->trigger();
    auto* dialog = window->findChild<HistoryDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QTableWidget* table = dialog->table();
    QCOMPARE(table->rowCount(), expected.size());
    QCOMPARE(table->item(0, 2)->text(), family == 2 ? QStringLiteral("upgrade") : QStringLiteral("defaults"));
    QCOMPARE(table->item(table->rowCount() - 1, 5)->text(), board);
    QVERIFY(!table->accessibleName().isEmpty());
    dialog->close();
}

void WindowHistoryTest::anUnwritableHistoryIsToldOnce()
{
    const QString blocker = fileWith(m_dir.filePath(QStringLiteral("blocker")), "a file, not a folder");
    history::setFilePath(blocker + QStringLiteral("/history.jsonl"));
    plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    click(*window, "m_pushButtonWrite");
    click(*window, "m_pushButtonWrite");
    history::setFilePath(m_dir.filePath(QStringLiteral("history.jsonl")));
    // The records are appended behind the writes; the warning follows them.
    QCOMPARE(m_dialogs.texts().filter(QStringLiteral("set up success")).size(), 2);
    QTRY_COMPARE(m_dialogs.texts().filter(QStringLiteral("could not be added to the history")).size(), 1);
    history::waitForPending();
    QCoreApplication::processEvents();
    QCOMPARE(m_dialogs.texts().filter(QStringLiteral("could not be added to the history")).size(), 1);
}

QTEST_MAIN(WindowHistoryTest)
#include "tst_history.moc"
