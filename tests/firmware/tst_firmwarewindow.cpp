// The firmware page of the main window against the virtual device: the
// version query, the upgrade with every answer the device may give, and the
// progress bar.

#include "E2e.h"
#include "RecordingDialogs.h"
#include "operations/Firmware.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(sim::Version)
Q_DECLARE_METATYPE(sim::Fault)

using sim::Fault;
using sim::FaultMatch;

namespace {

constexpr int kNoAnswer = -1;
constexpr int kNotWritten = -2;

}  // namespace

class FirmwareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { e2e::installVirtualBus(); }
    void cleanupTestCase() { HIDDevice::exit(); }
    void cleanup()
    {
        sim::VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
    }

    void query_data();
    void query();
    void failedQueryKeepsLabels_data();
    void failedQueryKeepsLabels();
    void notConnected();
    void upgradeAnswers_data();
    void upgradeAnswers();
    void noFileChosen();
    void progressFollowsBlocks();
    void markedImageChangesFirmwareVersion();
    void largeImage();

private:
    // A connected window with the recorded boxes and the device's trace emptied.
    std::unique_ptr<CorvelleRepeater> connect(sim::VirtualDevice& device)
    {
        auto window = e2e::connectedWindow();
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
        e2e::child<QLineEdit>(window, "lineEdit_file")->setText(path);
        e2e::click(window, "pushButton_update");
    }
    static QString label(const CorvelleRepeater& window, const char* name)
    {
        return e2e::child<QLabel>(window, name)->text();
    }
    static QProgressBar* bar(const CorvelleRepeater& window)
    {
        return e2e::child<QProgressBar>(window, "progressBar");
    }

    RecordingDialogs m_dialogs;
    QTemporaryDir m_dir;
};

void FirmwareWindowTest::query_data()
{
    QTest::addColumn<sim::Version>("bootloader");
    QTest::addColumn<sim::Version>("firmware");
    QTest::addColumn<QString>("bootloaderText");
    QTest::addColumn<QString>("firmwareText");
    QTest::newRow("1.2.3 and 2.10.0") << sim::Version{1, 2, 3} << sim::Version{2, 10, 0} << "V1.2.3"
                                      << "V2.10.0";
    QTest::newRow("unsigned bytes") << sim::Version{0, 0, 0} << sim::Version{255, 128, 9} << "V0.0.0"
                                    << "V255.128.9";
}

void FirmwareWindowTest::query()
{
    QFETCH(sim::Version, bootloader);
    QFETCH(sim::Version, firmware);
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    device.setBootloaderVersion(bootloader);
    device.setFirmwareVersion(firmware);
    auto window = connect(device);

    e2e::click(*window, "pushButton_query");
    QTEST(label(*window, "label_Bootloader"), "bootloaderText");
    QTEST(label(*window, "label_Firmware"), "firmwareText");
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(e2e::requestsHex(device), QStringList{"01150403" + QString(88, QLatin1Char('0'))});
}

void FirmwareWindowTest::failedQueryKeepsLabels_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("status 1") << Fault::status(1);
    QTest::newRow("no answer") << Fault::noAnswer();
    QTest::newRow("short answer") << Fault::shortAnswer(47);
}

void FirmwareWindowTest::failedQueryKeepsLabels()
{
    QFETCH(Fault, fault);
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    device.setBootloaderVersion({1, 2, 3});
    device.setFirmwareVersion({2, 10, 0});
    auto window = connect(device);
    e2e::click(*window, "pushButton_query");

    device.setFirmwareVersion({3, 0, 0});
    device.injectFault(FaultMatch::command(0x15, 0x04), fault);
    e2e::click(*window, "pushButton_query");
    QCOMPARE(label(*window, "label_Bootloader"), QStringLiteral("V1.2.3"));
    QCOMPARE(label(*window, "label_Firmware"), QStringLiteral("V2.10.0"));
    QCOMPARE(m_dialogs.texts(), QStringList{"query firmware info fail"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
}

void FirmwareWindowTest::notConnected()
{
    auto window = e2e::connectedWindow();
    QVERIFY(!window->isConnected());
    m_dialogs.clear();
    e2e::click(*window, "pushButton_query");
    upgrade(*window, writeImage("abc"));
    QCOMPARE(m_dialogs.texts(), (QStringList{"device not connect", "device not connect"}));
    QVERIFY(bar(*window)->isHidden());
    QVERIFY(e2e::child<QPushButton>(*window, "pushButton_update")->isEnabled());
}

void FirmwareWindowTest::upgradeAnswers_data()
{
    QTest::addColumn<int>("command");  // offset 2 of the request the fault hits; 0 none
    QTest::addColumn<int>("answer");   // the status given, kNoAnswer or kNotWritten
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("requests");  // 3 blocks: 5 requests when nothing stops
    QTest::newRow("all accepted") << 0 << 0 << "update success" << 5;
    QTest::newRow("length 1") << 0x01 << 1 << "file length wrong" << 1;
    QTest::newRow("length 2") << 0x01 << 2 << "wrong instruct" << 1;
    QTest::newRow("length 3") << 0x01 << 3 << "update success" << 5;
    QTest::newRow("length no answer") << 0x01 << kNoAnswer << "send fild length fail" << 1;
    QTest::newRow("length not written") << 0x01 << kNotWritten << "send fild length fail" << 1;
    QTest::newRow("block 1") << 0x02 << 1 << "transfer file fail" << 2;
    QTest::newRow("block 2") << 0x02 << 2 << "update success" << 5;
    QTest::newRow("block no answer") << 0x02 << kNoAnswer << "transfer file fail" << 2;
    QTest::newRow("block not written") << 0x02 << kNotWritten << "transfer file fail" << 2;
    QTest::newRow("checksum 1") << 0x03 << 1 << "send file checksum fail" << 5;
    QTest::newRow("checksum 2") << 0x03 << 2 << "update success" << 5;
    QTest::newRow("checksum no answer") << 0x03 << kNoAnswer << "send file checksum fail" << 5;
    QTest::newRow("checksum not written") << 0x03 << kNotWritten << "send file checksum fail" << 5;
}

void FirmwareWindowTest::upgradeAnswers()
{
    QFETCH(int, command);
    QFETCH(int, answer);
    QFETCH(QString, message);
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    auto window = connect(device);
    if (command != 0) {
        const Fault fault = answer == kNoAnswer     ? Fault::noAnswer()
                            : answer == kNotWritten ? Fault::writeFails()
                                                    : Fault::status(answer);
        device.injectFault(FaultMatch::command(0x15, command), fault);
    }

    upgrade(*window, writeImage(QByteArray(70, '\x5A')));
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QTEST(device.exchangeCount(), "requests");
    QVERIFY(e2e::child<QPushButton>(*window, "pushButton_update")->isEnabled());
    QVERIFY(!bar(*window)->isHidden());  // stays at its last value, also after a failure
}

void FirmwareWindowTest::noFileChosen()
{
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    auto window = connect(device);
    bar(*window)->setValue(50);
    QSignalSpy values(bar(*window), &QProgressBar::valueChanged);

    upgrade(*window, QString());
    QCOMPARE(m_dialogs.texts(), QStringList{"file open faild"});
    QVERIFY(!bar(*window)->isHidden());
    QCOMPARE(bar(*window)->value(), 0);
    QCOMPARE(values.count(), 1);
    QCOMPARE(device.exchangeCount(), 0);
    QVERIFY(e2e::child<QPushButton>(*window, "pushButton_update")->isEnabled());
}

// The bar follows the blocks on the window's own ticks and ends at the block count.
void FirmwareWindowTest::progressFollowsBlocks()
{
    constexpr int kBlocks = 400;
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    auto window = connect(device);
    upgrade(*window, writeImage(QByteArray(kBlocks * 32, '\x01')));
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QCOMPARE(bar(*window)->maximum(), kBlocks);
    QCOMPARE(bar(*window)->value(), kBlocks);
    QCOMPARE(bar(*window)->text(), QStringLiteral("400 / 400 blocks"));
}

void FirmwareWindowTest::markedImageChangesFirmwareVersion()
{
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    device.setFirmwareVersion({1, 0, 0});
    auto window = connect(device);
    e2e::click(*window, "pushButton_query");
    QCOMPARE(label(*window, "label_Firmware"), QStringLiteral("V1.0.0"));

    const QByteArray image = QByteArray(100, '\xA5') + sim::versionMarker({2, 4, 1}) + QByteArray(20, '\x3C');
    upgrade(*window, writeImage(image));
    e2e::click(*window, "pushButton_query");
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QCOMPARE(label(*window, "label_Firmware"), QStringLiteral("V2.4.1"));
    QCOMPARE(device.firmwareImage(), paddedImage(image));
}

void FirmwareWindowTest::largeImage()
{
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D3");
    auto window = connect(device);
    QByteArray image(256 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);

    upgrade(*window, writeImage(image));
    QCOMPARE(m_dialogs.texts(), QStringList{"update success"});
    QCOMPARE(bar(*window)->maximum(), 8192);
    QCOMPARE(bar(*window)->value(), 8192);
    QCOMPARE(device.exchangeCount(), 8192 + 2);
    QVERIFY(device.firmwareImage() == image);
}

QTEST_MAIN(FirmwareWindowTest)
#include "tst_firmwarewindow.moc"
