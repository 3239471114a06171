#include "UserMgrForm.h"

namespace orlun_userMgr {

UserMgrForm::UserMgrForm(QWidget *parent)
    : orlun_base::BaseForm(parent)
{
    setObjectName(QStringLiteral("orlun_userMgr__UserMgrForm"));
    setStyleSheet(QStringLiteral("orlun_userMgr--UserMgrForm{background-color:#101928;}"));
    resize(1565, 795);
}

UserMgrForm::~UserMgrForm() = default;

orlun_base::FormType UserMgrForm::getFormType() const
{
    return orlun_base::FormUserMgr;
}

} // namespace orlun_userMgr
