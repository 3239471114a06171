#pragma once

#include "HeldEvents.h"
#include "TableOperWt.h"

class QPushButton;

namespace orlun_base {

// Row operation cell with an edit and a delete button (object names
// "editBt" and "deleteBt"); each click reports the row's id.
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_editBt = nullptr;
    QPushButton *m_deleteBt = nullptr;
    // Style changes and polish of the buttons kept back until this cell is
    // polished, in the order they came.
    TAMCOMMON::HeldEvents m_waiting;
};

} // namespace orlun_base
