#include "DictDef.h"

#include <QCoreApplication>

namespace orlun_worker {

DictDef::DictDef()
    : noticeTitle(QCoreApplication::translate("DictDef", "Notice"))
    , errorTitle(QCoreApplication::translate("DictDef", "Error"))
    , warningTitle(QCoreApplication::translate("DictDef", "Warning"))
{}

} // namespace orlun_worker

template class TAMCOMMON::TamSingleton<orlun_worker::DictDef>;
