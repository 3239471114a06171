#include "TableWidget.h"

#include <QHeaderView>
#include <QPalette>

namespace orlun_base {

TableWidget::TableWidget(QWidget *parent)
    : TAMCOMMON::TamTableWidget(parent)
{
    // Client tables are lists of records: a click selects the record, cells
    // are never edited in place, and rows are separated by colour, not lines.
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(36);
    horizontalHeader()->setHighlightSections(false);

    QPalette pal = palette();
    pal.setColor(QPalette::Text, QColor(QRgb(0xC9D1DC)));
    pal.setColor(QPalette::Highlight, QColor(QRgb(0x213147)));
    pal.setColor(QPalette::HighlightedText, QColor(QRgb(0xFFFFFF)));
    setPalette(pal);
}

TableWidget::~TableWidget() = default;

void TableWidget::setBackgroudColor(const QColor &color)
{
    // Every other row a shade lighter, so rows stay apart without a grid.
    const QColor alternate = color.lightness() < 128 ? color.lighter(115) : color.darker(105);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::AlternateBase, alternate);
    setPalette(pal);
    viewport()->setPalette(pal);

    // A style sheet on the table or an ancestor overrides the palette, so the
    // colour is repeated as a rule of the table's own sheet.
    QString sheet = styleSheet();
    if (!m_backgroundRule.isEmpty())
        sheet.remove(m_backgroundRule);
    m_backgroundRule =
        QStringLiteral("QTableWidget{background-color:%1;alternate-background-color:%2;}")
            .arg(color.name(), alternate.name());
    setStyleSheet(sheet + m_backgroundRule);
}

} // namespace orlun_base
