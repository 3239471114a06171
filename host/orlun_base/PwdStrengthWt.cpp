#include "PwdStrengthWt.h"

#include <QEvent>
#include <QPainter>

namespace orlun_base {

namespace {

constexpr int SegmentCount = 3;
constexpr int SegmentGap = 4;
constexpr int SegmentHeight = 4;
constexpr int MinSegmentWidth = 16;
constexpr int TextGap = 10;

constexpr QRgb UnlitColor = 0x2A3446;

QColor levelColor(TAMCOMMON::PwdStrength strength)
{
    switch (strength) {
    case TAMCOMMON::PwdWeak:
        return QColor(QRgb(0xE5484D));
    case TAMCOMMON::PwdMedium:
        return QColor(QRgb(0xF5A623));
    case TAMCOMMON::PwdStrong:
        return QColor(QRgb(0x30A46C));
    case TAMCOMMON::PwdEmpty:
        break;
    }
    return UnlitColor;
}

// How many bars a level lights: one for weak, two for medium, three for strong.
int litSegments(TAMCOMMON::PwdStrength strength)
{
    return strength == TAMCOMMON::PwdEmpty ? 0 : int(strength) + 1;
}

} // namespace

PwdStrengthWt::PwdStrengthWt(QWidget *parent)
    : QWidget(parent)
{
    QFont meterFont(QStringLiteral("microsoft yahei"));
    meterFont.setPixelSize(12);
    setFont(meterFont);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

PwdStrengthWt::~PwdStrengthWt() = default;

void PwdStrengthWt::setPwd(const QString &pwd)
{
    const TAMCOMMON::PwdStrength strength = TAMCOMMON::checkPwdStrength(pwd);
    if (strength == m_strength)
        return;
    m_strength = strength;
    setToolTip(strengthText());
    update();
}

QString PwdStrengthWt::strengthText() const
{
    switch (m_strength) {
    case TAMCOMMON::PwdWeak:
        return tr("Weak");
    case TAMCOMMON::PwdMedium:
        return tr("Medium");
    case TAMCOMMON::PwdStrong:
        return tr("Strong");
    case TAMCOMMON::PwdEmpty:
        break;
    }
    return QString();
}

int PwdStrengthWt::textAreaWidth() const
{
    // Sized for the longest word so the bars do not move while typing.
    const QFontMetrics metrics(font());
    int width = 0;
    for (const QString &word : {tr("Weak"), tr("Medium"), tr("Strong")})
        width = qMax(width, metrics.horizontalAdvance(word));
    return width;
}

QSize PwdStrengthWt::sizeHint() const
{
    const int bars = SegmentCount * 40 + (SegmentCount - 1) * SegmentGap;
    return QSize(bars + TextGap + textAreaWidth(), qMax(fontMetrics().height(), 20));
}

QSize PwdStrengthWt::minimumSizeHint() const
{
    const int bars = SegmentCount * MinSegmentWidth + (SegmentCount - 1) * SegmentGap;
    return QSize(bars + TextGap + textAreaWidth(), qMax(fontMetrics().height(), 20));
}

QRect PwdStrengthWt::segmentRect(int index) const
{
    if (index < 0 || index >= SegmentCount)
        return QRect();
    const int barsWidth = width() - TextGap - textAreaWidth();
    const int segmentWidth =
        qMax(MinSegmentWidth, (barsWidth - (SegmentCount - 1) * SegmentGap) / SegmentCount);
    const int top = (height() - SegmentHeight) / 2;
    return QRect(index * (segmentWidth + SegmentGap), top, segmentWidth, SegmentHeight);
}

QColor PwdStrengthWt::segmentColor(int index) const
{
    return index < litSegments(m_strength) ? levelColor(m_strength) : UnlitColor;
}

void PwdStrengthWt::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < SegmentCount; ++i)
        painter.fillRect(segmentRect(i), segmentColor(i));

    const QString word = strengthText();
    if (word.isEmpty())
        return;
    const int textLeft = segmentRect(SegmentCount - 1).right() + 1 + TextGap;
    painter.setPen(levelColor(m_strength));
    painter.drawText(QRect(textLeft, 0, width() - textLeft, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, word);
}

void PwdStrengthWt::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LanguageChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

} // namespace orlun_base
