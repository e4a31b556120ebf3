// What is written comes back: for a model of every channel count of each
// family, the editors are changed, written, and a fresh window reads the
// same values from the device.
//
// A family-1 device stores fibre codes for 12 channels (the write request has
// room for no more) and routes among 4 CAN and 4 fibre ports; its editors
// only round-trip within those bounds, and only those values are compared.

#include "TransferTests.h"
#include "WindowTest.h"

#include "operations/FibreCodec.h"
#include "operations/RouteCodec.h"

using namespace e2e;

class RoundTripTest : public WindowTest {
    Q_OBJECT

private slots:
    void writtenConfigurationReadsBack_data();
    void writtenConfigurationReadsBack();
};

namespace {

struct Layout {
    int family;
    int nCAN;
    int nFibre;

    // The ports whose routes the device keeps.
    bool routeKept(int port) const
    {
        if (family == 2)
            return true;
        return port < nCAN ? port < route::kFamily1MaxCAN : port - nCAN < route::kFamily1MaxFibre;
    }
    int fibresKept() const { return family == 2 ? nFibre : qMin(nFibre, fibre::kFamily1MaxChannels); }
};

void setRate(CANParamWidget* editor, const char* combo, const char* edit, const char* text)
{
    if (QString::fromLatin1(text).startsWith(QLatin1String("0x"))) {
        selectRate(editor, combo, "custom");
        editorChild<QLineEdit>(editor, edit)->setText(QString::fromLatin1(text));
    } else {
        selectRate(editor, combo, text);
    }
}

void editClassicChannel(CANParamWidget* editor, int c)
{
    const char* rates[] = {"250K", "0x00abcdef", "1000K", "5K"};
    setRate(editor, "comboBoxBautRate", "lineEditBautRate", rates[c]);
    editor->clearFilters();
    editor->appendFilterRow({1, 0, QStringLiteral("12 34 56 78"), QStringLiteral("9a bc de f0")});
    if (c % 2 == 0)
        editor->appendFilterRow({0, 1, QStringLiteral("00 00 07 ff"), QStringLiteral("1f ff ff ff")});
}

void editCanFdChannel(CANParamWidget* editor, int c)
{
    const char* arbitration[] = {"250K", "0x00654321", "1000K", "125K"};
    const char* data[] = {"0x00123456", "2M", "4M", "1M"};
    editorChild<QComboBox>(editor, "comboBoxMode")->setCurrentIndex(c == 1 ? 0 : 1);
    editorChild<QComboBox>(editor, "comboBoxFD")->setCurrentIndex(c == 0 ? 1 : 0);
    setRate(editor, "comboBoxBautRate", "lineEditBautRate", arbitration[c]);
    setRate(editor, "comboBoxdatarate", "lineEditdatarate", data[c]);
    // Standard frames first: the device answers them before the extended ones.
    editor->clearFilters();
    editor->appendFilterRow({0, 0, QStringLiteral("00 00 01 00"), QStringLiteral("00 00 02 00")});
    if (c != 1)
        editor->appendFilterRow({0, 1, QStringLiteral("00 00 07 ff"), QStringLiteral("00 00 00 00")});
    editor->appendFilterRow({1, 2, QStringLiteral("12 34 56 78"), QStringLiteral("1f ff ff ff")});
}

void editFibres(const QWidget& w, const Layout& l)
{
    for (int i = 0; i < l.nFibre; ++i) {
        QComboBox* selector = fibreSelector(w, i);
        if (l.family == 1) {
            selector->setCurrentIndex((i + 3) % selector->count());
        } else if (i % 2 == 0) {
            selector->setCurrentIndex((i + 3) % fibre::kFamily2RateCount);  // a listed rate
        } else {
            selector->setCurrentIndex(fibre::kFamily2CustomIndex);
            fibreCustomEdit(w, i)->setText(QString::number(1000000 + i));
        }
    }
}

void editRoutes(const QWidget& w, const Layout& l)
{
    int last = l.nCAN + l.nFibre - 1;
    while (!l.routeKept(last))
        --last;
    routeCell(w, 0, 1)->setOn(false);
    routeCell(w, last, 0)->setOn(false);
    if (last > 1)
        routeCell(w, 1, last)->setOn(false);
}

QStringList snapshot(const QWidget& w, const Layout& l)
{
    QStringList s;
    for (int c = 0; c < l.nCAN; ++c) {
        CANParamWidget* e = canEditor(w, c);
        const QString channel = QStringLiteral("channel %1: ").arg(c + 1);
        s << channel + editorChild<QComboBox>(e, "comboBoxBautRate")->currentText() + QLatin1Char(' ') +
                 editorChild<QLineEdit>(e, "lineEditBautRate")->text();
        if (l.family == 2) {
            const int mode = e->modeIndex();
            s << channel + QStringLiteral("mode %1 fd %2").arg(mode).arg(e->fdIndex());
            if (mode == 1)  // a CAN channel's data phase is not sent
                s << channel + editorChild<QLineEdit>(e, "lineEditdatarate")->text();
        }
        for (const can::FilterRow& r : e->filterRows())
            s << channel +
                     QStringLiteral("filter %1 %2 %3 / %4").arg(r.kind).arg(r.mode).arg(r.idText, r.maskText);
    }
    for (int i = 0; i < l.fibresKept(); ++i) {
        s << QStringLiteral("fibre %1: %2 %3")
                 .arg(i + 1)
                 .arg(fibreSelector(w, i)->currentText(),
                      l.family == 2 ? fibreCustomEdit(w, i)->text() : QString());
    }
    const int ports = l.nCAN + l.nFibre;
    for (int src = 0; src < ports; ++src) {
        if (!l.routeKept(src))
            continue;
        QString row = QStringLiteral("routes of port %1: ").arg(src + 1);
        for (int d = 0; d < ports; ++d) {
            if (l.routeKept(d))
                row += routeCell(w, src, d)->isOn() ? QLatin1Char('1') : QLatin1Char('0');
        }
        s << row;
    }
    return s;
}

}  // namespace

void RoundTripTest::writtenConfigurationReadsBack_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    for (const char* m :
         {"Vantor-A1", "Vantor-A2", "Vantor-A3", "Vantor-A4", "Vantor-B4", "Vantor-B5", "Vantor-B8"})
        QTest::addRow("1:%s", m) << 1 << QString::fromLatin1(m);
    for (const char* m :
         {"Vantor-D1", "Vantor-D2", "Vantor-D3", "Vantor-D4", "Vantor-D5", "Vantor-D7", "Vantor-D8"})
        QTest::addRow("2:%s", m) << 2 << QString::fromLatin1(m);
}

void RoundTripTest::writtenConfigurationReadsBack()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    const models::Model* m = models::modelByName(model);
    const Layout layout{family, m->nCAN, m->nFiberOptic};
    plug(family, m->name);

    auto window = connectedWindow();
    const QStringList factory = snapshot(*window, layout);
    for (int c = 0; c < layout.nCAN; ++c)
        family == 1 ? editClassicChannel(canEditor(*window, c), c)
                    : editCanFdChannel(canEditor(*window, c), c);
    editFibres(*window, layout);
    editRoutes(*window, layout);
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    const QStringList written = snapshot(*window, layout);
    QVERIFY(written != factory);

    window.reset();
    m_dialogs.clear();
    window = connectedWindow();
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(snapshot(*window, layout), written);
}

QTEST_MAIN(RoundTripTest)
#include "tst_roundtrip.moc"
