#include "PEWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace TAMCOMMON {

PEWidget::PEWidget(QWidget *parent)
    : QWidget(parent)
{}

PEWidget::~PEWidget() = default;

void PEWidget::paintEvent(QPaintEvent *event)
{
    // Rows and panels built on this class style themselves with
    // "background-color" rules, which a QWidget subclass only shows when it
    // paints PE_Widget itself.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    QWidget::paintEvent(event);
}

void PEWidget::mouseReleaseEvent(QMouseEvent *event)
{
    emit signalClicked();
    QWidget::mouseReleaseEvent(event);
}

void PEWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit signalDoubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace TAMCOMMON
