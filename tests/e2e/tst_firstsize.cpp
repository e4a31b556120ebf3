// Every page readable at the window's first size, 596 x 435: the filter table
// keeps three rows with usable buttons, the fibre rows keep their height, the
// route matrix keeps its port names whole.

#include "E2e.h"

using namespace e2e;

class FirstSizeTest : public WindowTest {
    Q_OBJECT

private slots:
    void pagesKeepTheirMinimumSizes_data();
    void pagesKeepTheirMinimumSizes();
};

void FirstSizeTest::pagesKeepTheirMinimumSizes_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("language");  // as Config.ini stores it: 0 Chinese, 1 English
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2" << 1;
    QTest::newRow("2:Vantor-D3") << 2 << "Vantor-D3" << 1;
    QTest::newRow("2:Vantor-D5") << 2 << "Vantor-D5" << 1;
    QTest::newRow("2:Vantor-D5 Chinese") << 2 << "Vantor-D5" << 0;
}

void FirstSizeTest::pagesKeepTheirMinimumSizes()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(int, language);
    plug(family, model.toLatin1().constData());
    writeLanguageId(QString::number(language));
    CorvelleRepeater window;
    settle();
    window.resize(596, 435);
    window.show();
    auto* pages = child<QTabWidget>(window, "m_tabWidgetParam");

    // The CAN FD rows shown, where the device has them: the tallest editor.
    pages->setCurrentIndex(0);
    CANParamWidget* editor = canEditor(window, 0);
    if (family == 2)
        child<QComboBox>(*editor, "comboBoxMode")->setCurrentIndex(1);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    auto* filters = child<QTableWidget>(*editor, "tableWidgetDatalist");
    QVERIFY2(filters->viewport()->height() >= 3 * filters->rowHeight(0),
             qPrintable(QString::number(filters->viewport()->height())));
    for (const char* name : {"pushButtonAdd", "pushButtonDown"}) {
        const auto* button = child<QPushButton>(*editor, name);
        QVERIFY(button->height() >= button->sizeHint().height());
    }
    const auto* kinds = qobject_cast<QComboBox*>(filters->cellWidget(0, 0));
    QVERIFY(filters->columnWidth(0) >= kinds->sizeHint().width());

    pages->setCurrentIndex(1);
    QCoreApplication::processEvents();
    for (int i = 0; const QComboBox* selector = fibreSelector(window, i); ++i) {
        QVERIFY(selector->height() >= selector->sizeHint().height());
        if (i > 0)
            QVERIFY(selector->y() > fibreSelector(window, i - 1)->geometry().bottom());
    }

    pages->setCurrentIndex(2);
    QCoreApplication::processEvents();
    auto* routes = child<QTableWidget>(window, "tableWidgetRoute");
    for (int c = 0; c < routes->columnCount(); ++c) {
        if (const QTableWidgetItem* name = routes->item(0, c)) {
            const int needed = routes->fontMetrics().horizontalAdvance(name->text()) + 8;
            QVERIFY2(routes->columnWidth(c) >= needed, qPrintable(name->text()));
        }
    }
}

QTEST_MAIN(FirstSizeTest)
#include "tst_firstsize.moc"
