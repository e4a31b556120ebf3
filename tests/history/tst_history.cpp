// The history file: one whole line per record, also from eight threads at
// once; the oldest records go past the cap; a file that cannot be written is
// an error message, never a crash.

#include "history/History.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

class HistoryTest : public QObject {
    Q_OBJECT

private slots:
    void init() { history::setFilePath(m_dir.filePath(QStringLiteral("h/history.jsonl"))); }
    void cleanup() { QFile::remove(history::filePath()); }
    void aRecordIsOneLineOfItsFields();
    void eightThreadsAppendAtOnce();
    void aDamagedLineCostsOnlyItself_data();
    void aDamagedLineCostsOnlyItself();
    void theOldestRecordsGoPastTheCap();
    void anUnwritableFileIsAnError();

private:
    QTemporaryDir m_dir;
};

namespace {

history::Record recordOf(const QString& board)
{
    history::Record r;
    r.program = QStringLiteral("corvelle-cli");
    r.operation = QStringLiteral("write");
    r.devicePath = QStringLiteral("/dev/hidraw3");
    r.model = QStringLiteral("Vantor-D5");
    r.boardNumber = board;
    r.firmware = QStringLiteral("V1.02");
    r.file = QStringLiteral("/line/golden.txt");
    r.sha256 = history::sha256Hex("golden");
    r.result = QStringLiteral("different");
    r.differences = {{QStringLiteral("CAN1"), QStringLiteral("BaudRate"), QStringLiteral("0x001C00E0"),
                      QStringLiteral("0x00120005")}};
    return r;
}

QByteArray fileBytes()
{
    QFile file(history::filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

void HistoryTest::aRecordIsOneLineOfItsFields()
{
    QCOMPARE(history::append(recordOf(QStringLiteral("B-1"))), QString());
    const QByteArray bytes = fileBytes();
    QCOMPARE(bytes.count('\n'), 1);
    QVERIFY(bytes.endsWith('\n'));
    const QVector<QJsonObject> records = history::readAll();
    QCOMPARE(records.size(), 1);
    QJsonObject r = records.first();
    QVERIFY(QDateTime::fromString(r.take(QStringLiteral("time")).toString(), Qt::ISODateWithMs).isValid());
    const QJsonObject expected{{"program", "corvelle-cli"},
                               {"version", CORVELLE_VERSION},
                               {"operation", "write"},
                               {"device", "/dev/hidraw3"},
                               {"model", "Vantor-D5"},
                               {"boardNumber", "B-1"},
                               {"firmware", "V1.02"},
                               {"file", "/line/golden.txt"},
                               {"sha256", "dd56de4137951d9c92681b03416ec15f886b4482a27e3a517d32f085244cbe5d"},
                               {"result", "different"},
                               {"differences", QJsonArray{QJsonObject{{"channel", "CAN1"},
                                                                      {"field", "BaudRate"},
                                                                      {"written", "0x001C00E0"},
                                                                      {"readBack", "0x00120005"}}}}};
    QCOMPARE(r, expected);
    QCOMPARE(history::sha256Hex("abc"),
             QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

void HistoryTest::eightThreadsAppendAtOnce()
{
    constexpr int kThreads = 8;
    constexpr int kEach = 40;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures] {
            for (int n = 0; n < kEach; ++n) {
                if (!history::append(recordOf(QStringLiteral("B%1-%2").arg(t).arg(n))).isEmpty())
                    ++failures;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    QCOMPARE(int(failures), 0);
    const QByteArray bytes = fileBytes();
    QCOMPARE(bytes.count('\n'), kThreads * kEach);
    QSet<QString> boards;
    for (const QJsonObject& r : history::readAll())
        boards.insert(r.value(QStringLiteral("boardNumber")).toString());
    QCOMPARE(boards.size(), kThreads * kEach);  // every record whole, none lost or torn
}

void HistoryTest::aDamagedLineCostsOnlyItself_data()
{
    QTest::addColumn<QByteArray>("damage");
    QTest::newRow("cut short") << QByteArray("{\"boardNumber\":\"torn");
    QTest::newRow("not JSON") << QByteArray("garbage\n");
    QTest::newRow("an array") << QByteArray("[1, 2]\n");
}

void HistoryTest::aDamagedLineCostsOnlyItself()
{
    QFETCH(QByteArray, damage);
    QCOMPARE(history::append(recordOf(QStringLiteral("before"))), QString());
    {
        QFile file(history::filePath());
        QVERIFY(file.open(QIODevice::Append));
        file.write(damage);
    }
    QCOMPARE(history::append(recordOf(QStringLiteral("after"))), QString());
    QStringList boards;
    for (const QJsonObject& r : history::readAll())
        boards << r.value(QStringLiteral("boardNumber")).toString();
    QCOMPARE(boards, QStringList({"before", "after"}));
}

void HistoryTest::theOldestRecordsGoPastTheCap()
{
    const QByteArray line =
        QJsonDocument(history::toJson(recordOf(QStringLiteral("old")))).toJson(QJsonDocument::Compact) + '\n';
    QDir().mkpath(QFileInfo(history::filePath()).absolutePath());
    {
        QFile file(history::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        while (file.size() + 4 * line.size() <= history::kMaxBytes)
            file.write(line);
    }
    // Up to the cap every record is kept; the append that passes it drops the oldest.
    qint64 size = fileBytes().size();
    int n = 0;
    for (;; ++n) {
        QCOMPARE(history::append(recordOf(QStringLiteral("new%1").arg(n))), QString());
        const qint64 now = fileBytes().size();
        if (now < size)
            break;
        QVERIFY(now > size);
        size = now;
        QVERIFY(n < 10);
    }
    QVERIFY(size + line.size() > history::kMaxBytes);
    const QByteArray bytes = fileBytes();
    QVERIFY2(bytes.size() <= history::kKeepBytes, qPrintable(QString::number(bytes.size())));
    QVERIFY(bytes.size() > history::kKeepBytes - 2 * line.size());
    const QVector<QJsonObject> records = history::readAll();
    QCOMPARE(records.size(), bytes.count('\n'));  // whole lines only
    for (int i = 0; i <= n; ++i) {
        QCOMPARE(records.at(records.size() - 1 - n + i).value(QStringLiteral("boardNumber")).toString(),
                 QStringLiteral("new%1").arg(i));
    }
}

void HistoryTest::anUnwritableFileIsAnError()
{
    // A folder that is a file: unwritable even for root.
    const QString blocker = m_dir.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    history::setFilePath(blocker + QStringLiteral("/history.jsonl"));
    const QString error = history::append(recordOf(QStringLiteral("B-1")));
    QVERIFY2(error.contains(blocker), qPrintable(error));
    QString readError;
    QVERIFY(history::readAll(&readError).isEmpty());
}

QTEST_GUILESS_MAIN(HistoryTest)
#include "tst_history.moc"
