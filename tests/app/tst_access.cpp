// The window by keyboard, by screen reader and by wheel, and the language
// switch on a built device page: real windows on the virtual devices, driven
// by key and wheel events.

#include "E2e.h"

#include "app/DevInfoWidget.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QWheelEvent>

using namespace e2e;

class AccessTest : public WindowTest {
    Q_OBJECT

private slots:
    void tabLeavesTheFilterTable();
    void routeCellsByKeyboard();
    void wheelChangesNothingUnfocused();
    void everyControlHasAName_data();
    void everyControlHasAName();
    void chineseLeavesNoEnglishText();

private:
    std::unique_ptr<CorvelleRepeater> shownWindow(int family, const char* model);
};

namespace {

QWidget* focused()
{
    return QApplication::focusWidget();
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), key, modifiers);
}

// One notch down over the middle of w.
void wheelOver(QWidget* w)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent notch(local, w->mapToGlobal(local.toPoint()), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &notch);
}

bool interactive(const QWidget* w)
{
    return w->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(w);
}

// The name assistive technology reads: the one set on the widget, else the
// one its interface makes up (a button's text, a buddy label's text). On
// Linux a combo box's interface gives its current text as the name and
// leaves the label to a relation, so the name set on the widget is taken.
QString accessibleName(QWidget* w)
{
    if (!w->accessibleName().isEmpty())
        return w->accessibleName();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// Shows each page of the window and of its CAN tabs in turn, calling look on each.
template <typename Look>
void onEveryPage(CorvelleRepeater& window, Look look)
{
    auto* pages = child<QTabWidget>(window, "m_tabWidgetParam");
    auto* channels = child<QTabWidget>(window, "tabWidget");
    for (int p = 0; p < pages->count(); ++p) {
        pages->setCurrentIndex(p);
        const int inner = p == 0 ? channels->count() : 1;
        for (int c = 0; c < inner; ++c) {
            if (p == 0)
                channels->setCurrentIndex(c);
            QCoreApplication::processEvents();
            look();
        }
    }
}

QList<QWidget*> visibleWidgets(QWidget& window)
{
    QList<QWidget*> out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->isVisibleTo(&window))
            out << w;
    }
    return out;
}

// The texts a visible widget shows.
QStringList shownTexts(QWidget* w)
{
    QStringList texts;
    if (auto* label = qobject_cast<QLabel*>(w))
        texts << label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        texts << button->text() << button->toolTip();
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        texts << combo->currentText();
    else if (auto* bar = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < bar->count(); ++i)
            texts << bar->tabText(i);
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
        for (int c = 0; c < table->columnCount(); ++c) {
            if (const QTableWidgetItem* h = table->horizontalHeaderItem(c))
                texts << h->text();
        }
    }
    texts << w->accessibleName();
    return texts;
}

}  // namespace

std::unique_ptr<CorvelleRepeater> AccessTest::shownWindow(int family, const char* model)
{
    plug(family, model);
    auto window = connectedWindow();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the window did not become active");
    return window;
}

// Tab goes from the filter table through its row's combo boxes to "+" and
// "-" and on to the command row; Shift+Tab leaves the table backwards.
void AccessTest::tabLeavesTheFilterTable()
{
    const auto window = shownWindow(2, "Vantor-D5");
    CANParamWidget* editor = canEditor(*window, 0);
    auto* table = child<QTableWidget>(*editor, "tableWidgetDatalist");
    QCOMPARE(table->rowCount(), 1);
    child<QTabWidget>(*window, "m_tabWidgetParam")->setCurrentIndex(0);
    auto* dataRate = child<QWidget>(*editor, "lineEditdatarate");
    dataRate->setFocus();
    QStringList seen;
    for (int i = 0; i < 6; ++i) {
        pressKey(Qt::Key_Tab);
        seen << accessibleName(focused());
    }
    // The table hands its focus to the combo box of its current cell.
    QCOMPARE(seen, (QStringList{"Bit-timing calculator", "Filter 1: Type", "Filter 1: Mode",
                                "Add a filter row", "Remove the selected filter rows", "Save"}));

    // The firmware page in reading order, from the page tabs to the command row.
    auto* pages = child<QTabWidget>(*window, "m_tabWidgetParam");
    pages->setCurrentIndex(3);
    pages->setFocus();
    seen.clear();
    for (int i = 0; i < 5; ++i) {
        pressKey(Qt::Key_Tab);
        seen << focused()->objectName();
    }
    QCOMPARE(seen, (QStringList{"pushButton_query", "lineEdit_file", "pushButton_file", "pushButton_update",
                                "m_pushButtonSaveToFile"}));
    pages->setCurrentIndex(0);

    child<QWidget>(*editor, "pushButtonAdd")->setFocus();
    for (int i = 0; i < 5 && focused() != dataRate; ++i)
        pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(focused(), child<QWidget>(*editor, "lineEditdatarate"));
}

// A route cell takes the focus, toggles by Space, moves by the arrow keys
// over the disabled same-port cell, and says its name and state.
void AccessTest::routeCellsByKeyboard()
{
    const auto window = shownWindow(2, "Vantor-D5");
    child<QTabWidget>(*window, "m_tabWidgetParam")->setCurrentIndex(2);
    CheckButton* cell = routeCell(*window, 0, 1);
    cell->setFocus();
    QCOMPARE(focused(), cell);
    QCOMPARE(cell->accessibleName(), QStringLiteral("CAN1 → CAN2, on"));

    pressKey(Qt::Key_Space);
    QVERIFY(!cell->isOn());
    QCOMPARE(cell->accessibleName(), QStringLiteral("CAN1 → CAN2, off"));
    QVERIFY(QAccessible::queryAccessibleInterface(cell)->state().checkable);
    QVERIFY(!QAccessible::queryAccessibleInterface(cell)->state().checked);
    pressKey(Qt::Key_Return);  // Enter is no toggle
    QVERIFY(!cell->isOn());

    pressKey(Qt::Key_Down);
    QCOMPARE(focused(), routeCell(*window, 2, 1));  // over CAN2 → CAN2
    pressKey(Qt::Key_Left);
    pressKey(Qt::Key_Left);
    const auto* onOff = child<QTableWidget>(*window, "tableWidgetRoute")->cellWidget(3, 0);
    QCOMPARE(focused(), onOff);
    QCOMPARE(accessibleName(focused()), QStringLiteral("Fiber1 ON/OFF, on"));
    pressKey(Qt::Key_Space);
    for (int d = 0; d < 4; ++d)
        QVERIFY(!routeCell(*window, 2, d)->isOn() && !routeCell(*window, d, 2)->isOn());

    // Tab leaves the matrix after one cell rather than visiting each, for the command row.
    pressKey(Qt::Key_Tab);
    QCOMPARE(focused(), child<QWidget>(*window, "m_pushButtonSaveToFile"));
}

// Over a scrolled page, a wheel notch on a combo box, a spin box or a route
// cell without the focus scrolls the page and changes no value; the same
// notch on a focused combo box does change it.
void AccessTest::wheelChangesNothingUnfocused()
{
    const auto window = shownWindow(2, "Vantor-D5");
    window->resize(window->minimumSize());
    QCoreApplication::processEvents();
    const QStringList before = editorSnapshot(*window);
    child<QWidget>(*window, "m_pushButtonRead")->setFocus();

    QList<QWidget*> guarded;
    onEveryPage(*window, [&] {
        for (QWidget* w : visibleWidgets(*window)) {
            if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                qobject_cast<CheckButton*>(w))
                guarded << w;
        }
    });
    QVERIFY(guarded.size() > 20);
    auto* pages = child<QTabWidget>(*window, "m_tabWidgetParam");
    auto* channels = child<QTabWidget>(*window, "tabWidget");
    for (QWidget* w : guarded) {
        for (int p = 0; p < pages->count(); ++p) {
            if (pages->widget(p)->isAncestorOf(w))
                pages->setCurrentIndex(p);
        }
        for (int c = 0; c < channels->count(); ++c) {
            if (channels->widget(c)->isAncestorOf(w))
                channels->setCurrentIndex(c);
        }
        wheelOver(w);
    }
    QCOMPARE(editorSnapshot(*window), before);

    // The CAN page scrolled instead.
    pages->setCurrentIndex(0);
    channels->setCurrentIndex(0);
    auto* area = child<QScrollArea>(*canEditor(*window, 0), "scrollArea");
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
    area->verticalScrollBar()->setValue(0);
    wheelOver(child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate"));
    QVERIFY(area->verticalScrollBar()->value() > 0);

    auto* rate = child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate");
    const int index = rate->currentIndex();
    rate->setFocus();
    wheelOver(rate);
    QCOMPARE(rate->currentIndex(), index + 1);
}

void AccessTest::everyControlHasAName_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("chinese");
    QTest::newRow("2:Vantor-D5, English") << 2 << "Vantor-D5" << false;
    QTest::newRow("2:Vantor-D5, Chinese") << 2 << "Vantor-D5" << true;
    QTest::newRow("1:Vantor-A2, English") << 1 << "Vantor-A2" << false;
    QTest::newRow("1:Vantor-A2, Chinese") << 1 << "Vantor-A2" << true;
}

// Every control the keyboard or the pointer reaches has a name for assistive
// technology, on every page; route cells tell their checked state.
void AccessTest::everyControlHasAName()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(bool, chinese);
    const auto window = shownWindow(family, model.toLatin1().constData());
    if (chinese) {
        window->actionZH()->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
    QStringList unnamed;
    int cells = 0;
    onEveryPage(*window, [&] {
        for (QWidget* w : visibleWidgets(*window)) {
            if (!interactive(w))
                continue;
            if (accessibleName(w).isEmpty())
                unnamed << QStringLiteral("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
            if (auto* cell = qobject_cast<CheckButton*>(w)) {
                ++cells;
                const QAccessible::State state = QAccessible::queryAccessibleInterface(cell)->state();
                if (!state.checkable || bool(state.checked) != cell->isOn())
                    unnamed << QStringLiteral("state of ") + cell->accessibleName();
            }
        }
    });
    unnamed.removeDuplicates();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    QVERIFY(cells > 0);
}

// After the switch to Chinese no English word is left on a page already
// built. English on purpose: port names (CAN1, Fiber1), the modes "CAN" and
// "CANFD", "FD", "ISO", "ID", the matrix corner's "RX" and "TX", the rates and register texts, units
// (kbit/s), the model and board names, and "Corvelle" in the title.
void AccessTest::chineseLeavesNoEnglishText()
{
    const auto window = shownWindow(2, "Vantor-D5");
    window->actionZH()->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    const QRegularExpression allowed(
        QStringLiteral("CANFD|CAN\\d*|Fiber\\d+|ISO|FD|\\bID\\b|0x[0-9A-Fa-f]+|[kM]?bit/"
                       "s|Vantor-\\w+|SIM\\d+|Corvelle|RX|TX|\\d+[KM]?\\b"));
    const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    QStringList english;
    onEveryPage(*window, [&] {
        for (QWidget* w : visibleWidgets(*window)) {
            for (QString text : shownTexts(w)) {
                text.remove(allowed);
                if (word.match(text).hasMatch())
                    english << QStringLiteral("%1: %2").arg(w->objectName(), text);
            }
        }
    });
    english.removeDuplicates();
    QVERIFY2(english.isEmpty(), qPrintable(english.join(QLatin1Char('\n'))));

    // The device-information window too, which Esc closes.
    DevInfoWidget* info = window->devInfoWidget();
    window->actionDeviceInfo()->trigger();
    QVERIFY(info->isVisible());
    QCOMPARE(info->windowTitle(), QStringLiteral("设备信息"));
    QCOMPARE(child<QLabel>(*info, "m_labelCardNum")->text(), QStringLiteral("板卡编号："));
    QTest::keyClick(info, Qt::Key_Escape);
    QVERIFY(!info->isVisible());
}

QTEST_MAIN(AccessTest)
#include "tst_access.moc"
