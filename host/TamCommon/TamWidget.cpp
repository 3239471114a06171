#include "TamWidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace TAMCOMMON {

TamWidget::TamWidget(QWidget *parent)
    : QWidget(parent)
{}

TamWidget::~TamWidget() = default;

void TamWidget::paintEvent(QPaintEvent *event)
{
    // QWidget::paintEvent draws nothing for subclasses; PE_Widget is what lets
    // the style-sheet style paint "background-color" and borders.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    QWidget::paintEvent(event);
}

} // namespace TAMCOMMON
