#pragma once
// The tool's one window: title bar, menu, the four pages and the command row.
// It owns the device object and the connection state; every user action
// arrives here as a slot and is handed to the part that does the work.

#include "ui_CorvelleRepeater.h"
#include "widgets/AbsFrameLessAutoSize.h"

#include <QString>

#include <atomic>
#include <memory>

class CustomProgressIndicator;
class DevInfoWidget;
class HIDDevice;
class QAction;
class QMenu;
class QSignalMapper;
class QTranslator;

class CorvelleRepeater : public AbsFrameLessAutoSize {
    Q_OBJECT

public:
    explicit CorvelleRepeater(QWidget* parent = nullptr);
    ~CorvelleRepeater() override;

    // Runs on a search thread: −1 searches for the stored drive_type.
    void searchDevice(int type);

    void removeCanTabs();
    void buildCanTabs(int nCAN);
    void clearFibreGrid();
    void buildFibreGrid(int nFiberOptic);
    void clearRouteTable();
    void buildRouteTable();
    void showFirmwareTabNoDevice();
    void showFirmwareTabUpgrade();
    // Reads the whole configuration into the editors; quiet about success
    // while m_bShowReadResult is clear.
    void readConfig();

    bool isConnected() const { return m_bConnected; }
    int driveType() const { return drive_type; }
    bool isSearching() const { return m_bSearching; }
    QMenu* mainMenu() const { return m_pMainMenu; }
    QAction* actionEN() const { return m_pActionEN; }
    QAction* actionZH() const { return m_pActionZH; }
    QAction* actionAbout() const { return m_pActionAbout; }
    QAction* actionDeviceInfo() const { return m_pActionDeviceInfo; }
    CustomProgressIndicator* progressIndicator() const { return m_pProgressIndicator; }
    DevInfoWidget* devInfoWidget() const { return m_pDevInfoWidget; }

signals:
    void showName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                  QString strFirmware, QString strCardNum);
    void deviceChanged(int drive_type, int nType);

public slots:
    void onShowMainMenu();
    void onCloseWidget();
    void onLeftDoubleClick();
    void onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType, QString strDevVer,
                    QString strFirmware, QString strCardNum);
    void onActionEN();
    void onActionZH();
    void onActionAbout();
    void onActionDeviceInfo();
    void onDeviceChanged(int drive_type, int nType);
    void on_fddevice_change(int nType);
    void onCheckButtonClickedMapper(int index);

private slots:
    void on_pushButton_min_clicked();
    void on_pushButton_close_clicked();
    void on_pushButton_menu_clicked();
    void on_m_pushButtonSaveToFile_clicked();
    void on_m_pushButtonReadFromFile_clicked();
    void on_m_pushButtonRead_clicked();
    void on_m_pushButtonWrite_clicked();
    void on_m_pushButtonDefault_clicked();
    void on_comboBoxfilber_currentIndexChanged(QString str);
    void on_pushButton_query_clicked();
    void on_pushButton_update_clicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    using NativeEventResult = qintptr;
#else
    using NativeEventResult = long;
#endif
    bool nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result) override;

private:
    void createMenu();
    void addFirmwareFileButton();
    void placeProgressIndicator();
    void registerDeviceNotifications();
    void chooseStartupLanguage();
    void installLanguage(const QString& catalogue);
    void startSearch(int type);
    void showInfo(const QString& text);
    bool checkConnected(const QString& notConnectedText);
    void onFirmwareFileButtonClicked();

    // Configuration file
    void saveConfigFile();
    void writeConfigFile(const QString& caption, const QString& failText);
    void loadConfigFile(const QString& fileName);

    // Device transfer: 0 on success, -1 after the failure was told.
    int readFDConfig();
    int writeFDConfig();
    void sendDefaultCommand();

    Ui::CorvelleRepeaterClass ui;
    QSignalMapper* m_pSignalMapper = nullptr;
    CustomProgressIndicator* m_pProgressIndicator = nullptr;
    DevInfoWidget* m_pDevInfoWidget = nullptr;
    std::shared_ptr<HIDDevice> m_pHidDevice;
    // drive_type and m_nHardwareType are written by the search thread.
    std::atomic<int> drive_type{0};
    bool m_bConnected = false;
    int m_nCAN = 0;
    int m_nFiberOptic = 0;
    std::atomic<int> m_nHardwareType{0};
    QMenu* m_pMainMenu = nullptr;
    void* m_hDevNotify = nullptr;
    QAction* m_pActionAbout = nullptr;
    QAction* m_pActionEN = nullptr;
    QAction* m_pActionZH = nullptr;
    QAction* m_pActionDeviceInfo = nullptr;
    QTranslator* m_pTranslator = nullptr;
    bool m_bShowReadResult = true;

    // One search at a time: an arrival during a search is remembered and
    // started when the outstanding result comes in, which is then stale.
    bool m_bSearching = false;
    int m_nPendingSearch = -1;
    std::atomic<bool> m_bAccessDenied{false};
};
