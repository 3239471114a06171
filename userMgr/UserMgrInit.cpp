#include "UserMgrInit.h"

#include "UserMgrForm.h"

namespace orlun_userMgr {

UserMgrInit::UserMgrInit(QObject *parent)
    : orlun_base::ModuleInitialization(parent)
{}

UserMgrInit::~UserMgrInit() = default;

orlun_base::BaseForm *UserMgrInit::createUserMgrForm()
{
    return new UserMgrForm(nullptr);
}

} // namespace orlun_userMgr

// The client reaches the entry object through this instantiation, so it must
// be emitted (and exported) by this library.
template class TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>;
