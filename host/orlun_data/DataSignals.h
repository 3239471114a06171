#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

#include "TamSingleton.h"
#include "VmsSdkTypes.h"

namespace orlun_data {

// Change notifications of the device catalog.
class DataSignals : public QObject, public TAMCOMMON::TamSingleton<DataSignals>
{
    Q_OBJECT
public:
    explicit DataSignals(QObject *parent = nullptr);
    ~DataSignals() override;

signals:
    // Channel names or data of a device changed.
    void signalUpdateDevChannels(const QString &devId,
                                 const QList<vms_sdk::DevChannelInfo> &channels);
    // Channels are gone (channel ids).
    void signalDeleteChannels(const QStringList &channelIds);
    // The channel status of a device changed (indexed by channel number).
    void signalDevChannelsStatusChanged(const QString &devId, QList<vms_sdk::ChannelStatus>);

    // Structure changes the device tree follows.
    void signalAddDevice(const QString &devId);
    void signalDeleteDevice(const QString &devId);
    void signalGroupsChanged();
    // The store was opened or closed: every in-memory copy of it reloads.
    // Sent before signalCatalogReset, so views find the copies current.
    void signalStoreReloaded();
    // The whole catalog was reloaded (store reopened).
    void signalCatalogReset();
    // Another client changed, added or deleted these accounts (or their
    // grants or gestures) in a shared store; the in-memory copy follows.
    void signalUsersChanged(const QStringList &userNames);
    // Another client changed the store's settings (the super user's name,
    // the product configuration); they are read again already.
    void signalSettingsChanged();
};

} // namespace orlun_data
