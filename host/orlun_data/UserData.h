#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "TamSingleton.h"
#include "UserInfo.h"

namespace orlun_data {

// Local accounts, their grants and their gesture passwords, kept in the
// DataStore and mirrored in memory (look-ups by name are O(1)). Every write
// goes to the store first, in one transaction; the memory follows only
// after the commit, so a refused write leaves both as they were.
//
// Look-ups take the exact name. Uniqueness (isUserExist, addUser) ignores
// letter case and includes the super user's name from the store's settings.
class UserData : public TAMCOMMON::TamSingleton<UserData>
{
public:
    // Writes that a test can make fail once (see failNextWrite).
    enum WriteOp {
        SetUserRes,
        AddUser,
        UpdateUser,
        DeleteUser,
        SetUserGesture,
        DeleteUserGesture,
    };

    // Every account but the super user, in creation order.
    QList<UserInfo> getAllUsers(const QString &superUserName);
    // The stored record, or a default record when the name is unknown.
    UserInfo getUserInfo(const QString &userName);
    QList<UserResInfo> getUserRes(const QString &userName);
    bool isUserExist(const QString &userName);

    // Replaces the account's grants (the account need not exist yet).
    bool setUserRes(const QString &userName, const QList<UserResInfo> &resList);
    // Fails for an empty or taken name.
    bool addUser(const UserInfo &info);
    // Fails for an unknown name.
    bool updateUser(const UserInfo &info);
    // Removes the account with its grants and gesture; fails for an unknown name.
    bool deleteUser(const QString &userName);

    bool isUserConfigureGesture(const QString &userName);
    // Stores the salted hash of a gesture pattern; fails for an unknown account.
    bool setUserGesture(const QString &userName, const QByteArray &salt, const QByteArray &hash);
    bool getUserGesture(const QString &userName, QByteArray *salt, QByteArray *hash);
    bool deleteUserGesture(const QString &userName);

    // Test seam: the next call of op returns false without touching the store.
    // Opening a store drops failures still queued.
    void failNextWrite(WriteOp op);

    // Re-reads everything from the DataStore; called when the store opens.
    void reload();

private:
    friend class TAMCOMMON::TamSingleton<UserData>;
    UserData() = default;
    ~UserData() = default;

    bool consumeFailure(WriteOp op);
    bool isSuperUserName(const QString &userName) const;
    // Names that differ only in letter case are one account for uniqueness.
    static QString foldName(const QString &userName);

    struct Gesture
    {
        QByteArray salt;
        QByteArray hash;
    };
    QStringList m_order; // names in creation order
    QHash<QString, UserInfo> m_users;
    QHash<QString, QString> m_foldedNames; // folded name -> stored name
    QHash<QString, QList<UserResInfo>> m_res;
    QHash<QString, Gesture> m_gestures;
    QList<WriteOp> m_failures;
};

} // namespace orlun_data
