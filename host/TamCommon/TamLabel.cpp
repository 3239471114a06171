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
    const QFontMetrics metrics(font());
    const QMargins margins = contentsMargins();
    const int extra = 2 * margin() + qMax(indent(), 0);
    const int width =
        metrics.horizontalAdvance(m_fullText) + margins.left() + margins.right() + extra;
    return QSize(width, QLabel::sizeHint().height());
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
        const QFontMetrics metrics(font());
        shown = metrics.elidedText(m_fullText, Qt::ElideRight, qMax(availableTextWidth(), 0));
    }

    if (shown != text())
        QLabel::setText(shown);

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
