// The window by keyboard and by screen reader: which controls take the focus
// and in what order, their names for assistive technology, the wheel that
// scrolls rather than edits, and the texts that follow a language switch.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "widgets/WheelGuard.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>

void CorvelleRepeater::setUpKeyboardAndNames()
{
    // The title bar is for the mouse: a Space meant for a device button must
    // never minimise or close the window. F10 opens the menu instead.
    for (QPushButton* button : {ui.pushButton_menu, ui.pushButton_min, ui.pushButton_close})
        button->setFocusPolicy(Qt::NoFocus);
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (ui.pushButton_menu->isEnabled())
            onShowMainMenu();
    });
    // The read-only texts are read by their labels; Tab skips them.
    ui.m_pLineEditDevName->setFocusPolicy(Qt::ClickFocus);
    ui.m_pLabelDevName->setBuddy(ui.m_pLineEditDevName);
    ui.scrollArea_fiber->setFocusPolicy(Qt::NoFocus);

    qApp->installEventFilter(new WheelGuard(this));
    WheelGuard::settle(this);

    // The page tabs, then the firmware page's controls (the other pages' are
    // built later and follow), the channel tabs, and the folder button that
    // sits inside the file field right after it, showing its focus.
    auto* pageTabs = ui.m_tabWidgetParam->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    auto* channelTabs = ui.tabWidget->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
    auto* file = findChild<QPushButton*>(QStringLiteral("pushButton_file"));
    if (pageTabs && channelTabs && file) {
        setTabOrder(pageTabs, ui.pushButton_query);
        setTabOrder(ui.pushButton_query, ui.lineEdit_file);
        setTabOrder(ui.lineEdit_file, file);
        setTabOrder(file, ui.pushButton_update);
        setTabOrder(ui.pushButton_update, channelTabs);
    }
    if (file) {
        file->setStyleSheet(
            QStringLiteral("QPushButton { background-color: rgb(255, 255, 255); border: none; }\n"
                           "QPushButton:focus { border: 2px solid palette(highlight); }"));
    }
    putCommandRowLast();
    nameControls();
}

// Reading order: the page tabs, the page's controls, then the command row.
// The editors are built after the form, so they join the focus chain behind
// the command row; it is moved back to the end after every build.
void CorvelleRepeater::putCommandRowLast()
{
    const QList<QWidget*> row{ui.m_pushButtonSaveToFile, ui.m_pushButtonReadFromFile, ui.m_pushButtonRead,
                              ui.m_pushButtonWrite, ui.m_pushButtonDefault};
    QWidget* last = nullptr;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        // A route cell that takes the focus only by click now may be the
        // matrix's Tab stop later; setTabOrder ignores widgets without focus.
        if (!row.contains(w) && w->focusPolicy() != Qt::NoFocus)
            last = w;
    }
    if (!last)
        return;
    setTabOrder(last, row.first());
    for (int i = 1; i < row.size(); ++i)
        setTabOrder(row[i - 1], row[i]);
}

void CorvelleRepeater::nameControls()
{
    ui.pushButton_menu->setAccessibleName(tr("Menu"));
    ui.pushButton_menu->setToolTip(tr("Menu (F10)"));
    ui.pushButton_min->setAccessibleName(tr("Minimise"));
    ui.pushButton_min->setToolTip(tr("Minimise"));
    ui.pushButton_close->setAccessibleName(tr("Close"));
    ui.pushButton_close->setToolTip(tr("Close"));
    ui.m_pLineEditDevName->setAccessibleName(ui.m_pLabelDevName->text().trimmed());
    if (m_pComboDevices)
        nameDeviceChooser();
    ui.m_tabWidgetParam->setAccessibleName(tr("Configuration pages"));
    ui.tabWidget->setAccessibleName(tr("CAN channels"));
    ui.tableWidgetRoute->setAccessibleName(tr("Routes"));
    ui.lineEdit_file->setAccessibleName(tr("Firmware file"));
    ui.progressBar->setAccessibleName(tr("Upgrade progress"));
    if (auto* file = findChild<QPushButton*>(QStringLiteral("pushButton_file"))) {
        file->setAccessibleName(tr("select file"));
        file->setToolTip(tr("select file"));
    }
}

void CorvelleRepeater::retranslateBuiltEditors()
{
    for (int i = 0; i < ui.tabWidget->count(); ++i)
        ui.tabWidget->setTabText(i, tr("channel%1").arg(i + 1));
    editors().fibres().retranslate();
    editors().routes().retranslate();
    nameControls();
}
