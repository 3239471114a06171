#pragma once

#include "BaseForm.h"

class QResizeEvent;
class QShowEvent;
class QWidget;

namespace orlun_userMgr {

namespace Ui {
class UserMgrForm;
}

// The user management form (type 11): the account list on the left, the
// shown account's fields and grants on the right. Switches between viewing,
// adding and editing and writes accounts and grants back to the host.
class UserMgrForm : public orlun_base::BaseForm
{
    Q_OBJECT
public:
    explicit UserMgrForm(QWidget *parent = nullptr);
    ~UserMgrForm() override;

    orlun_base::FormType getFormType() const override;
    // While adding or editing, asks whether to save the entries, drop them or
    // go back to them; true when the form may close.
    bool requestClose() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    enum EditState {
        StateNone = 0,
        StateAdding = 1,
        StateEditing = 2,
    };

    void setUpKeyboardAccess();
    void setEditable(bool editable);
    void adjustPowerLayout();
    void loadUser(const QString &userName);

    void addUser();
    void editUser();
    void saveUser();
    void cancelEdit();
    void deleteCurrentUser();
    void deleteUser(const QString &userName);

    void showFieldTip(QWidget *field, const QString &text);

    Ui::UserMgrForm *ui;
    // Set by the add and edit actions and never reset: viewing mode is told
    // by the hidden confirm and cancel buttons, not by this value.
    int m_editState;
};

} // namespace orlun_userMgr
