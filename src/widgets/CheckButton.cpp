#include "widgets/CheckButton.h"

#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kButtonSide = 23;

// The icon files hold several sizes; start from the smallest one that is not
// smaller than the button (or else the largest), so the fast scaling never
// has to enlarge or to drop many pixels.
QPixmap loadButtonPicture(const QString& path)
{
    QImageReader reader(path);
    QImage best;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) {
            break;
        }
        const QImage image = reader.read();
        if (image.isNull()) {
            continue;
        }
        const bool fits = image.width() >= kButtonSide;
        const bool bestFits = !best.isNull() && best.width() >= kButtonSide;
        const bool better = best.isNull() || (fits && !bestFits) || (fits && image.width() < best.width()) ||
                            (!fits && !bestFits && image.width() > best.width());
        if (better) {
            best = image;
        }
    }
    return QPixmap::fromImage(best).scaled(kButtonSide, kButtonSide, Qt::KeepAspectRatio,
                                           Qt::FastTransformation);
}

}  // namespace

CheckButton::CheckButton(QWidget* parent) : QToolButton(parent)
{
    setMinimumSize(kButtonSide, kButtonSide);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCheckable(true);
    setChecked(true);
    setFocusPolicy(Qt::StrongFocus);
    checkedPicture();
    uncheckedPicture();
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
}

const QPixmap& CheckButton::checkedPicture()
{
    static const QPixmap picture = loadButtonPicture(QStringLiteral(":/app/Resources/Check.ico"));
    return picture;
}

const QPixmap& CheckButton::uncheckedPicture()
{
    static const QPixmap picture = loadButtonPicture(QStringLiteral(":/app/Resources/UnCheck.ico"));
    return picture;
}

void CheckButton::setOn(bool on)
{
    // A read shows mostly what is shown already: nothing to name or paint anew.
    if (on == isChecked())
        return;
    const QSignalBlocker quiet(this);
    setChecked(on);
    updateAccessibleName();
    update();
}

void CheckButton::setCellName(const QString& name)
{
    m_cellName = name;
    updateAccessibleName();
}

void CheckButton::updateAccessibleName()
{
    if (m_cellName.isEmpty())
        return;
    const QString state = isChecked() ? tr("on") : tr("off");
    setAccessibleName(tr("%1, %2").arg(m_cellName, state));
}

void CheckButton::checkStateSet()
{
    QToolButton::checkStateSet();
    updateAccessibleName();
}

void CheckButton::mousePressEvent(QMouseEvent* event)
{
    // The inherited press handling is skipped on purpose: the cell never
    // shows a pushed-down state, and it turns on the press, not the release.
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    setFocus(Qt::MouseFocusReason);
    click();
}

void CheckButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void CheckButton::keyPressEvent(QKeyEvent* event)
{
    // Enter is left to the window, which never lets it start anything.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        click();
        event->accept();
        return;
    }
    // Arrow keys belong to whoever arranges the cells.
    event->ignore();
}

void CheckButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        updateAccessibleName();
}

void CheckButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap& picture = isChecked() ? checkedPicture() : uncheckedPicture();
    const QRect target(QPoint((width() - kButtonSide) / 2, (height() - kButtonSide) / 2),
                       QSize(kButtonSide, kButtonSide));
    painter.drawPixmap(target, picture, picture.rect());
    if (hasFocus()) {
        QPen pen(palette().color(QPalette::Highlight), 2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}
