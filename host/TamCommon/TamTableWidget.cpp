#include "TamTableWidget.h"

#include <QChildEvent>
#include <QHeaderView>

namespace TAMCOMMON {

TamTableWidget::TamTableWidget(QWidget *parent)
    : QTableWidget(parent)
    , m_deferral(new DeferredItemWidgets(this))
{}

TamTableWidget::~TamTableWidget() = default;

void TamTableWidget::insertRow(int row)
{
    DeferredItemWidgets::RowChange change(m_deferral);
    QTableWidget::insertRow(row);
}

void TamTableWidget::removeRow(int row)
{
    DeferredItemWidgets::RowChange change(m_deferral);
    // The removed row's cell widget is released by Qt with deleteLater, so a
    // row may be removed from inside a signal of its own cell widget.
    QTableWidget::removeRow(row);
}

void TamTableWidget::setRowHidden(int row, bool hide)
{
    if (row < 0 || row >= rowCount() || isRowHidden(row) == hide)
        return;
    QHeaderView *header = verticalHeader();
    if (header->updatesEnabled()) {
        // With updates on, the header recomputes every section position to
        // repaint from the changed row down, once per hidden or shown row.
        // QTableView::doItemsLayout switches them back on, as it does after
        // Qt's own row removals.
        header->setUpdatesEnabled(false);
        scheduleDelayedItemsLayout();
    }
    DeferredItemWidgets::RowChange change(m_deferral);
    QTableWidget::setRowHidden(row, hide);
}

void TamTableWidget::doItemsLayout()
{
    m_deferral->layoutStarting();
    QTableWidget::doItemsLayout();
    m_deferral->layoutFinished();
}

void TamTableWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    DeferredItemWidgets::RowChange change(m_deferral);
    QTableWidget::rowsInserted(parent, start, end);
    m_deferral->rowsInserted(end - start + 1);
}

void TamTableWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_deferral->beginRemoval();
    QTableWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TamTableWidget::updateGeometries()
{
    if (m_deferral->isDeferring()) {
        deferGeometries();
        return;
    }
    QTableWidget::updateGeometries();
}

void TamTableWidget::updateEditorGeometries()
{
    // Qt asks for a pass over every cell widget after each inserted or
    // removed row while the table is visible; one pass after the last change
    // places them all.
    if (m_deferral->isDeferring()) {
        deferGeometries();
        return;
    }
    m_deferral->placeWidgets([this] { QTableWidget::updateEditorGeometries(); });
}

bool TamTableWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        m_deferral->viewportChildAdded(static_cast<QChildEvent *>(event)->child());
    else if (event->type() == QEvent::ChildRemoved)
        m_deferral->viewportChildRemoved(static_cast<QChildEvent *>(event)->child());
    return QTableWidget::viewportEvent(event);
}

void TamTableWidget::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    m_deferral->showParkedInView();
}

void TamTableWidget::deferGeometries()
{
    m_deferral->markDeferred();
    // The delayed layout ends in updateGeometries() and so in a full cell
    // widget pass; Qt already runs it after every row count change.
    scheduleDelayedItemsLayout();
}

} // namespace TAMCOMMON
