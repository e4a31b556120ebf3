#include "widgets/CheckButton.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
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
    setFixedSize(kButtonSide, kButtonSide);
    // The button draws no focus frame, and a key press would emit clicked()
    // without turning the flag; only the mouse operates it.
    setFocusPolicy(Qt::NoFocus);
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
    m_bChecked = on;
    update();
}

void CheckButton::mousePressEvent(QMouseEvent* event)
{
    // The inherited press handling is skipped on purpose: the cell never
    // shows a pushed-down state.
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_bChecked = !m_bChecked;
    update();
    emit clicked(false);
}

void CheckButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap& picture = m_bChecked ? checkedPicture() : uncheckedPicture();
    painter.drawPixmap(rect(), picture, picture.rect());
}
