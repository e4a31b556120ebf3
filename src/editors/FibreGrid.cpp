#include "editors/FibreGrid.h"

#include "device/Protocol.h"
#include "operations/FibreCodec.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpacerItem>
#include <QValidator>

namespace {

// Marks the widgets built here, so that a channel label named "label_3" is
// told apart from the tab's note label of the same name.
constexpr char kChannelProperty[] = "fibreChannel";
constexpr char kNoteLabelName[] = "label_3";

// Accepts only the decimal rates the device can take, 1 to 2147483647; an
// empty or all-zero text is left for the user to complete.
class RateValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override
    {
        if (input.isEmpty())
            return Intermediate;
        for (const QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        }
        bool ok = false;
        const qulonglong value = input.toULongLong(&ok);
        if (!ok || value > fibre::kMaxRate)
            return Invalid;
        return value == 0 ? Intermediate : Acceptable;
    }
};

// The entry is recognised by its place, so a language switch after the build
// does not lose a typed rate.
bool isCustomSelected(const QComboBox* selector)
{
    return selector->currentIndex() == fibre::kFamily2CustomIndex;
}

}  // namespace

FibreGrid::FibreGrid(QWidget* tab, QGridLayout* grid, int nCAN, int nFiberOptic, int driveType)
    : m_tab(tab), m_grid(grid), m_nCAN(nCAN), m_nFiberOptic(nFiberOptic), m_driveType(driveType)
{
}

QString FibreGrid::customText()
{
    return QCoreApplication::translate("CorvelleRepeater", fibre::kCustomText);
}

void FibreGrid::build() const
{
    if (!m_tab || !m_grid)
        return;
    // The scroll area around the rows would fill them in; they sit on the tab's own background.
    for (QWidget* w = m_grid->parentWidget(); w && w != m_tab; w = w->parentWidget())
        w->setAutoFillBackground(false);
    addFrame();
    for (int i = 0; i < m_nFiberOptic; ++i)
        addChannel(i);
    m_grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), m_nFiberOptic + 1,
                    1);
}

void FibreGrid::addFrame() const
{
    m_grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 0);
    m_grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 1);
    m_grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 0, 2);
    m_grid->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 4);
}

void FibreGrid::addChannel(int channel) const
{
    auto* label = new QLabel(m_tab);
    label->setObjectName(QStringLiteral("label_%1").arg(channel));
    label->setProperty(kChannelProperty, channel);
    label->setText(rateLabelText(channel));

    auto* combo = new QComboBox(m_tab);
    combo->setObjectName(QStringLiteral("comBox_%1").arg(channel));
    combo->setProperty(kChannelProperty, channel);
    if (m_driveType != protocol::kFamily2) {
        const int count = fibre::family1RateCount(m_nCAN, m_nFiberOptic);
        for (int k = 0; k < count; ++k) {
            const fibre::Family1Rate& rate = fibre::kFamily1Rates[k];
            combo->addItem(QString::fromLatin1(rate.text), QByteArray(1, char(rate.code)));
        }
    } else {
        QStringList texts;
        for (const char* rate : fibre::kFamily2Rates)
            texts << QString::fromLatin1(rate);
        texts << customText();
        combo->addItems(texts);

        auto* edit = new QLineEdit(m_tab);
        edit->setObjectName(QStringLiteral("lineedit_%1").arg(channel));
        edit->setProperty(kChannelProperty, channel);
        edit->setValidator(new RateValidator(edit));
        m_grid->addWidget(edit, channel + 1, kCustomEditColumn);
        edit->hide();
        edit->setAccessibleName(customEditName(channel));
        // The signal's text overload is obsolete; the entry's text is the same.
        QObject::connect(
            combo, qOverload<int>(&QComboBox::currentIndexChanged), combo,
            [view = *this, combo](int index) { view.onSelectorTextChanged(combo, combo->itemText(index)); });
    }
    label->setBuddy(combo);
    combo->setAccessibleName(label->text());
    m_grid->addWidget(label, channel + 1, kLabelColumn);
    m_grid->addWidget(combo, channel + 1, kSelectorColumn);
}

QString FibreGrid::rateLabelText(int channel)
{
    return QCoreApplication::translate("CorvelleRepeater", "Fiber%1 Boud Rate:").arg(channel + 1);
}

QString FibreGrid::customEditName(int channel)
{
    return QCoreApplication::translate("CorvelleRepeater", "Fiber%1 custom baud rate").arg(channel + 1);
}

void FibreGrid::retranslate() const
{
    if (!m_tab)
        return;
    for (int i = 0; i < m_nFiberOptic; ++i) {
        // "label_3" is also the tab's note: the channel's label is the one marked with its number.
        for (QLabel* label : m_tab->findChildren<QLabel*>(QStringLiteral("label_%1").arg(i))) {
            if (label->property(kChannelProperty).toInt() == i && label->property(kChannelProperty).isValid())
                label->setText(rateLabelText(i));
        }
        if (QComboBox* combo = selector(i)) {
            combo->setAccessibleName(rateLabelText(i));
            // Family 2 ends its list with the "custom" entry.
            if (m_driveType == protocol::kFamily2 && combo->count() > 0)
                combo->setItemText(combo->count() - 1, customText());
        }
        if (QLineEdit* edit = customEdit(i))
            edit->setAccessibleName(customEditName(i));
    }
}

void FibreGrid::clear() const
{
    if (!m_tab)
        return;
    // A combo box may own a line edit of its own, so a widget of the list can
    // be gone by the time its turn comes.
    QList<QPointer<QWidget>> doomed;
    for (QComboBox* w : m_tab->findChildren<QComboBox*>())
        doomed << w;
    for (QLineEdit* w : m_tab->findChildren<QLineEdit*>())
        doomed << w;
    for (QLabel* w : m_tab->findChildren<QLabel*>()) {
        const bool noteLabel =
            w->objectName() == QLatin1String(kNoteLabelName) && !w->property(kChannelProperty).isValid();
        if (!noteLabel)
            doomed << w;
    }
    for (const QPointer<QWidget>& w : doomed)
        delete w.data();

    if (!m_grid)
        return;
    // The spacers are added anew by every build.
    for (int i = m_grid->count() - 1; i >= 0; --i) {
        if (m_grid->itemAt(i)->spacerItem())
            delete m_grid->takeAt(i);
    }
}

void FibreGrid::onSelectorTextChanged(QComboBox* selector, const QString& text) const
{
    if (!selector || !m_tab)
        return;
    bool ok = false;
    const int channel = selector->property(kChannelProperty).toInt(&ok);
    if (!ok)
        return;
    QLineEdit* edit = customEdit(channel);
    if (!edit)
        return;
    // The entry is recognised by its place too, so a language switch after
    // the build does not hide the rate being typed.
    const bool custom =
        text == customText() || (selector->findText(text) == fibre::kFamily2CustomIndex && !text.isEmpty());
    edit->setVisible(custom);
}

// By the place in the grid: a search by name through the tab costs a read of
// sixteen fibres more than the rest of it.
QComboBox* FibreGrid::selector(int channel) const
{
    if (m_grid)
        return qobject_cast<QComboBox*>(widgetAt(channel, kSelectorColumn));
    return m_tab ? m_tab->findChild<QComboBox*>(QStringLiteral("comBox_%1").arg(channel)) : nullptr;
}

QLineEdit* FibreGrid::customEdit(int channel) const
{
    if (m_grid)
        return qobject_cast<QLineEdit*>(widgetAt(channel, kCustomEditColumn));
    return m_tab ? m_tab->findChild<QLineEdit*>(QStringLiteral("lineedit_%1").arg(channel)) : nullptr;
}

QWidget* FibreGrid::widgetAt(int channel, int column) const
{
    if (channel < 0)
        return nullptr;
    QLayoutItem* item = m_grid->itemAtPosition(channel + 1, column);
    return item ? item->widget() : nullptr;
}

void FibreGrid::setFibreBaudText(int channel, const QString& text) const
{
    QComboBox* combo = selector(channel);
    if (!combo)
        return;
    const int index = combo->findText(text);
    if (index >= 0) {
        combo->setCurrentIndex(index);
        return;
    }
    if (combo->count() <= fibre::kFamily2CustomIndex)
        return;
    if (QLineEdit* edit = customEdit(channel))
        edit->setText(text);
    combo->setCurrentIndex(fibre::kFamily2CustomIndex);
}

QString FibreGrid::fibreBaudText(int channel) const
{
    QComboBox* combo = selector(channel);
    if (!combo)
        return QString();
    if (!isCustomSelected(combo))
        return combo->currentText();
    QLineEdit* edit = customEdit(channel);
    return edit ? edit->text() : QString();
}
