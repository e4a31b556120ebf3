// The firmware page against the virtual device: the version query, the
// upgrade's requests byte for byte, every answer the device may give, and the
// progress bar.

#include "E2e.h"

#include <QProgressBar>
#include <QTemporaryDir>

using namespace e2e;

namespace {

constexpr int kNoAnswer = -1;
constexpr int kNotWritten = -2;

}  // namespace

class FirmwareWindowTest : public WindowTest {
    Q_OBJECT

private slots:
    void query();
    void requestsOfAnUpgrade();
    void upgradeAnswers_data();
    void upgradeAnswers();
    void progressFollowsBlocks();
    void oneBlockAndNo();

private:
    // A connected window with the recorded boxes and the device's trace emptied.
    std::unique_ptr<CorvelleRepeater> connect(sim::VirtualDevice& device)
    {
        auto window = connectedWindow();
        m_dialogs.clear();
        device.clearTrace();
        return window;
    }
    QString writeImage(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("image.bin"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }
    void upgrade(const CorvelleRepeater& window, const QString& path)
    {
        child<QLineEdit>(window, "lineEdit_file")->setText(path);
        click(window, "pushButton_update");
    }
    static QString label(const CorvelleRepeater& window, const char* name)
    {
        return child<QLabel>(window, name)->text();
    }
    static QProgressBar* bar(const CorvelleRepeater& window)
    {
        return child<QProgressBar>(window, "progressBar");
    }

    QTemporaryDir m_dir;
};

void FirmwareWindowTest::query()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    device.setBootloaderVersion({1, 2, 3});
    device.setFirmwareVersion({255, 128, 9});
    auto window = connect(device);

    click(*window, "pushButton_query");
    QCOMPARE(label(*window, "label_Bootloader"), QStringLiteral("V1.2.3"));
    QCOMPARE(label(*window, "label_Firmware"), QStringLiteral("V255.128.9"));
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(requestsHex(device), QStringList{report2("01 15 04 03")});

    // A failed query keeps the labels.
    device.setFirmwareVersion({3, 0, 0});
    device.injectFault(sim::FaultMatch::command(0x15, 0x04), sim::Fault::shortAnswer(47));
    m_dialogs.clear();
    click(*window, "pushButton_query");
    QCOMPARE(label(*window, "label_Firmware"), QStringLiteral("V255.128.9"));
    QCOMPARE(m_dialogs.texts(), QStringList{"query firmware info fail"});
}

// 33 bytes: two blocks, the second filled with 31 zeros, and the CRC of the
// padded image.
void FirmwareWindowTest::requestsOfAnUpgrade()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    auto window = connect(device);
    QByteArray image;
    for (int i = 1; i <= 33; ++i)
        image += char(i);

    upgrade(*window, writeImage(image));
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QCOMPARE(requestsHex(device),
             (QStringList{report2("01 15 01 2d 00 00 00 00 40"),
                          report2("01 15 02 2d 00 00 00 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10"
                                  " 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f 20"),
                          report2("01 15 02 2d 00 00 00 01 21"), report2("01 15 03 2d 11 83")}));
    QCOMPARE(device.firmwareImage(), image + QByteArray(31, '\0'));
    QCOMPARE(bar(*window)->maximum(), 2);
    QCOMPARE(bar(*window)->value(), 2);
}

void FirmwareWindowTest::upgradeAnswers_data()
{
    QTest::addColumn<int>("command");  // offset 2 of the request the fault hits
    QTest::addColumn<int>("answer");   // the status given, kNoAnswer or kNotWritten
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("requests");  // 3 blocks: 5 requests when nothing stops
    QTest::newRow("length 1") << 0x01 << 1 << "file length wrong" << 1;
    QTest::newRow("length 2") << 0x01 << 2 << "wrong instruct" << 1;
    QTest::newRow("length 3") << 0x01 << 3 << "update success" << 5;
    QTest::newRow("length no answer") << 0x01 << kNoAnswer << "send fild length fail" << 1;
    QTest::newRow("block 1") << 0x02 << 1 << "transfer file fail" << 2;
    QTest::newRow("block 2") << 0x02 << 2 << "update success" << 5;
    QTest::newRow("checksum 1") << 0x03 << 1 << "send file checksum fail" << 5;
    QTest::newRow("checksum 2") << 0x03 << 2 << "update success" << 5;
    QTest::newRow("checksum not written") << 0x03 << kNotWritten << "send file checksum fail" << 5;
}

void FirmwareWindowTest::upgradeAnswers()
{
    QFETCH(int, command);
    QFETCH(int, answer);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    auto window = connect(device);
    const sim::Fault fault = answer == kNoAnswer     ? sim::Fault::noAnswer()
                             : answer == kNotWritten ? sim::Fault::writeFails()
                                                     : sim::Fault::status(answer);
    device.injectFault(sim::FaultMatch::command(0x15, command), fault);

    upgrade(*window, writeImage(QByteArray(70, '\x5A')));
    QTEST(m_dialogs.texts().value(0), "message");
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QTEST(device.exchangeCount(), "requests");
    QVERIFY(child(*window, "pushButton_update")->isEnabled());
    QVERIFY(!bar(*window)->isHidden());  // stays at its last value, also after a failure
}

// The bar ends on the last block, with its count; block numbers past 255
// take two bytes.
void FirmwareWindowTest::progressFollowsBlocks()
{
    constexpr int kBlocks = 400;
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    auto window = connect(device);
    const QByteArray image(kBlocks * 32, '\x01');
    upgrade(*window, writeImage(image));
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QCOMPARE(bar(*window)->maximum(), kBlocks);
    QCOMPARE(bar(*window)->value(), kBlocks);
    QCOMPARE(bar(*window)->text(), QStringLiteral("400 / 400 blocks"));
    QCOMPARE(device.firmwareImage(), image);
}

// "No" leaves no bar behind; a one-block image is asked and counted as one "block".
void FirmwareWindowTest::oneBlockAndNo()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    auto window = connect(device);
    window->show();
    const QString path = writeImage(QByteArray(32, '\x01'));
    m_dialogs.questionAnswers << false;
    upgrade(*window, path);
    QCOMPARE(m_dialogs.questions.size(), 1);
    QVERIFY(m_dialogs.questions.at(0).text.contains(QStringLiteral(": 32 bytes in 1 block?")));
    QVERIFY(bar(*window)->isHidden());
    QCOMPARE(device.exchangeCount(), 0);

    upgrade(*window, path);
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QVERIFY(!bar(*window)->isHidden());
    QCOMPARE(bar(*window)->text(), QStringLiteral("1 / 1 block"));
}

QTEST_MAIN(FirmwareWindowTest)
#include "tst_firmwarewindow.moc"
