#include "ChangeMarks.h"

#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QTabWidget>

namespace {

const QColor kMarkColour(0xe6, 0x7e, 0x00);

// The frame over a changed field: follows the field's size, lets every
// click through, and keeps the tooltip the field had before.
class ChangeFrame final : public QWidget {
public:
    ChangeFrame(QWidget* field, const QString& deviceValue)
        : QWidget(field), m_toolTip(field->toolTip()), m_deviceValue(QStringLiteral("\n"))
    {
        setObjectName(QStringLiteral("changeMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(field->rect());
        field->installEventFilter(this);
        setDeviceValue(deviceValue);
        show();
        raise();
    }
    // Gives the field its own tooltip back; a field that is deleted takes its frame with it.
    void release()
    {
        parentWidget()->setToolTip(m_toolTip);
        delete this;
    }
    void setDeviceValue(const QString& value)
    {
        if (m_deviceValue == value)
            return;
        m_deviceValue = value;
        const QString line = QCoreApplication::translate("ChangeMarks", "device: %1").arg(value);
        parentWidget()->setToolTip(m_toolTip.isEmpty() ? line : m_toolTip + QLatin1Char('\n') + line);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parentWidget() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QPen(kMarkColour, 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }

private:
    QString m_toolTip;
    QString m_deviceValue;
};

const QIcon& dotIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kMarkColour);
        painter.drawEllipse(1, 1, 8, 8);
        return QIcon(pixmap);
    }();
    return icon;
}

}  // namespace

void ChangeMarks::show(const QVector<Mark>& marks)
{
    QHash<QWidget*, QString> wanted;
    for (const Mark& m : marks) {
        if (m.field)
            wanted.insert(m.field, m.deviceValue);
    }
    for (auto it = m_frames.begin(); it != m_frames.end();) {
        if (!it.value()) {  // the field was deleted, and its frame with it
            it = m_frames.erase(it);
        } else if (!wanted.contains(it.key())) {
            static_cast<ChangeFrame*>(it.value().data())->release();
            it = m_frames.erase(it);
        } else {
            ++it;
        }
    }
    QHash<QWidget*, Page> pages;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        QPointer<QWidget>& frame = m_frames[it.key()];
        if (frame)
            static_cast<ChangeFrame*>(frame.data())->setDeviceValue(it.value());
        else
            frame = new ChangeFrame(it.key(), it.value());
        for (QWidget* w = it.key(); w; w = w->parentWidget()) {
            QWidget* parent = w->parentWidget();
            // A tab page's parent is the tab widget's stack.
            auto* tabWidget = parent ? qobject_cast<QTabWidget*>(parent->parentWidget()) : nullptr;
            if (tabWidget && tabWidget->indexOf(w) >= 0)
                pages.insert(w, {tabWidget, w});
        }
    }
    // Only the tabs whose mark comes or goes are touched.
    for (auto it = m_markedPages.cbegin(); it != m_markedPages.cend(); ++it) {
        const Page& p = it.value();
        if (p.tabs && p.page && !pages.contains(it.key()))
            p.tabs->setTabIcon(p.tabs->indexOf(p.page), QIcon());
    }
    for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
        const Page was = m_markedPages.value(it.key());
        if (!was.page || !was.tabs)
            it.value().tabs->setTabIcon(it.value().tabs->indexOf(it.key()), dotIcon());
    }
    m_markedPages = pages;
}

int ChangeMarks::count() const
{
    int n = 0;
    for (const QPointer<QWidget>& frame : m_frames)
        n += frame ? 1 : 0;
    return n;
}
