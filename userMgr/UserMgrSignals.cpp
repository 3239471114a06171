#include "UserMgrSignals.h"

namespace orlun_userMgr {

UserMgrSignals::UserMgrSignals(QObject *parent)
    : QObject(parent)
{}

} // namespace orlun_userMgr

template class TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrSignals>;
