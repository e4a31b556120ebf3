// Nothing overwrites a device by accident: no dialog keys on the main window,
// every overwrite asked for first, events served while a long operation runs.

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
    QTemporaryDir m_dir;
};

// Enter and Esc after a write's box neither restore the defaults nor close the window.
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

void SafetyTest::questionAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("family");  // Vantor-A2 or Vantor-D3
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("sentOnYes");  // a request that "Yes" sends, its first bytes
    QTest::newRow("classic Default")
        << "m_pushButtonDefault" << 1
        << "Restore the defaults of Vantor-A2? The device's configuration will be overwritten."
        << "00 12 23 06 00 01 00 1c 00 e0";
    QTest::newRow("family-2 Default")
        << "m_pushButtonDefault" << 2
        << "Restore the defaults of Vantor-D3? The device's configuration will be overwritten."
        << "01 13 07 01 01 00 00";
    QTest::newRow("invalid bit timing")
        << "m_pushButtonWrite" << 1 << "channel 1: 0xFFFFFFFF is not a valid bit timing. Write anyway?"
        << "00 12 23 06 00 01 ff ff ff ff 00";
    QTest::newRow("fibre rate of 12 bit/s")
        << "m_pushButtonWrite" << 2
        << "Fiber1: 12 bit/s is outside the rates the device runs (4800 to 6000000 bit/s). Write anyway?"
        << "01 13 06 01 10 01 00 00 00 00 00 00 0c";
    QTest::newRow("a text file as firmware")
        << "pushButton_update" << 2
        << "Warning: the file name does not end in \".bin\"; it may not be a firmware image.\n\n"
           "Upgrade the firmware of Vantor-D3 (now V2.1.0) with readme.txt: 6 bytes in 1 block? "
           "The device's firmware will be overwritten."
        << "01 15 01 2d 00 00 00 00 20";
}

// "No" sends nothing and leaves the editors as they were; "Yes" goes on as
// before the question existed.
void SafetyTest::questionAnswers()
{
    QFETCH(QString, button);
    QFETCH(int, family);
    sim::VirtualDevice& virtualDevice = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    auto* rate = child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate");
    const QString rateBefore = rate->currentText();
    const QByteArray tag = QTest::currentDataTag();
    if (tag == "invalid bit timing")
        rate->setCurrentIndex(16);  // "custom", seeded with FFFFFFFF
    if (tag == "fibre rate of 12 bit/s") {
        fibreCustomEdit(*window, 0)->setText(QStringLiteral("12"));
        fibreSelector(*window, 0)->setCurrentIndex(fibreSelector(*window, 0)->count() - 1);
    }
    child<QLineEdit>(*window, "lineEdit_file")->setText(fileWith(m_dir.filePath("readme.txt"), "hello\n"));
    virtualDevice.clearTrace();
    // A write's doubts join the list of changes shown before it.
    const bool write = button == QLatin1String("m_pushButtonWrite");
    m_dialogs.questionAnswers << false;
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    click(*window, button.toLatin1().constData());
    QFETCH(QString, question);
    if (write) {
        QVERIFY(m_dialogs.questions.isEmpty());
        QCOMPARE(m_dialogs.choices.size(), 1);
        QVERIFY2(m_dialogs.choices.at(0).text.endsWith(QStringLiteral("\n\n") + question),
                 qPrintable(m_dialogs.choices.at(0).text));
    } else {
        QCOMPARE(m_dialogs.questions.size(), 1);
        QCOMPARE(m_dialogs.questions.at(0).text, question);
    }
    QVERIFY(virtualDevice.requests().isEmpty());
    QVERIFY(m_dialogs.texts().isEmpty());
    if (tag != "invalid bit timing")
        QCOMPARE(rate->currentText(), rateBefore);

    m_dialogs.questionAnswers << true;
    m_dialogs.choiceAnswers.clear();
    m_dialogs.choiceAnswers << QStringLiteral("Write");
    click(*window, button.toLatin1().constData());
    QFETCH(QString, sentOnYes);
    QVERIFY2(countStartingWith(requestsHex(virtualDevice), sentOnYes.toLatin1().constData()) > 0,
             qPrintable(requestsHex(virtualDevice).join(QLatin1Char('\n'))));
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
    window->show();
    child<QLineEdit>(*window, "lineEdit_file")
        ->setText(fileWith(m_dir.filePath(QStringLiteral("fw.bin")), QByteArray(kBlocks * 32, '\x5a')));

    bool servedMidway = false;
    bool closedMidway = true;
    int shownBlocks = 0;
    int shownRange = 0;
    QTimer observer;
    auto* bar = child<QProgressBar>(*window, "progressBar");
    QObject::connect(&observer, &QTimer::timeout, [&] {
        const int exchanges = device.exchangeCount();
        // The bar follows the blocks while they go out.
        if (exchanges > 10 && exchanges < kBlocks - 10 && bar->value() > shownBlocks) {
            shownBlocks = bar->value();
            shownRange = bar->maximum();
        }
        if (servedMidway || exchanges < 10 || exchanges > kBlocks)
            return;
        servedMidway = true;
        click(*window, "m_pushButtonWrite");
        click(*window, "pushButton_close");
        // The window system's close, as the title bar of another desktop sends it.
        closedMidway = window->close();
        if (unplugMidway)
            sim::VirtualBus::instance().unplug(2);
    });
    observer.start(0);
    m_dialogs.clear();
    click(*window, "pushButton_update");
    observer.stop();

    QVERIFY(servedMidway);
    QVERIFY(!closedMidway);
    QVERIFY(window->isVisible());
    if (!unplugMidway) {
        QVERIFY2(shownBlocks > 0, "the progress bar never moved while the blocks went out");
        QCOMPARE(shownRange, kBlocks);
    }
    QCOMPARE(m_dialogs.questions.size(), 1);  // fw.bin: the one question, no warning
    QVERIFY(m_dialogs.questions.at(0).text.startsWith(
        "Upgrade the firmware of Vantor-D3 (now V2.1.0) with fw.bin"));
    QFETCH(QString, message);
    const QString refused = "An operation on the device is running. Close the window when it has ended.";
    QCOMPARE(m_dialogs.texts(), (QStringList{refused, refused, message}));
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 04"), 0);  // no write began
    QCoreApplication::sendPostedEvents();
    QCOMPARE(window->isConnected(), !unplugMidway);
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), unplugMidway ? 0 : 2);
}

QTEST_MAIN(SafetyTest)
#include "tst_safety.moc"
