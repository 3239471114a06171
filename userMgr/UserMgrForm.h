#pragma once

#include "BaseForm.h"

namespace orlun_userMgr {

// The user management form (type 11).
class UserMgrForm : public orlun_base::BaseForm
{
    Q_OBJECT
public:
    explicit UserMgrForm(QWidget *parent = nullptr);
    ~UserMgrForm() override;

    orlun_base::FormType getFormType() const override;
};

} // namespace orlun_userMgr
