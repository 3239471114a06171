#pragma once

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPointer>

class QCheckBox;
class QLayout;

namespace TAMCOMMON {
class TamTableWidget;
}

namespace orlun_base {

// Ties a table to a strip of header widgets laid out above it (the table's
// own header hidden) and to a select-all box:
// - the "All" box ticks and unticks column 0 of the visible, user-checkable
//   rows, and follows them (checked, partially checked, unchecked);
// - the header strip's cells keep the widths of the table's columns;
// - operColumns are the operation columns (cell widgets, fixed width).
class TableOperWtStyle : public QObject
{
    Q_OBJECT
public:
    explicit TableOperWtStyle(QObject *parent = nullptr);
    ~TableOperWtStyle() override;

    void setWts(QCheckBox *selAll, TAMCOMMON::TamTableWidget *table, QLayout *headerLayout,
                QList<int> operColumns);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void detach();
    void onSelAllClicked();
    // Re-evaluates the "All" box once the current batch of changes is over.
    void scheduleSelAllUpdate();
    void updateSelAll();
    void syncHeaderWidths();
    bool headerInStep() const;
    QMargins headerMargins() const;

    QPointer<QCheckBox> m_selAll;
    QPointer<TAMCOMMON::TamTableWidget> m_table;
    QPointer<QLayout> m_headerLayout;
    QList<int> m_operColumns;
    QMargins m_headerMargins;
    bool m_updatePending = false;
    bool m_syncPending = false;
    bool m_settingRows = false;
};

} // namespace orlun_base
