#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "AboutDialog.h"
#include "DevInfoWidget.h"
#include "HistoryDialog.h"
#include "OperationThread.h"
#include "ScopedDisable.h"
#include "device/HIDDevice.h"
#include "editors/CANParamWidget.h"
#include "history/History.h"
#include "widgets/CustomProgressIndicator.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalMapper>
#include <QTranslator>
#include <QVBoxLayout>

CorvelleRepeater::CorvelleRepeater(QWidget* parent)
    : AbsFrameLessAutoSize(parent),
      m_ui(std::make_unique<Ui::CorvelleRepeaterClass>()),
      ui(*m_ui),
      m_operationThread(std::make_unique<OperationThread>())
{
    ui.setupUi(this);
    m_pSignalMapper = new QSignalMapper();
    m_pMainMenu = new QMenu();
    createMenu();
    createChangesLabel();
    createPreparedConfiguration();
    addFirmwareFileButton();
    showFirmwareTabNoDevice();

    m_pDevInfoWidget = new DevInfoWidget(nullptr);
    m_bShowReadResult = true;

    connect(m_pActionAbout, &QAction::triggered, this, &CorvelleRepeater::onActionAbout);
    connect(m_pActionEN, &QAction::triggered, this, &CorvelleRepeater::onActionEN);
    connect(m_pActionZH, &QAction::triggered, this, &CorvelleRepeater::onActionZH);
    connect(m_pActionDeviceInfo, &QAction::triggered, this, &CorvelleRepeater::onActionDeviceInfo);
    connect(m_pActionHistory, &QAction::triggered, this, &CorvelleRepeater::onActionHistory);
    connect(this, &CorvelleRepeater::showName, this,
            [this](int nCAN, int nFiberOptic, const QString& strName, const QString& strDevType,
                   const QString& strDevVer, const QString& strFirmware, const QString& strCardNum) {
                whenIdle([=] {
                    m_strModel = strDevType;
                    m_strFirmware = strFirmware;
                    m_strBoardNumber = strCardNum;
                    m_strBoard = strCardNum;
                    onShowName(nCAN, nFiberOptic, strName, strDevType, strDevVer, strFirmware, strCardNum);
                });
            });

    placeProgressIndicator();
    setUpKeyboardAndNames();
    createDeviceChooser();
    ui.m_tabWidgetParam->setCurrentIndex(0);
    connect(this, &CorvelleRepeater::deviceChanged, this, [this](int type, int nType) {
        // The running operation must see at once that its device has gone.
        if (nType == 0 && m_bDeferDeviceEvents && !isAttached(m_strDevicePath))
            m_bConnected = false;
        whenIdle([=] { onDeviceChanged(type, nType); });
    });
    disarmDefaultButtons();

    m_pHidDevice = std::make_shared<HIDDevice>();
    searchDevice(-1);
    registerDeviceNotifications();
    chooseStartupLanguage();
}

CorvelleRepeater::~CorvelleRepeater()
{
    // A record still on its way may tell this window that it failed.
    history::waitForPending();
    if (m_pTranslator) {
        QCoreApplication::removeTranslator(m_pTranslator);
        delete m_pTranslator;
    }
    if (m_pQtTranslator) {
        QCoreApplication::removeTranslator(m_pQtTranslator);
        delete m_pQtTranslator;
    }
    delete m_pDevInfoWidget;
    delete m_pMainMenu;
    delete m_pSignalMapper;
}

void CorvelleRepeater::createMenu()
{
    m_pActionDeviceInfo = new QAction(tr("Device Info"), this);
    m_pActionAbout = new QAction(tr("About"), this);
    m_pActionZH = new QAction(QStringLiteral("中文"), this);
    m_pActionEN = new QAction(QStringLiteral("English"), this);
    m_pActionZH->setCheckable(true);
    m_pActionEN->setCheckable(true);

    m_pMainMenu->addAction(m_pActionDeviceInfo);
    m_pActionHistory = new QAction(HistoryDialog::menuText(), this);
    m_pActionHistory->setObjectName(QStringLiteral("actionHistory"));
    m_pMainMenu->addAction(m_pActionHistory);
    QMenu* language = m_pMainMenu->addMenu(QStringLiteral("Language"));
    language->addAction(m_pActionZH);
    language->addAction(m_pActionEN);
    m_pActionSaveLog = new QAction(tr("Save log..."), this);
    m_pActionSaveLog->setObjectName(QStringLiteral("actionSaveLog"));
    connect(m_pActionSaveLog, &QAction::triggered, this, &CorvelleRepeater::onActionSaveLog);
    m_pMainMenu->addAction(m_pActionSaveLog);
    m_pMainMenu->addSeparator();
    m_pMainMenu->addAction(m_pActionAbout);
}

void CorvelleRepeater::addFirmwareFileButton()
{
    auto* button = new QPushButton(this);
    m_pFirmwareFileButton = button;
    button->setObjectName(QStringLiteral("pushButton_file"));
    button->setIcon(QIcon(QStringLiteral(":/app/Resources/folder.png")));
    button->setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 255);border:none;"));
    button->setCursor(Qt::PointingHandCursor);
    auto* layout = new QHBoxLayout(ui.lineEdit_file);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    layout->addStretch(1);
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, &CorvelleRepeater::onFirmwareFileButtonClicked);
}

void CorvelleRepeater::placeProgressIndicator()
{
    // Shown in the title bar, left of the menu button, while a search is out.
    m_pProgressIndicator = new CustomProgressIndicator(nullptr);
    m_pProgressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    m_pProgressIndicator->setFixedSize(20, 20);
    m_pProgressIndicator->setColor(Qt::white);
    m_pProgressIndicator->setToolTip(tr("searching for the device"));
    ui.horizontalLayout->insertWidget(ui.horizontalLayout->indexOf(ui.pushButton_menu), m_pProgressIndicator);
    ui.horizontalLayout->insertSpacing(ui.horizontalLayout->indexOf(ui.pushButton_menu), 6);
    m_pProgressIndicator->hide();
}

void CorvelleRepeater::showInfo(const QString& text)
{
    userDialogs().information(this, tr("INFO"), text);
}

bool CorvelleRepeater::checkConnected(const QString& notConnectedText)
{
    if (m_bConnected)
        return true;
    showInfo(m_prepared ? preparedWaitingText() : notConnectedText);
    return false;
}

DeviceEditors CorvelleRepeater::editors() const
{
    return editorsFor(m_nCAN, m_nFiberOptic);
}

DeviceEditors CorvelleRepeater::editorsFor(int nCAN, int nFiberOptic) const
{
    return DeviceEditors(ui, m_pSignalMapper, nCAN, nFiberOptic, drive_type);
}

// Every editor built anew for m_nCAN and m_nFiberOptic, empty.
void CorvelleRepeater::rebuildEditors()
{
    removeCanTabs();
    buildCanTabs(m_nCAN);
    clearFibreGrid();
    buildFibreGrid(m_nFiberOptic);
    clearRouteTable();
    buildRouteTable();
}

void CorvelleRepeater::removeCanTabs()
{
    for (int i = ui.tabWidget->count() - 1; i >= 0; --i)
        delete ui.tabWidget->widget(i);
}

void CorvelleRepeater::buildCanTabs(int nCAN)
{
    for (int i = 1; i <= nCAN; ++i) {
        auto* page = new QWidget();
        ui.tabWidget->addTab(page, tr("channel%1").arg(i));
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new CANParamWidget(page, drive_type, m_nHardwareType));
    }
    disarmDefaultButtons();
    putCommandRowLast();
}

void CorvelleRepeater::clearFibreGrid()
{
    editors().fibres().clear();
}

void CorvelleRepeater::buildFibreGrid(int nFiberOptic)
{
    editorsFor(m_nCAN, nFiberOptic).fibres().build();
    putCommandRowLast();
}

void CorvelleRepeater::clearRouteTable()
{
    while (ui.tableWidgetRoute->rowCount() >= 1)
        ui.tableWidgetRoute->removeRow(0);
}

void CorvelleRepeater::buildRouteTable()
{
    editors().routes().build();
    putCommandRowLast();
}

// The window is a dialog, which would click its default button on Enter and
// close on Esc. Neither may happen here: Enter after closing a message box
// would start whatever button had the focus.
void CorvelleRepeater::disarmDefaultButtons()
{
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void CorvelleRepeater::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            AbsFrameLessAutoSize::keyPressEvent(event);
    }
}

void CorvelleRepeater::closeEvent(QCloseEvent* event)
{
    if (refuseCloseWhileBusy() ||
        ((m_bConnected || m_prepared) && !settleUnwrittenChanges(Replacing::Close))) {
        event->ignore();
        return;
    }
    AbsFrameLessAutoSize::closeEvent(event);
}

bool CorvelleRepeater::refuseCloseWhileBusy()
{
    if (!m_bOperationRunning)
        return false;
    showInfo(busyText());
    return true;
}

QString CorvelleRepeater::busyText()
{
    return tr("An operation on the device is running. Close the window when it has ended.");
}

bool CorvelleRepeater::confirm(const QString& text)
{
    return userDialogs().question(this, tr("Confirm"), text);
}

void CorvelleRepeater::showFirmwareTabNoDevice()
{
    ui.label_tips->show();
    ui.widget_update->hide();
    ui.widget_version->hide();
    ui.progressBar->hide();
}

void CorvelleRepeater::showFirmwareTabUpgrade()
{
    if (drive_type != 2)
        return;
    ui.label_tips->hide();
    ui.widget_version->show();
    ui.widget_update->show();
}

void CorvelleRepeater::onShowMainMenu()
{
    m_pMainMenu->exec(mapToGlobal(QPoint(width() - 121, 25)));
}

void CorvelleRepeater::onCloseWidget()
{
    if (!refuseCloseWhileBusy() &&
        ((!m_bConnected && !m_prepared) || settleUnwrittenChanges(Replacing::Close)))
        QCoreApplication::quit();
}

void CorvelleRepeater::onLeftDoubleClick()
{
    if (!isMaximized())
        showMaximized();
    else
        showNormal();
}

void CorvelleRepeater::onActionAbout()
{
    AboutDialog dialog(nullptr);
    dialog.exec();
}

void CorvelleRepeater::onActionDeviceInfo()
{
    if (!checkConnected(tr("device not connect")))
        return;
    m_pDevInfoWidget->show();
}

void CorvelleRepeater::on_fddevice_change(int)
{
}

void CorvelleRepeater::onCheckButtonClickedMapper(int index)
{
    editors().routes().applySwitch(index);
}

void CorvelleRepeater::on_pushButton_min_clicked()
{
    showMinimized();
}

void CorvelleRepeater::on_pushButton_close_clicked()
{
    onCloseWidget();
}

void CorvelleRepeater::on_pushButton_menu_clicked()
{
    onShowMainMenu();
}

// The fibre grid connects its selectors itself; this slot only keeps its name.
void CorvelleRepeater::on_comboBoxfilber_currentIndexChanged(QString)
{
}

void CorvelleRepeater::onFirmwareFileButtonClicked()
{
    ui.lineEdit_file->setText(
        userDialogs().openFileName(this, tr("select file"), QString(), tr("update file(*.bin)")));
}

void CorvelleRepeater::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && event->pos().y() < 33)
        onLeftDoubleClick();
}
