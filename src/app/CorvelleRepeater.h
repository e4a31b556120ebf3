#pragma once
// The tool's one window: title bar, menu, the four pages and the command row.
// It owns the device object and the connection state; every user action
// arrives here as a slot and is handed to the part that does the work.

#include "ChangeMarks.h"
#include "DeviceEditors.h"
#include "config/Validation.h"
#include "operations/ConfigTransfer.h"
#include "widgets/AbsFrameLessAutoSize.h"

#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class CustomProgressIndicator;
class DevInfoWidget;
class HIDDevice;
class OperationThread;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSignalMapper;
class QTimer;
class QTranslator;
struct SearchResult;
namespace models {
struct Model;
}
namespace Ui {
class CorvelleRepeaterClass;
}

class CorvelleRepeater : public AbsFrameLessAutoSize {
    Q_OBJECT

public:
    explicit CorvelleRepeater(QWidget* parent = nullptr);
    ~CorvelleRepeater() override;

    // Starts a search on a new detached thread: −1 searches for the stored
    // drive_type. Its result comes back to the GUI thread and ends in showName.
    void searchDevice(int type);

    void rebuildEditors();
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
    // A device or file operation is under way; no other may start.
    bool isOperationRunning() const { return m_bOperationRunning; }
    int driveType() const { return drive_type; }
    bool isSearching() const { return m_bSearching; }
    QMenu* mainMenu() const { return m_pMainMenu; }
    QAction* actionEN() const { return m_pActionEN; }
    QAction* actionZH() const { return m_pActionZH; }
    QAction* actionAbout() const { return m_pActionAbout; }
    QAction* actionDeviceInfo() const { return m_pActionDeviceInfo; }
    QAction* actionHistory() const { return m_pActionHistory; }
    QAction* actionShowChanges() const { return m_pActionShowChanges; }
    QAction* actionCompare() const { return m_pActionCompare; }
    CustomProgressIndicator* progressIndicator() const { return m_pProgressIndicator; }
    // Compares the editors with the baseline (the configuration last read
    // from or written to the device), marks every field that differs and
    // shows their number; gives that number. Edits call it a moment later.
    int refreshChanges();
    // The configuration the editors are compared with; empty without a device.
    const config::Configuration& baseline() const { return m_baseline; }
    DevInfoWidget* devInfoWidget() const { return m_pDevInfoWidget; }
    // A configuration prepared for a model without a device (File > New configuration).
    QAction* actionNewConfiguration() const { return m_pActionNewConfiguration; }
    bool isPrepared() const { return m_prepared != nullptr; }

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
    void onActionHistory();
    void onDeviceChanged(int drive_type, int nType);
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
    void on_pushButton_query_clicked();
    void on_pushButton_update_clicked();
    void onEditorEdited();
    void onActionShowChanges(bool on);
    void onActionCompare();

public:
    // Kept by name for the places that name them; plain functions rather than
    // slots, so that the by-name connection of the form has nothing to match.
    void on_fddevice_change(int nType);
    void on_comboBoxfilber_currentIndexChanged(QString str);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    using NativeEventResult = qintptr;
#else
    using NativeEventResult = long;
#endif
    bool nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result) override;

private:
    enum class EventPass { Skip, Run };
    // What an operation needs: the device, or only editors (a prepared configuration will do).
    enum class Needs { Device, Editors };
    // The one way a device or file operation starts: refused while another
    // runs or (notConnectedText) without a device; every operation control
    // disabled until it ends; with EventPass::Run queued events run for a
    // moment first (the disabled buttons get painted) and the connection is
    // tested again after them. Shows the failure's message, or successText.
    TransferResult runOperation(const QString& notConnectedText, EventPass pass,
                                const std::function<TransferResult()>& body,
                                const QString& successText = QString(), Needs needs = Needs::Device);
    // Runs work on a thread of its own while this one goes on serving the
    // window system; tick runs here every kProgressTickMs meanwhile.
    void serveEventsWhile(const std::function<void()>& work, const std::function<void()>& tick = {});
    // Device notifications and search results that arrive during an operation
    // wait for its end: they would close the handle or delete the editors it uses.
    void whenIdle(const std::function<void()>& call);
    bool refuseCloseWhileBusy();
    static QString busyText();
    void disarmDefaultButtons();
    bool confirm(const QString& text);
    QString confirmDefaultsText() const;
    bool acceptedToWrite(const QVector<config::Finding>& findings);
    config::Shape deviceShape() const;

    // What would replace the editors' unwritten changes.
    enum class Replacing { Close, Read, Open, Default, Switch };
    // With unwritten changes asks Write / Save to file / Discard / Cancel
    // (those that apply) and does the first two; true when the action may go on.
    bool settleUnwrittenChanges(Replacing what);
    // The list of changes before a write, with the validation's doubts; true for Write.
    bool acceptedChanges(const config::Configuration* deviceHolds, const config::Configuration& model,
                         const config::Shape& shape, const QString& modelName,
                         const config::Findings& doubts);
    void setBaseline(const config::Configuration& configuration);
    // The same, when the editors show it: nothing left to compare or mark.
    void setBaselineShown(const config::Configuration& configuration);
    void clearBaseline();
    void watchEdits();
    // On a removal the edited configuration is kept; when the same device
    // (model and board number) comes back, the user may have it shown again.
    void keepUnwrittenChanges();
    void offerKeptChanges();
    void createChangesLabel();
    void retranslateChanges();

    DeviceEditors editors() const;
    DeviceEditors editorsFor(int nCAN, int nFiberOptic) const;

    void createMenu();
    // Keyboard, names for assistive technology and the texts built after the
    // form (CorvelleRepeaterAccess.cpp).
    void setUpKeyboardAndNames();
    void nameControls();
    void putCommandRowLast();
    void retranslateBuiltEditors();
    void addFirmwareFileButton();
    void placeProgressIndicator();
    void registerDeviceNotifications();
    void chooseStartupLanguage();
    void installLanguage(const QString& catalogue);
    void installQtCatalogue(const QString& locale);
    void takeSearchResult(const SearchResult& result);
    void showInfo(const QString& text);
    // A failure: logged with the last exchange, shown with a button that opens the log's folder.
    void showFailure(const QString& text);
    void showFailure(const UserMessage& message);  // logged in English, shown translated
    void onActionSaveLog();
    void retranslateLogTexts();
    // The operation a button starts, for the log; "read" for the read after a connection.
    static QString operationName(const QObject* button);
    bool checkConnected(const QString& notConnectedText);
    void onFirmwareFileButtonClicked();

    // Configuration file
    void saveConfigFile();
    bool writeConfigFile(const QString& caption, const QString& failText);
    bool loadConfigFile(const QString& fileName);  // true when the file was opened into the editors

    // Device transfer, the bodies that runOperation runs; their failures are
    // told by it. The int forms return 0 or -1 and tell the failure themselves.
    TransferResult readConfiguration();
    TransferResult writeConfiguration();
    // The change list is shown first unless askFirst is false or the menu turned it off.
    TransferResult writeNow(bool askFirst);
    TransferResult writeChecked(const config::Configuration& model, const config::Shape& shape,
                                const config::Configuration* deviceHolds, const QString& modelName,
                                bool askFirst, const QString& operation);
    void readNow();
    TransferResult upgradeFromFile();
    int readFDConfig();
    int writeFDConfig();
    int shownAsStatus(const TransferResult& result);
    void sendDefaultCommand();
    // Appends an operation that reached the device to the history; file is
    // the configuration file or firmware image, content gives its bytes.
    void recordHistory(const QString& operation, const TransferResult& result, const QString& file,
                       std::function<QByteArray()> content);

    // The form, built on the heap so that this header needs no generated one.
    std::unique_ptr<Ui::CorvelleRepeaterClass> m_ui;
    Ui::CorvelleRepeaterClass& ui;
    QSignalMapper* m_pSignalMapper = nullptr;
    CustomProgressIndicator* m_pProgressIndicator = nullptr;
    DevInfoWidget* m_pDevInfoWidget = nullptr;
    std::shared_ptr<HIDDevice> m_pHidDevice;
    int drive_type = 0;
    bool m_bConnected = false;
    int m_nCAN = 0;
    int m_nFiberOptic = 0;
    int m_nHardwareType = 0;
    QMenu* m_pMainMenu = nullptr;
    void* m_hDevNotify = nullptr;
    QAction* m_pActionAbout = nullptr;
    QAction* m_pActionEN = nullptr;
    QAction* m_pActionZH = nullptr;
    QAction* m_pActionDeviceInfo = nullptr;
    QAction* m_pActionSaveLog = nullptr;
    QTranslator* m_pTranslator = nullptr;
    bool m_bShowReadResult = true;

    // One search at a time: an arrival during a search is remembered and
    // started when the outstanding result comes in, which is then stale.
    bool m_bSearching = false;
    int m_nPendingSearch = -1;
    bool m_bAccessDenied = false;
    bool m_bOperationRunning = false;
    bool m_bDeferDeviceEvents = false;  // while an operation's body runs
    QVector<std::function<void()>> m_deferred;
    // What a worker thread holds of the window, looked at only on the main
    // thread, where the window is destroyed. A QPointer would have its count
    // dropped by the thread inside Qt, where ThreadSanitizer cannot follow it.
    struct WindowRef {
        CorvelleRepeater* window;
        std::weak_ptr<const char> alive;
        CorvelleRepeater* get() const { return alive.expired() ? nullptr : window; }
    };
    WindowRef ref()
    {
        return {this, m_alive};
    }
    std::shared_ptr<const char> m_alive = std::make_shared<const char>(0);
    std::unique_ptr<OperationThread> m_operationThread;  // runs serveEventsWhile's work
    // Model and firmware version of the connected device as last read, for the questions.
    QString m_strModel;
    QString m_strFirmware;
    QString m_strBoardNumber;
    bool m_bWritingDefaults = false;  // the write sends the classic defaults
    bool m_bHistoryWarned = false;
    QAction* m_pActionHistory = nullptr;
    // Qt's own catalogue for the standard buttons and dialogs, beside m_pTranslator.
    QTranslator* m_pQtTranslator = nullptr;

    // The configuration last read from or written to the device, and the marks against it.
    config::Configuration m_baseline;
    bool m_bHasBaseline = false;
    ChangeMarks m_marks;
    int m_nChanges = 0;
    quint64 m_nEdits = 0;  // every edit of any editor counts
    quint64 m_nEditsCompared = 0;  // m_nEdits when m_nChanges was last counted
    QLabel* m_pChangesLabel = nullptr;
    QPushButton* m_pFirmwareFileButton = nullptr;  // beside the image's name
    QTimer* m_pCompareTimer = nullptr;
    QAction* m_pActionShowChanges = nullptr;
    QAction* m_pActionCompare = nullptr;
    bool m_bShowChanges = true;
    QVector<const QObject*> m_watched;  // the editors watchEdits connected last
    QString m_strBoard;                 // the board number of the device connected last
    struct KeptChanges {
        config::Configuration configuration;
        config::Shape shape;
        QString model;
        QString board;
    };
    std::unique_ptr<KeptChanges> m_kept;

    // A configuration prepared without a device (CorvelleRepeaterPrepared.cpp).
    // While one is on screen drive_type, m_nCAN, m_nFiberOptic and
    // m_nHardwareType describe its model, and a device that arrives is not
    // read into the editors: it is held here until the prepared configuration
    // is written to it or discarded.
    struct ArrivedDevice {
        int driveType = 0;
        int hardwareType = 0;
        config::Shape shape;
        QString name, model, version, firmware, board;
        config::Findings misfit;              // why it cannot take the prepared configuration
        bool read = false;                    // configuration holds what it holds
        config::Configuration configuration;  // read on arrival, the editors untouched
    };
    struct PreparedConfiguration {
        QString model;
        std::unique_ptr<ArrivedDevice> device;
    };
    std::unique_ptr<PreparedConfiguration> m_prepared;
    QAction* m_pActionNewConfiguration = nullptr;
    QLabel* m_pPreparedLabel = nullptr;
    int m_nLastPreparedChoice = -1;
    void createPreparedConfiguration();
    void retranslatePrepared();
    void showPreparedStatus();
    void onActionNewConfiguration();
    // Asks for a model of the model table in either family; false when cancelled.
    bool choosePreparedModel(const QString& text, int* family, const models::Model** model);
    void prepare(int family, const models::Model& model);
    void dropPrepared();
    QString preparedWaitingText() const;
    bool settlePreparedChanges(Replacing what);
    bool settlePreparedChanges(const QString& text);
    bool canRun(Needs needs, const QString& notConnectedText);
    void openWithoutDevice();
    void preparedDeviceChanged(int type, int nType);
    void takePreparedSearchResult(const SearchResult& result);
    TransferResult readArrivedDevice();
    void writePrepared();
    // Read and Default with a device attached: the prepared configuration
    // goes (asked first when it holds unsaved changes) and the editors are
    // built for the device; false when the user keeps it.
    bool replacePreparedWithDevice(Replacing what);
    void adoptArrivedDevice();

    // Several attached devices: the device name row becomes a chooser
    // (CorvelleRepeaterDevices.cpp).
    struct ListedDevice {
        int family = 0;
        QString path;
        QString model;  // as the list shows it; empty while not known
        QString board;
        bool accessDenied = false;
        bool known = false;  // identified, or the one connected
    };
    // The window's device threads run one at a time, so that a listing never
    // talks to the device that a search has just opened.
    struct DeviceJobs;
    void createDeviceChooser();
    void nameDeviceChooser();
    void showDeviceList();
    void selectConnectedDevice();
    // Starts identifying the attached devices not yet known; the list comes back to takeDeviceList.
    void listAttachedDevices();
    void takeDeviceList(QVector<ListedDevice> list);
    void onDeviceChosen(int entry);
    bool dropKeptChanges(const ListedDevice& chosen);
    void searchDeviceAt(const QString& path, int family);
    // An arrival or removal that only changes the list (another device than
    // the connected one); true when it was handled so.
    bool deviceListTakesEvent(int nType);
    // After the connected device left: the first other one attached, if any.
    void connectToAttached();
    bool isAttached(const QString& path) const;
    static SearchResult searchAlone(DeviceJobs& jobs, const std::function<SearchResult()>& search);
    QComboBox* m_pComboDevices = nullptr;
    QVector<ListedDevice> m_devices;
    QString m_strDevicePath;  // the device open in m_pHidDevice, as the list names it
    QString m_strLostPath;    // the connected device that has just left
    std::shared_ptr<DeviceJobs> m_pDeviceJobs;
};
