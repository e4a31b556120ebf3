// What the editors change against the device: the baseline (the
// configuration last read from or written to the device), the marks of the
// fields that differ from it, the list of changes shown before a write, and
// the question asked before anything replaces unwritten changes.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "LanguageSettings.h"
#include "config/Changes.h"
#include "device/HIDDevice.h"
#include "editors/CANParamWidget.h"
#include "session/DeviceSession.h"
#include "widgets/CheckButton.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>

namespace {

const QString kShowChangesKey = QStringLiteral("Write/showChanges");

// The field of the editors where a change stands.
QWidget* fieldOf(const config::Change& change, const DeviceEditors& editors)
{
    using Field = config::Change::Field;
    CANParamWidget* can = change.field <= Field::CanFilter ? editors.can(change.index) : nullptr;
    switch (change.field) {
        case Field::CanRate:
            return can ? can->findChild<QComboBox*>(QStringLiteral("comboBoxBautRate")) : nullptr;
        case Field::CanDataRate:
            return can ? can->findChild<QComboBox*>(QStringLiteral("comboBoxdatarate")) : nullptr;
        case Field::CanMode:
            return can ? can->findChild<QComboBox*>(QStringLiteral("comboBoxMode")) : nullptr;
        case Field::CanFd:
            return can ? can->findChild<QComboBox*>(QStringLiteral("comboBoxFD")) : nullptr;
        case Field::CanFilter: {
            // A removed row has no place left: the table carries its mark.
            auto* table =
                can ? can->findChild<QTableWidget*>(QStringLiteral("tableWidgetDatalist")) : nullptr;
            QWidget* cell = table ? table->cellWidget(change.item, 0) : nullptr;
            return cell ? cell : table;
        }
        case Field::Fibre:
            return editors.fibres().selector(change.index);
        case Field::Route:
            return editors.routes().routeCell(change.index, change.item);
    }
    return nullptr;
}

}  // namespace

void CorvelleRepeater::createChangesLabel()
{
    m_bShowChanges = QSettings(languagesettings::settingsFilePath(), QSettings::IniFormat)
                         .value(kShowChangesKey, true)
                         .toBool();
    m_pActionShowChanges = new QAction(this);
    m_pActionShowChanges->setObjectName(QStringLiteral("actionShowChanges"));
    m_pActionShowChanges->setCheckable(true);
    m_pActionShowChanges->setChecked(m_bShowChanges);
    connect(m_pActionShowChanges, &QAction::toggled, this, &CorvelleRepeater::onActionShowChanges);
    m_pActionCompare = new QAction(this);
    m_pActionCompare->setObjectName(QStringLiteral("actionCompare"));
    connect(m_pActionCompare, &QAction::triggered, this, &CorvelleRepeater::onActionCompare);
    m_pMainMenu->insertAction(m_pActionAbout, m_pActionCompare);
    m_pMainMenu->insertAction(m_pActionAbout, m_pActionShowChanges);
    m_pMainMenu->insertSeparator(m_pActionAbout);

    m_pChangesLabel = new QLabel(this);
    m_pChangesLabel->setObjectName(QStringLiteral("changesLabel"));
    m_pChangesLabel->setStyleSheet(QStringLiteral("color: rgb(200, 100, 0); font-weight: bold;"));
    // At the row's left end, with room for its longest text, so that no button moves when it changes.
    m_pChangesLabel->setMinimumWidth(170);
    if (auto* row = qobject_cast<QHBoxLayout*>(ui.m_pushButtonRead->parentWidget()->layout()))
        row->insertWidget(0, m_pChangesLabel);

    m_pCompareTimer = new QTimer(this);
    m_pCompareTimer->setSingleShot(true);
    m_pCompareTimer->setInterval(0);
    connect(m_pCompareTimer, &QTimer::timeout, this, [this] { refreshChanges(); });
    retranslateChanges();
}

void CorvelleRepeater::retranslateChanges()
{
    m_pActionShowChanges->setText(tr("Show the changes before writing"));
    m_pActionCompare->setText(tr("Compare with the device"));
    refreshChanges();
}

void CorvelleRepeater::onActionShowChanges(bool on)
{
    m_bShowChanges = on;
    const QString path = languagesettings::settingsFilePath();
    QSettings(path, QSettings::IniFormat).setValue(kShowChangesKey, on);
}

// The device is read into a second model; no editor changes. What the
// device holds is the baseline from now on, so the marks tell the truth
// also when another tool has written to it meanwhile.
void CorvelleRepeater::onActionCompare()
{
    runOperation(tr("device not connect"), EventPass::Skip, [this] {
        const config::Shape shape = deviceShape();
        const config::Configuration edited = editors().toModel();
        config::Configuration device = edited;
        HIDDevice& hid = *m_pHidDevice;
        TransferResult result;
        serveEventsWhile([&] { result = session::readConfiguration(hid, shape, &device); });
        if (!result.ok)
            return result;
        QStringList lines;
        for (const config::Change& change : config::changes(device, edited, shape))
            lines << change.line;
        setBaseline(device);
        const QString text =
            lines.isEmpty() ? tr("The editors show the configuration %1 holds.").arg(m_strModel)
            : lines.size() == 1
                ? tr("The editors differ from %1 in one place (device → editors):").arg(m_strModel)
                : tr("The editors differ from %1 in %2 places (device → editors):")
                      .arg(m_strModel)
                      .arg(lines.size());
        userDialogs().choose(this, tr("Compare with the device"), text, lines, {tr("OK")}, 0);
        return TransferResult::success();
    });
}

void CorvelleRepeater::onEditorEdited()
{
    ++m_nEdits;
    m_pCompareTimer->start();
}

void CorvelleRepeater::setBaseline(const config::Configuration& configuration)
{
    m_baseline = configuration;
    m_bHasBaseline = true;
    refreshChanges();
}

void CorvelleRepeater::setBaselineShown(const config::Configuration& configuration)
{
    m_baseline = configuration;
    m_bHasBaseline = true;
    m_pCompareTimer->stop();
    if (m_bConnected)
        watchEdits();
    m_nChanges = 0;
    m_nEditsCompared = m_nEdits;
    m_marks.show({});
    m_pChangesLabel->clear();
}

void CorvelleRepeater::clearBaseline()
{
    m_baseline = {};
    m_bHasBaseline = false;
    refreshChanges();
}

// Every editor reports its edits. Editors built since the last call are
// connected now: the first CAN editor, fibre selector and route cell tell
// whether they were, and the unique connections keep the others from being
// connected twice.
void CorvelleRepeater::watchEdits()
{
    const DeviceEditors view = editors();
    const QVector<const QObject*> built{view.can(0), view.fibres().selector(0), view.routes().routeCell(0, 1),
                                        view.routes().portSwitch(1)};
    if (built == m_watched)
        return;
    m_watched = built;
    const auto unique = Qt::UniqueConnection;
    for (CANParamWidget* editor : ui.tabWidget->findChildren<CANParamWidget*>())
        connect(editor, &CANParamWidget::edited, this, &CorvelleRepeater::onEditorEdited, unique);
    for (QComboBox* c : ui.tab_Fiber->findChildren<QComboBox*>())
        connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &CorvelleRepeater::onEditorEdited, unique);
    for (QLineEdit* e : ui.tab_Fiber->findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textChanged, this, &CorvelleRepeater::onEditorEdited, unique);
    for (QAbstractButton* b : ui.tableWidgetRoute->findChildren<CheckButton*>())
        connect(b, &QAbstractButton::clicked, this, &CorvelleRepeater::onEditorEdited, unique);
}

int CorvelleRepeater::refreshChanges()
{
    m_pCompareTimer->stop();
    QVector<ChangeMarks::Mark> marks;
    m_nChanges = 0;
    m_nEditsCompared = m_nEdits;
    if (m_bHasBaseline && (m_bConnected || m_prepared)) {
        watchEdits();
        const DeviceEditors view = editors();
        const QVector<config::Change> list = config::changes(m_baseline, view.toModel(), deviceShape());
        m_nChanges = list.size();
        marks.reserve(list.size());
        for (const config::Change& change : list)
            marks.push_back({fieldOf(change, view), change.deviceValue});
    }
    m_marks.show(marks);
    if (m_nChanges == 0)
        m_pChangesLabel->clear();
    else if (m_nChanges == 1)
        m_pChangesLabel->setText(tr("1 unwritten change"));
    else
        m_pChangesLabel->setText(tr("%1 unwritten changes").arg(m_nChanges));
    return m_nChanges;
}

// deviceHolds: what the device holds, when it is known.
bool CorvelleRepeater::acceptedChanges(const config::Configuration* deviceHolds,
                                       const config::Configuration& model, const config::Shape& shape,
                                       const QString& modelName, const config::Findings& doubts)
{
    QStringList lines;
    if (deviceHolds) {
        for (const config::Change& change : config::changes(*deviceHolds, model, shape))
            lines << change.line;
    }
    QString text =
        lines.isEmpty()
            ? tr("%1 already holds this configuration. Write it again?").arg(modelName)
            : (lines.size() == 1
                   ? tr("This change will be written to %1:").arg(modelName)
                   : tr("These %1 changes will be written to %2:").arg(lines.size()).arg(modelName));
    if (!doubts.isEmpty())
        text +=
            QStringLiteral("\n\n") + config::findingsText(doubts) + QLatin1Char(' ') + tr("Write anyway?");
    return userDialogs().choose(this, tr("Write config"), text, lines, {tr("Write"), tr("Cancel")}, 1) == 0;
}

bool CorvelleRepeater::settleUnwrittenChanges(Replacing what)
{
    if (m_prepared)
        return settlePreparedChanges(what);
    // With no edit since the last comparison, its count stands.
    const bool compared = m_nEdits == m_nEditsCompared;
    if (m_bOperationRunning || (compared ? m_nChanges : refreshChanges()) == 0)
        return true;
    QStringList lines;
    for (const config::Change& change : config::changes(m_baseline, editors().toModel(), deviceShape()))
        lines << change.line;
    QString text;
    switch (what) {
        case Replacing::Close:
            text = tr("The editors hold changes not written to %1. Close the window?");
            break;
        case Replacing::Read:
            text = tr("The editors hold changes not written to %1. Reading the device replaces them.");
            break;
        case Replacing::Open:
            text = tr("The editors hold changes not written to %1. Opening a file replaces them.");
            break;
        case Replacing::Default:
            text = tr("The editors hold changes not written to %1. Restoring the defaults replaces them.");
            break;
        case Replacing::Switch:
            text =
                tr("The editors hold changes not written to %1. Switching to another device replaces them.");
            break;
    }
    // Writing first makes sense only where the edits are not replaced by
    // the device's own configuration right after.
    const bool canWrite = what == Replacing::Close || what == Replacing::Open || what == Replacing::Switch;
    QStringList buttons;
    if (canWrite)
        buttons << tr("Write");
    buttons << tr("Save to file") << tr("Discard") << tr("Cancel");
    const int chosen = userDialogs().choose(this, tr("Unwritten changes"), text.arg(m_strModel), lines,
                                            buttons, int(buttons.size()) - 1);
    const int write = canWrite ? 0 : -1;
    const int save = write + 1;
    const int discard = write + 2;
    if (chosen == write) {
        bool ok = false;
        runOperation(
            tr("device not connect"), EventPass::Run,
            [&] {
                const TransferResult result = writeNow(false);
                ok = result.ok;
                return result;
            },
            tr("set up success"));
        return ok;
    }
    if (chosen == save)
        return !m_bOperationRunning && writeConfigFile(tr("save conf"), tr("save conf file fail"));
    return chosen == discard;
}

void CorvelleRepeater::keepUnwrittenChanges()
{
    // A prepared configuration stays on screen through arrivals and removals.
    if (m_prepared || !m_bHasBaseline || m_nCAN + m_nFiberOptic == 0)
        return;
    const config::Shape shape = deviceShape();
    config::Configuration edited = editors().toModel();
    if (config::changes(m_baseline, edited, shape).isEmpty())
        return;
    m_kept.reset(new KeptChanges{std::move(edited), shape, m_strModel, m_strBoard});
}

void CorvelleRepeater::offerKeptChanges()
{
    const std::unique_ptr<KeptChanges> kept = std::move(m_kept);
    const config::Shape shape = deviceShape();
    // Another device starts fresh.
    if (!kept || !m_bConnected || !m_bHasBaseline || kept->model != m_strModel || kept->board != m_strBoard ||
        kept->shape.family != shape.family || kept->shape.nCAN != shape.nCAN ||
        kept->shape.nFiberOptic != shape.nFiberOptic || kept->shape.modeCount != shape.modeCount)
        return;
    QStringList lines;
    for (const config::Change& change : config::changes(m_baseline, kept->configuration, shape))
        lines << change.line;
    if (lines.isEmpty())
        return;
    const QString text =
        tr("%1 (board %2) was removed while the editors held changes not written to it. Show them again?")
            .arg(m_strModel, m_strBoard);
    if (userDialogs().choose(this, tr("Unwritten changes"), text, lines,
                             {tr("Show the changes"), tr("Discard")}, 0) != 0)
        return;
    editors().fromModel(kept->configuration);
    refreshChanges();
}
