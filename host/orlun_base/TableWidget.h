#pragma once

#include "TamTableWidget.h"

namespace orlun_base {

// The client's standard table: whole-row selection, no grid, alternating
// look driven by one background colour.
class TableWidget : public TAMCOMMON::TamTableWidget
{
    Q_OBJECT
public:
    explicit TableWidget(QWidget *parent = nullptr);
    ~TableWidget() override;

    // Background of the table's viewport and of its rows.
    void setBackgroudColor(const QColor &color);

private:
    // The style-sheet rule the last setBackgroudColor added, so the next call
    // replaces it instead of piling rules up.
    QString m_backgroundRule;
};

} // namespace orlun_base
