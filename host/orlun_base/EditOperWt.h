#pragma once

#include "TableOperWt.h"

class QHBoxLayout;
class QPushButton;

namespace orlun_base {

// Row operation cell with an edit and a delete button (object names
// "editBt" and "deleteBt"); each click reports the row's id.
//
// Tables make one cell per row, tens of thousands at a time, and show few of
// them: a button is made only once the cell is polished (about to be shown)
// and the button is wanted, so a cell that is never shown, or whose buttons
// stay hidden, is a single widget.
class EditOperWt : public TableOperWt
{
    Q_OBJECT
public:
    EditOperWt(const QString &id, QWidget *parent = nullptr);
    ~EditOperWt() override;

    void setEditBtVisible(bool visible);
    void setDeleteBtVisible(bool visible);

signals:
    void signalEditBtClicked(const QString &id);
    void signalDeleteBtClicked(const QString &id);

protected:
    bool event(QEvent *event) override;

private:
    void makeWantedButtons();

    QHBoxLayout *m_layout = nullptr;
    QPushButton *m_editBt = nullptr;
    QPushButton *m_deleteBt = nullptr;
    // Shown unless hidden, as any child widget.
    bool m_editWanted = true;
    bool m_deleteWanted = true;
};

} // namespace orlun_base
