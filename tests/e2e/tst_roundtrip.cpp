// What is written comes back: for a model of every channel count of each
// family, the editors are changed, written, and a fresh window reads the
// same values from the device. (A family-1 device keeps the routes of four
// CAN and four fibre ports only; its models of more fibres are left out.)

#include "E2e.h"

using namespace e2e;

class RoundTripTest : public WindowTest {
    Q_OBJECT

private slots:
    void writtenConfigurationReadsBack_data();
    void writtenConfigurationReadsBack();
};

namespace {

void setRate(CANParamWidget* editor, const char* combo, const char* edit, const char* text)
{
    if (QString::fromLatin1(text).startsWith(QLatin1String("0x"))) {
        selectRate(editor, combo, "custom");
        child<QLineEdit>(*editor, edit)->setText(QString::fromLatin1(text));
    } else {
        selectRate(editor, combo, text);
    }
}

void editChannel(CANParamWidget* editor, int family, int c)
{
    editor->clearFilters();
    if (family == 1) {
        const char* rates[] = {"250K", "0x00abcdef", "1000K", "5K"};
        setRate(editor, "comboBoxBautRate", "lineEditBautRate", rates[c]);
        editor->appendFilterRow({1, 0, QStringLiteral("12 34 56 78"), QStringLiteral("9a bc de f0")});
        if (c % 2 == 0)
            editor->appendFilterRow({0, 1, QStringLiteral("00 00 07 ff"), QStringLiteral("1f ff ff ff")});
        return;
    }
    const char* arbitration[] = {"250K", "0x00654321", "1000K", "125K"};
    const char* data[] = {"0x00123456", "2M", "4M", "1M"};
    child<QComboBox>(*editor, "comboBoxMode")->setCurrentIndex(c == 1 ? 0 : 1);
    child<QComboBox>(*editor, "comboBoxFD")->setCurrentIndex(c == 0 ? 1 : 0);
    setRate(editor, "comboBoxBautRate", "lineEditBautRate", arbitration[c]);
    setRate(editor, "comboBoxdatarate", "lineEditdatarate", data[c]);
    // Standard frames first: the device answers them before the extended ones.
    editor->appendFilterRow({0, 0, QStringLiteral("00 00 01 00"), QStringLiteral("00 00 02 00")});
    if (c != 1)
        editor->appendFilterRow({0, 1, QStringLiteral("00 00 07 ff"), QStringLiteral("00 00 00 00")});
    editor->appendFilterRow({1, 2, QStringLiteral("12 34 56 78"), QStringLiteral("1f ff ff ff")});
}

// A channel in mode "CAN" sends no data phase: its data rate is left out.
QStringList keptSnapshot(const QWidget& window)
{
    QStringList lines;
    for (const QString& line : editorSnapshot(window)) {
        if (!line.contains(QLatin1String("datarate")) ||
            canEditor(window, line.mid(3, 1).toInt())->modeIndex() != 0)
            lines << line;
    }
    return lines;
}

}  // namespace

void RoundTripTest::writtenConfigurationReadsBack_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    for (const char* m : {"Vantor-A1", "Vantor-A2", "Vantor-A3", "Vantor-A4", "Vantor-B8"})
        QTest::addRow("1:%s", m) << 1 << QString::fromLatin1(m);
    for (const char* m :
         {"Vantor-D1", "Vantor-D2", "Vantor-D3", "Vantor-D4", "Vantor-D5", "Vantor-D7", "Vantor-D8"})
        QTest::addRow("2:%s", m) << 2 << QString::fromLatin1(m);
}

void RoundTripTest::writtenConfigurationReadsBack()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    plug(family, model.toLatin1().constData());
    auto window = connectedWindow();
    const QStringList factory = keptSnapshot(*window);
    for (int c = 0; CANParamWidget* e = canEditor(*window, c); ++c)
        editChannel(e, family, c);
    for (int i = 0; QComboBox* selector = fibreSelector(*window, i); ++i) {
        if (family == 1 || i % 2 == 0) {
            selector->setCurrentIndex((i + 3) %
                                      (selector->count() - (family == 1 ? 0 : 1)));  // a listed rate
        } else {
            selector->setCurrentIndex(selector->count() - 1);  // "custom"
            fibreCustomEdit(*window, i)->setText(QString::number(1000000 + i));
        }
    }
    const int last = child<QTableWidget>(*window, "tableWidgetRoute")->rowCount() - 2;
    routeCell(*window, 0, 1)->setOn(false);
    routeCell(*window, last, 0)->setOn(false);
    if (last > 1)
        routeCell(*window, 1, last)->setOn(false);
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    const QStringList written = keptSnapshot(*window);
    QVERIFY(written != factory);

    window.reset();
    m_dialogs.clear();
    window = connectedWindow();
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(keptSnapshot(*window), written);
}

QTEST_MAIN(RoundTripTest)
#include "tst_roundtrip.moc"
