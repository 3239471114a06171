#pragma once

#include <QWidget>

class QListWidgetItem;

namespace orlun_userMgr {

namespace Ui {
class FunctionPowerList;
}

// Check list of the client functions a user may use, translated to and from
// the user's function-permission mask (-1 all, 0 none, else OR of the ids).
// Row 0 is "All"; it always follows the function rows below it.
class FunctionPowerList : public QWidget
{
    Q_OBJECT
public:
    explicit FunctionPowerList(QWidget *parent = nullptr);
    ~FunctionPowerList() override;

    void setEditable(bool editable);
    void setMask(int mask);
    int getMask();

private:
    void initItems();
    void addFunctionItem(int id, const QString &text);
    void slotItemChanged(QListWidgetItem *item);

    Ui::FunctionPowerList *ui;
};

} // namespace orlun_userMgr
