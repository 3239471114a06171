#pragma once

#include "ModuleInitialization.h"
#include "TamSingleton.h"

namespace orlun_base {
class BaseForm;
}

namespace orlun_userMgr {

// The module's entry object: the client asks it for the user management form.
class UserMgrInit : public orlun_base::ModuleInitialization,
                    public TAMCOMMON::TamSingleton<UserMgrInit>
{
    Q_OBJECT
public:
    // A new, parentless form; the caller owns it.
    orlun_base::BaseForm *createUserMgrForm();

private:
    friend class TAMCOMMON::TamSingleton<UserMgrInit>;
    explicit UserMgrInit(QObject *parent = nullptr);
    virtual ~UserMgrInit();
};

} // namespace orlun_userMgr
