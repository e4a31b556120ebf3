// What keeps a device's configuration and firmware from being overwritten by
// accident: no key acts on the main window as a dialog's keys would, every
// overwrite is asked for first, and the window goes on serving events while
// a long operation runs.

#include "E2e.h"

#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

using namespace e2e;

class SafetyTest : public WindowTest {
    Q_OBJECT

private slots:
    void enterAndEscAfterWrite();
    void questionAnswers_data();
    void questionAnswers();
    void upgradeServesEvents_data();
    void upgradeServesEvents();

private:
    QString image(const char* name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QLatin1String(name));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
};

// Closing "set up success" with Enter left the focus on Default, and a
// second Enter restored the defaults; Esc closed the window.
void SafetyTest::enterAndEscAfterWrite()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    window->show();
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    device.clearTrace();

    auto* defaults = child<QPushButton>(*window, "m_pushButtonDefault");
    defaults->setFocus();
    QTest::keyClick(defaults, Qt::Key_Return);
    QTest::keyClick(defaults, Qt::Key_Enter);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QVERIFY(device.requests().isEmpty());
    QVERIFY(m_dialogs.questions.isEmpty());
    QVERIFY(window->isVisible());
}

enum Case { ClassicDefault, Family2Default, InvalidTiming, FibreRate, UpgradeTextFile };
Q_DECLARE_METATYPE(Case)

void SafetyTest::questionAnswers_data()
{
    QTest::addColumn<Case>("action");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("sentOnYes");  // a request that "Yes" sends, its first bytes
    QTest::newRow("classic Default")
        << ClassicDefault
        << "Restore the defaults of Vantor-A2? The device's configuration will be overwritten."
        << "00 12 23 06 00 01 00 1c 00 e0";
    QTest::newRow("family-2 Default")
        << Family2Default
        << "Restore the defaults of Vantor-D3? The device's configuration will be overwritten."
        << "01 13 07 01 01 00 00";
    QTest::newRow("invalid bit timing")
        << InvalidTiming << "channel 1: 0xFFFFFFFF is not a valid bit timing. Write anyway?"
        << "00 12 23 06 00 01 ff ff ff ff 00";
    QTest::newRow("fibre rate of 12 bit/s")
        << FibreRate
        << "Fiber1: 12 bit/s is outside the rates the device runs (4800 to 6000000 bit/s). Write anyway?"
        << "01 13 06 01 10 01 00 00 00 00 00 00 0c";
    QTest::newRow("a text file as firmware")
        << UpgradeTextFile
        << "Warning: the file name does not end in \".bin\"; it may not be a firmware image.\n\n"
           "Upgrade the firmware of Vantor-D3 (now V2.1.0) with readme.txt: 6 bytes in 1 blocks? "
           "The device's firmware will be overwritten."
        << "01 15 01 2d 00 00 00 00 20";
}

// "No" sends nothing and leaves the editors as they were; "Yes" goes on as
// before the question existed.
void SafetyTest::questionAnswers()
{
    QFETCH(Case, action);
    const bool classic = action == ClassicDefault || action == InvalidTiming;
    sim::VirtualDevice& device = plug(classic ? 1 : 2, classic ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    auto* rate = child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate");
    const QString rateBefore = rate->currentText();
    switch (action) {
        case InvalidTiming:
            rate->setCurrentIndex(16);  // "custom", seeded with FFFFFFFF
            break;
        case FibreRate:
            fibreCustomEdit(*window, 0)->setText(QStringLiteral("12"));
            fibreSelector(*window, 0)->setCurrentIndex(fibreSelector(*window, 0)->count() - 1);
            break;
        case UpgradeTextFile:
            child<QLineEdit>(*window, "lineEdit_file")->setText(image("readme.txt", "hello\n"));
            break;
        default:
            break;
    }
    const char* button = action == InvalidTiming || action == FibreRate ? "m_pushButtonWrite"
                         : action == UpgradeTextFile                    ? "pushButton_update"
                                                                        : "m_pushButtonDefault";
    device.clearTrace();
    m_dialogs.questionAnswers << false;
    click(*window, button);
    QCOMPARE(m_dialogs.questions.size(), 1);
    QTEST(m_dialogs.questions.at(0).text, "question");
    QVERIFY(device.requests().isEmpty());
    QVERIFY(m_dialogs.texts().isEmpty());
    if (action != InvalidTiming)
        QCOMPARE(rate->currentText(), rateBefore);

    m_dialogs.questionAnswers << true;
    click(*window, button);
    QFETCH(QString, sentOnYes);
    QVERIFY2(countStartingWith(requestsHex(device), sentOnYes.toLatin1().constData()) > 0,
             qPrintable(requestsHex(device).join(QLatin1Char('\n'))));
}

void SafetyTest::upgradeServesEvents_data()
{
    QTest::addColumn<bool>("unplugMidway");
    QTest::addColumn<QString>("message");
    QTest::newRow("to the end") << false << "update success";
    QTest::newRow("device removed midway") << true << "transfer file fail";
}

// With 1 ms per answer the window's events run between the exchanges: no
// other operation starts, closing is refused, and a removal waits for the
// upgrade to stop instead of closing the handle under it.
void SafetyTest::upgradeServesEvents()
{
    QFETCH(bool, unplugMidway);
    constexpr int kBlocks = 200;
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.setInstantTimeouts(false);
    device.setLatency(1);
    device.clearTrace();
    child<QLineEdit>(*window, "lineEdit_file")->setText(image("fw.bin", QByteArray(kBlocks * 32, '\x5a')));

    bool servedMidway = false;
    QTimer observer;
    QObject::connect(&observer, &QTimer::timeout, [&] {
        const int exchanges = device.exchangeCount();
        if (servedMidway || exchanges < 10 || exchanges > kBlocks)
            return;
        servedMidway = true;
        click(*window, "m_pushButtonWrite");
        click(*window, "pushButton_close");
        if (unplugMidway)
            sim::VirtualBus::instance().unplug(2);
    });
    observer.start(0);
    click(*window, "pushButton_update");
    observer.stop();

    QVERIFY(servedMidway);
    QFETCH(QString, message);
    QCOMPARE(
        m_dialogs.texts(),
        (QStringList{"An operation on the device is running. Close the window when it has ended.", message}));
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 04"), 0);  // no write began
    QCoreApplication::sendPostedEvents();
    QCOMPARE(window->isConnected(), !unplugMidway);
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), unplugMidway ? 0 : 2);
}

QTEST_MAIN(SafetyTest)
#include "tst_safety.moc"
