// The window by keyboard and by screen reader: which controls take the focus
// and in what order, their names for assistive technology, the wheel that
// scrolls rather than edits, and the texts that follow a language switch.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "DevInfoWidget.h"
#include "widgets/WheelGuard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
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

    qApp->installEventFilter(new WheelGuard(this));
    WheelGuard::settle(this);

    // Reading order: the page tabs, the page, then the command row.
    setTabOrder(ui.m_pushButtonSaveToFile, ui.m_pushButtonReadFromFile);
    setTabOrder(ui.m_pushButtonReadFromFile, ui.m_pushButtonRead);
    setTabOrder(ui.m_pushButtonRead, ui.m_pushButtonWrite);
    setTabOrder(ui.m_pushButtonWrite, ui.m_pushButtonDefault);
    nameControls();
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
