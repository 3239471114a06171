#include "TamLabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace TAMCOMMON {

TamLabel::TamLabel(QWidget *parent)
    : QLabel(parent)
{}

TamLabel::~TamLabel() = default;

void TamLabel::setText(const QString &text)
{
    m_fullText = text;
    updateElidedText();
    updateGeometry();
}

QSize TamLabel::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const int extra = 2 * margin() + qMax(indent(), 0);
    const int width = fullTextWidth() + margins.left() + margins.right() + extra;
    return QSize(width, QLabel::sizeHint().height());
}

int TamLabel::fullTextWidth() const
{
    const QFont current = font();
    if (m_measuredWidth < 0 || m_measuredText != m_fullText || m_measuredFont != current) {
        m_measuredWidth = QFontMetrics(current).horizontalAdvance(m_fullText);
        m_measuredText = m_fullText;
        m_measuredFont = current;
    }
    return m_measuredWidth;
}

QSize TamLabel::minimumSizeHint() const
{
    // Room for the ellipsis only: the label is meant to give way in tight rows.
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    const int width = metrics.horizontalAdvance(QStringLiteral("\u2026")) + margins.left() +
                      margins.right() + 2 * margin();
    return QSize(width, QLabel::minimumSizeHint().height());
}

void TamLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateElidedText();
}

void TamLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateElidedText();
}

int TamLabel::availableTextWidth() const
{
    return contentsRect().width() - 2 * margin() - qMax(indent(), 0);
}

void TamLabel::updateElidedText()
{
    QString shown = m_fullText;
    if (!wordWrap() && !m_fullText.contains(QLatin1Char('\n'))) {
        const QFont current = font();
        const int width = qMax(availableTextWidth(), 0);
        if (width == m_elidedForWidth && m_elidedFrom == m_fullText && m_elidedFont == current &&
            m_elidedShown == text())
            return;
        m_elidedForWidth = width;
        m_elidedFrom = m_fullText;
        m_elidedFont = current;
        // Qt measures with fractions: a text whose rounded width just fits
        // may still be elided, so only a clear fit skips the eliding.
        if (fullTextWidth() >= width)
            shown = QFontMetrics(current).elidedText(m_fullText, Qt::ElideRight, width);
    }

    if (shown != text())
        QLabel::setText(shown);
    m_elidedShown = shown;

    const bool elided = shown != m_fullText;
    if (elided) {
        setToolTip(m_fullText);
        m_elisionToolTip = true;
    } else if (m_elisionToolTip) {
        setToolTip(QString());
        m_elisionToolTip = false;
    }
}

} // namespace TAMCOMMON
