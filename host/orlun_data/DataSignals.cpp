#include "DataSignals.h"

#include "UserInfo.h"

namespace orlun_data {

DataSignals::DataSignals(QObject *parent)
    : QObject(parent)
{
    // Receivers in other threads get these through queued connections,
    // which need the argument types known to the meta-type system.
    qRegisterMetaType<vms_sdk::ChannelStatus>();
    qRegisterMetaType<QList<vms_sdk::ChannelStatus>>();
    qRegisterMetaType<vms_sdk::DevChannelInfo>();
    qRegisterMetaType<QList<vms_sdk::DevChannelInfo>>();
    qRegisterMetaType<vms_sdk::DevInfo>();
    qRegisterMetaType<QList<vms_sdk::DevInfo>>();
    qRegisterMetaType<vms_sdk::GroupChannelInfo>();
    qRegisterMetaType<QList<vms_sdk::GroupChannelInfo>>();
    qRegisterMetaType<orlun_data::UserInfo>();
    qRegisterMetaType<orlun_data::UserResInfo>();
    qRegisterMetaType<QList<orlun_data::UserResInfo>>();
}

DataSignals::~DataSignals() = default;

} // namespace orlun_data

template class TAMCOMMON::TamSingleton<orlun_data::DataSignals>;
