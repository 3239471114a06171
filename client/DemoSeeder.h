#pragma once

#include <QString>
#include <QStringList>

#include "VmsSdkTypes.h"

// Fills an empty store with a small demo site: the super user, a handful of
// accounts with grants, three NVRs, a row of IP cameras, channel groups and
// channel status, and a product configuration that offers every function.
// Everything goes through the host's own services, so the data looks exactly
// like what the client would have written itself.
class DemoSeeder
{
public:
    enum Result {
        AlreadyPopulated, // the store held accounts or devices; nothing was written
        Seeded,
        Failed, // some writes were refused; see failures()
    };

    // Seeds a large site instead of the small one: nvrs 16-channel NVRs,
    // four channel groups of up to 1,000 channels each and accounts
    // accounts, one of which ("everything") is granted every channel.
    void setLargeSite(int nvrs, int accounts);

    Result seedIfEmpty();
    QStringList failures() const { return m_failures; }

    // A store counts as empty when it holds neither ordinary accounts nor
    // devices; anything else is a site someone already set up.
    static bool isStoreEmpty();

private:
    void seedConfiguration();
    void seedDevices();
    void seedGroups();
    void seedChannelStatus();
    void seedAccounts();
    void seedLargeSite();

    void addGroup(const QString &groupId, const QString &name, const QStringList &channelIds);
    void check(bool ok, const QString &what);

    QString m_superUser;
    int m_largeNvrs = 0;
    int m_largeAccounts = 0;
    QStringList m_failures;
};
