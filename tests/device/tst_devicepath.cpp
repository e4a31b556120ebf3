#include "device/DevicePath.h"

#include <QtTest>

class TestDevicePath : public QObject {
    Q_OBJECT
private slots:
    void familyOfDevicePath_data();
    void familyOfDevicePath();
};

void TestDevicePath::familyOfDevicePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("family");
    const QString guid = QStringLiteral("#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    QTest::newRow("windows family 1") << "\\\\?\\HID#VID_0483&PID_6901#7&1a2b3c&0&0000" + guid << 1;
    QTest::newRow("windows family 2") << "\\\\?\\HID#VID_34B7&PID_0101#7&1a2b3c&0&0000" + guid << 2;
    QTest::newRow("linux, ids in upper case") << devicePathFor("/dev/hidraw7", 0x34b7, 0x101) << 2;
    QTest::newRow("lower-case ids") << "\\\\?\\HID#VID_34b7&PID_0101#7&1" + guid << 0;
    QTest::newRow("lower-case markers") << "\\\\?\\hid#vid_0483&pid_6901#7&1" + guid << 0;
    QTest::newRow("no HID") << "\\\\?\\USB#VID_0483&PID_6901#7&1" + guid << 0;
    QTest::newRow("ids of two families") << "\\\\?\\HID#VID_0483&PID_0101#7&1" + guid << 0;
    QTest::newRow("first VID counts") << "HID VID_1234 VID_0483&PID_6901" << 0;
    QTest::newRow("ids cut short") << "HID VID_048" << 0;
    QTest::newRow("a node name cannot supply the ids")
        << devicePathFor("/dev/VID_0483&PID_6901", 0x1234, 0x5678) << 0;
}

void TestDevicePath::familyOfDevicePath()
{
    QFETCH(QString, path);
    QTEST(::familyOfDevicePath(path), "family");
}

QTEST_GUILESS_MAIN(TestDevicePath)
#include "tst_devicepath.moc"
