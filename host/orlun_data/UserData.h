#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
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
//
// Records are kept to what the user form can show and give back unchanged:
// a name of 1 to 64 ASCII letters and digits, a password of 1 to 16
// characters without blanks, a description of at most 32 characters without
// surrounding blanks (see checkRecord). addUser and updateUser refuse
// anything else and say why through lastError()/lastErrorText().
//
// Grants are written together with their account. setUserRes only holds the
// list; the next addUser or updateUser of the same name stores it in the
// account's own transaction, and drops it when that write fails, so a failed
// save leaves neither orphan grants nor half of an edit behind. Any other
// call, and the return to the event loop, settles a list still held: it is
// stored on its own for an existing account (the grants of a caller that
// writes grants alone) and dropped for a name without an account.
//
// Several clients may share one store. Each account carries a version that
// every write of it or its grants raises; an edit is written only over the
// version that getUserInfo last showed for it, so an edit made from a copy
// that another client has changed since is refused (ChangedElsewhere). The
// store's unique index decides between clients adding one name at once.
class UserData : public TAMCOMMON::TamSingleton<UserData>
{
public:
    // Why the last write was refused (NoError after a write that succeeded).
    enum Error {
        NoError,
        InvalidName,
        InvalidPassword,
        InvalidDescription,
        NameTaken,
        UnknownUser,
        // The write would replace a stored value that breaks the rules with
        // the cut or trimmed text the form shows for it, or would hit
        // another account than the one last read (getUserInfo).
        WouldLoseStoredValue,
        // Another client changed the account since it was read.
        ChangedElsewhere,
        StoreFailure,
        InjectedFailure,
    };

    // Maximum lengths the user form can hold.
    static constexpr int MaxNameLength = 64;
    static constexpr int MaxPasswordLength = 16;
    static constexpr int MaxDescriptionLength = 32;

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
    // An account of exactly this name is stored. Unlike getUserInfo, asking
    // does not make this the copy that the next updateUser is checked against.
    bool isStoredAccount(const QString &userName) const { return m_users.contains(userName); }

    // Holds the account's new grants for its next account write (see above);
    // fails for a blank name and then drops what was held for that name.
    bool setUserRes(const QString &userName, const QList<UserResInfo> &resList);
    // Fails for a record that breaks the rules or a taken name.
    bool addUser(const UserInfo &info);
    // Writes exactly the account of that name; fails for an unknown name or a
    // record that breaks the rules.
    bool updateUser(const UserInfo &info);
    // Removes the account with its grants and gesture; fails for an unknown name.
    bool deleteUser(const QString &userName);

    bool isUserConfigureGesture(const QString &userName);
    // Stores the hash of a gesture pattern (with the salt of the old format,
    // empty for hashes that carry their own); fails for an unknown account.
    bool setUserGesture(const QString &userName, const QByteArray &salt, const QByteArray &hash);
    bool getUserGesture(const QString &userName, QByteArray *salt, QByteArray *hash);
    bool deleteUserGesture(const QString &userName);

    Error lastError() const { return m_lastError; }
    QString lastErrorText() const { return m_lastErrorText; }

    // NoError when the user form can show the record and give it back
    // unchanged; otherwise the first broken rule, explained in *why.
    static Error checkRecord(const UserInfo &info, QString *why = nullptr);
    // Accounts of the open store that break those rules, in creation order,
    // each as "name: reason". Found when the store opens; nothing is changed.
    QStringList invalidRecords() const { return m_invalidRecords; }

    // Forgets the in-memory grants of deleted channels (DevsMgrData has
    // deleted their rows in the deleting transaction).
    void forgetChannelGrants(const QStringList &channelIds);

    // Stores or drops grants still held (see above). DataStore calls it
    // before it closes a connection.
    void settlePendingRes();

    // Test seam: the next call of op returns false without touching the store.
    // Opening a store drops failures still queued.
    void failNextWrite(WriteOp op);

    // Re-reads everything from the DataStore; called when the store opens.
    void reload();
    // Re-reads the named accounts (all of them with everything) after other
    // clients changed them, keeping what this client holds (the account last
    // read, grants held); returns the names whose records changed.
    QStringList refresh(const QStringList &userNames, bool everything = false);

private:
    friend class TAMCOMMON::TamSingleton<UserData>;
    UserData();
    ~UserData();

    bool consumeFailure(WriteOp op);
    bool fail(Error error, const QString &text);
    bool succeed();
    // Takes the grants held for userName (if any) out of the pending slot.
    bool takePendingRes(const QString &userName, QList<UserResInfo> *resList);
    bool writeRes(const QString &userName, const QList<UserResInfo> &resList);
    void keepRes(const QString &userName, const QList<UserResInfo> &resList);
    // Refuses an edit that would overwrite a stored out-of-rule value with
    // the form's cut or trimmed copy of it, or hit another account.
    bool losesStoredValue(const UserInfo &info, QString *why) const;
    bool isSuperUserName(const QString &userName) const;
    void loadAll();
    // Re-reads one account (whatever the letter case of its stored name).
    void refreshAccount(const QString &userName);
    void forget(const QString &userName);
    // Names that differ only in letter case are one account for uniqueness.
    static QString foldName(const QString &userName);

    struct Gesture
    {
        QByteArray salt;
        QByteArray hash;
    };
    QStringList m_order; // names in creation order
    QHash<QString, UserInfo> m_users;
    QHash<QString, int> m_versions;
    QHash<QString, QString> m_foldedNames; // folded name -> stored name
    QHash<QString, QList<UserResInfo>> m_res;
    QHash<QString, Gesture> m_gestures;
    QList<WriteOp> m_failures;
    // The one list setUserRes holds; a later call settles it first.
    bool m_hasPendingRes = false;
    QString m_pendingName;
    QList<UserResInfo> m_pendingRes;
    quint64 m_pendingSerial = 0;
    QString m_lastReadName; // the account getUserInfo last found
    int m_lastReadVersion = 0;
    Error m_lastError = NoError;
    QString m_lastErrorText;
    QStringList m_invalidRecords;
    QMetaObject::Connection m_reloadConnection;
};

} // namespace orlun_data
