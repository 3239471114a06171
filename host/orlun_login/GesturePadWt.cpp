#include "GesturePadWt.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace orlun_login {

namespace {
constexpr QRgb kDotColor = 0x6C7586;
constexpr QRgb kActiveColor = 0x2D80D4;
constexpr QRgb kErrorColor = 0xE04B4B;
constexpr int kGrid = 3;
} // namespace

GesturePadWt::GesturePadWt(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("gesturePad"));
    setMouseTracking(false);
    setCursor(Qt::PointingHandCursor);
}

GesturePadWt::~GesturePadWt() = default;

void GesturePadWt::clearPattern()
{
    m_pattern.clear();
    m_drawing = false;
    m_error = false;
    update();
}

void GesturePadWt::showError()
{
    m_error = true;
    update();
}

int GesturePadWt::cellSize() const
{
    return qMin(width(), height()) / kGrid;
}

int GesturePadWt::dotRadius() const
{
    return qMax(4, cellSize() / 8);
}

QPoint GesturePadWt::dotCenter(int index) const
{
    if (index < 0 || index >= kGrid * kGrid)
        return {};
    const int cell = cellSize();
    // The grid is a centred square inside a possibly oblong widget.
    const int left = (width() - cell * kGrid) / 2;
    const int top = (height() - cell * kGrid) / 2;
    return {left + (index % kGrid) * cell + cell / 2, top + (index / kGrid) * cell + cell / 2};
}

int GesturePadWt::dotAt(const QPoint &pos) const
{
    // Generous hit area so that a quick drag does not skip a dot.
    const int hit = cellSize() * 3 / 10;
    for (int index = 0; index < kGrid * kGrid; ++index) {
        const QPoint delta = pos - dotCenter(index);
        if (delta.x() * delta.x() + delta.y() * delta.y() <= hit * hit)
            return index;
    }
    return -1;
}

QSize GesturePadWt::sizeHint() const
{
    return {270, 270};
}

QSize GesturePadWt::minimumSizeHint() const
{
    return {180, 180};
}

void GesturePadWt::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor lineColor = m_error ? kErrorColor : kActiveColor;
    const int radius = dotRadius();

    if (!m_pattern.isEmpty()) {
        QPainterPath path(dotCenter(m_pattern.first()));
        for (int i = 1; i < m_pattern.size(); ++i)
            path.lineTo(dotCenter(m_pattern.at(i)));
        if (m_drawing)
            path.lineTo(m_cursor);
        painter.setPen(
            QPen(lineColor, qMax(2, radius / 2), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }

    for (int index = 0; index < kGrid * kGrid; ++index) {
        const QPoint centre = dotCenter(index);
        const bool used = m_pattern.contains(index);
        painter.setPen(Qt::NoPen);
        if (used) {
            QColor ring = lineColor;
            ring.setAlpha(70);
            painter.setBrush(ring);
            painter.drawEllipse(centre, radius * 3, radius * 3);
        }
        painter.setBrush(used ? lineColor : kDotColor);
        painter.drawEllipse(centre, radius, radius);
    }
}

void GesturePadWt::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int dot = dotAt(event->pos());
    m_pattern.clear();
    m_error = false;
    m_drawing = dot >= 0;
    if (m_drawing)
        m_pattern.append(dot);
    m_cursor = event->pos();
    update();
}

void GesturePadWt::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_drawing || !(event->buttons() & Qt::LeftButton))
        return;
    const int dot = dotAt(event->pos());
    if (dot >= 0 && !m_pattern.contains(dot))
        m_pattern.append(dot);
    m_cursor = event->pos();
    update();
}

void GesturePadWt::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_drawing)
        return;
    m_drawing = false;
    update();
    emit signalPatternDrawn(m_pattern);
}

} // namespace orlun_login
