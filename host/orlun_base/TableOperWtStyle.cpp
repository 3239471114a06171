#include "TableOperWtStyle.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLayout>
#include <QScrollBar>
#include <QTimer>

#include "TamTableWidget.h"

namespace orlun_base {

namespace {

QTableWidgetItem *tickableItem(TAMCOMMON::TamTableWidget *table, int row)
{
    if (table->isRowHidden(row))
        return nullptr;
    QTableWidgetItem *item = table->item(row, 0);
    if (!item || !(item->flags() & Qt::ItemIsUserCheckable))
        return nullptr;
    return item;
}

} // namespace

TableOperWtStyle::TableOperWtStyle(QObject *parent)
    : QObject(parent)
{}

TableOperWtStyle::~TableOperWtStyle() = default;

void TableOperWtStyle::detach()
{
    if (m_selAll)
        disconnect(m_selAll, nullptr, this, nullptr);
    if (m_table) {
        m_table->removeEventFilter(this);
        m_table->viewport()->removeEventFilter(this);
        disconnect(m_table, nullptr, this, nullptr);
        disconnect(m_table->model(), nullptr, this, nullptr);
        disconnect(m_table->horizontalHeader(), nullptr, this, nullptr);
        disconnect(m_table->verticalHeader(), nullptr, this, nullptr);
        disconnect(m_table->verticalScrollBar(), nullptr, this, nullptr);
    }
}

void TableOperWtStyle::setWts(QCheckBox *selAll, TAMCOMMON::TamTableWidget *table,
                              QLayout *headerLayout, QList<int> operColumns)
{
    detach();
    m_selAll = selAll;
    m_table = table;
    m_headerLayout = headerLayout;
    m_operColumns = operColumns;
    if (!table)
        return;
    if (headerLayout)
        m_headerMargins = headerLayout->contentsMargins();

    QHeaderView *header = table->horizontalHeader();
    for (int column : qAsConst(m_operColumns)) {
        if (column < 0 || column >= table->columnCount())
            continue;
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        // A fixed-width header cell states the width its column's widgets need.
        QLayoutItem *cell = headerLayout ? headerLayout->itemAt(column) : nullptr;
        QWidget *cellWidget = cell ? cell->widget() : nullptr;
        if (cellWidget && cellWidget->minimumWidth() == cellWidget->maximumWidth() &&
            cellWidget->minimumWidth() > 0)
            header->resizeSection(column, cellWidget->minimumWidth());
    }

    if (headerLayout && headerLayout->parentWidget()) {
        // The strip follows the table: the cells' fixed widths must not turn
        // into a minimum width of the strip, or the panel could never shrink
        // below the widest size its table ever had.
        QWidget *strip = headerLayout->parentWidget();
        QSizePolicy policy = strip->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        strip->setSizePolicy(policy);
    }

    if (selAll) {
        connect(selAll, &QAbstractButton::clicked, this, &TableOperWtStyle::onSelAllClicked);
        connect(selAll, &QObject::destroyed, this, [this]() { m_selAll = nullptr; });
    }

    // The box follows check marks, rows coming and going, rows being hidden
    // (a hidden row's section shrinks to 0) and re-sorting.
    connect(table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item && item->column() == 0)
            scheduleSelAllUpdate();
    });
    QAbstractItemModel *model = table->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            &TableOperWtStyle::scheduleSelAllUpdate);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TableOperWtStyle::scheduleSelAllUpdate);
    connect(model, &QAbstractItemModel::modelReset, this, &TableOperWtStyle::scheduleSelAllUpdate);
    connect(model, &QAbstractItemModel::layoutChanged, this,
            &TableOperWtStyle::scheduleSelAllUpdate);
    connect(table->verticalHeader(), &QHeaderView::sectionResized, this,
            &TableOperWtStyle::scheduleSelAllUpdate);

    // The strip follows the columns.
    connect(header, &QHeaderView::sectionResized, this, &TableOperWtStyle::syncHeaderWidths);
    connect(header, &QHeaderView::sectionCountChanged, this, &TableOperWtStyle::syncHeaderWidths);
    connect(header, &QHeaderView::geometriesChanged, this, &TableOperWtStyle::syncHeaderWidths);
    connect(table->verticalScrollBar(), &QScrollBar::rangeChanged, this,
            &TableOperWtStyle::syncHeaderWidths);
    table->installEventFilter(this);
    // Stretched columns change width without sectionResized (Qt re-stretches
    // them on a delayed pass), but the table always repaints afterwards.
    table->viewport()->installEventFilter(this);

    updateSelAll();
    syncHeaderWidths();
}

bool TableOperWtStyle::eventFilter(QObject *watched, QEvent *event)
{
    // Only these events matter. Testing the type first also keeps the filter
    // off m_table while the table is being destroyed: it still sends events
    // then, but is no longer a TamTableWidget.
    const QEvent::Type type = event->type();
    if ((type != QEvent::Resize && type != QEvent::Show && type != QEvent::Paint) || !m_table)
        return QObject::eventFilter(watched, event);
    if (watched == m_table && (type == QEvent::Resize || type == QEvent::Show)) {
        syncHeaderWidths();
    } else if (watched == m_table->viewport() && type == QEvent::Paint && !m_syncPending &&
               !headerInStep()) {
        // Not from inside the paint: the strip is laid out again afterwards.
        m_syncPending = true;
        QTimer::singleShot(0, this, [this]() {
            m_syncPending = false;
            syncHeaderWidths();
        });
    }
    return QObject::eventFilter(watched, event);
}

void TableOperWtStyle::onSelAllClicked()
{
    if (!m_selAll || !m_table)
        return;

    // From "partially" a click goes to "checked" (see updateSelAll), so only
    // the two full states reach the rows.
    const Qt::CheckState target =
        m_selAll->checkState() == Qt::Unchecked ? Qt::Unchecked : Qt::Checked;
    m_settingRows = true;
    for (int row = 0, rows = m_table->rowCount(); row < rows; ++row) {
        if (QTableWidgetItem *item = tickableItem(m_table, row)) {
            if (item->checkState() != target)
                item->setCheckState(target);
        }
    }
    m_settingRows = false;
    updateSelAll();
}

void TableOperWtStyle::scheduleSelAllUpdate()
{
    if (m_settingRows || m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, [this]() {
        m_updatePending = false;
        updateSelAll();
    });
}

void TableOperWtStyle::updateSelAll()
{
    if (!m_selAll || !m_table)
        return;

    int tickable = 0;
    int checked = 0;
    bool partial = false;
    for (int row = 0, rows = m_table->rowCount(); row < rows; ++row) {
        if (QTableWidgetItem *item = tickableItem(m_table, row)) {
            ++tickable;
            const Qt::CheckState state = item->checkState();
            if (state == Qt::Checked)
                ++checked;
            else if (state == Qt::PartiallyChecked)
                partial = true;
        }
    }

    Qt::CheckState state = Qt::PartiallyChecked;
    if (tickable == 0 || (checked == 0 && !partial))
        state = Qt::Unchecked;
    else if (checked == tickable)
        state = Qt::Checked;

    // QCheckBox cycles a tristate box unchecked -> partial -> checked, so the
    // box is tristate only while it shows "partially": a click then leads to
    // "checked", and from the full states a click never lands on "partially".
    if (state == Qt::PartiallyChecked) {
        m_selAll->setCheckState(Qt::PartiallyChecked);
    } else {
        m_selAll->setTristate(false);
        m_selAll->setCheckState(state);
    }
}

bool TableOperWtStyle::headerInStep() const
{
    if (!m_table || !m_headerLayout)
        return true;
    const int columns = m_table->columnCount();
    for (int i = 0, count = m_headerLayout->count(); i < count && i < columns; ++i) {
        const QWidget *cell = m_headerLayout->itemAt(i)->widget();
        const int width = m_table->isColumnHidden(i) ? 0 : m_table->columnWidth(i);
        if (cell && (cell->minimumWidth() != width || cell->maximumWidth() != width))
            return false;
    }
    return m_headerLayout->contentsMargins() == headerMargins();
}

QMargins TableOperWtStyle::headerMargins() const
{
    // The table's frame and vertical scroll bar take room beside the columns;
    // the strip leaves the same room, or its layout would spread the
    // fixed-width cells apart to fill it.
    const QWidget *viewport = m_table->viewport();
    const int left = viewport->x();
    const int right = qMax(0, m_table->width() - viewport->x() - viewport->width());
    return QMargins(m_headerMargins.left() + left, m_headerMargins.top(),
                    m_headerMargins.right() + right, m_headerMargins.bottom());
}

void TableOperWtStyle::syncHeaderWidths()
{
    if (!m_table || !m_headerLayout)
        return;
    const int columns = m_table->columnCount();
    for (int i = 0, count = m_headerLayout->count(); i < count && i < columns; ++i) {
        QWidget *cell = m_headerLayout->itemAt(i)->widget();
        if (!cell)
            continue;
        const int width = m_table->isColumnHidden(i) ? 0 : m_table->columnWidth(i);
        if (cell->minimumWidth() != width || cell->maximumWidth() != width)
            cell->setFixedWidth(width);
    }

    const QMargins margins = headerMargins();
    if (m_headerLayout->contentsMargins() != margins)
        m_headerLayout->setContentsMargins(margins);
}

} // namespace orlun_base
