#include "UserData.h"

#include <QCoreApplication>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QVariant>

#include "DataLog.h"
#include "DataSignals.h"
#include "DataStore.h"
#include "SqlText.h"
#include "StoreKeys.h"

#include <algorithm>

namespace orlun_data {

namespace {

DataStore &store()
{
    return DataStore::_instance();
}

bool isBlank(const QString &userName)
{
    return userName.trimmed().isEmpty();
}

QString tr(const char *text, const char *disambiguation = nullptr, int n = -1)
{
    return QCoreApplication::translate("orlun_data::UserData", text, disambiguation, n);
}

bool isAsciiAlnum(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

bool hasBlank(const QString &text)
{
    for (QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

// What the form makes of a stored value: its field holds at most maxLength
// characters, and saving trims what the field holds.
QString formCopy(const QString &stored, int maxLength)
{
    return stored.left(maxLength).trimmed();
}

// Above this many accounts changed at once, one full read is cheaper.
constexpr int kRefreshOneByOne = 50;

const char kSelectUsers[] = "SELECT name, pwd, user_type, function_power, description,"
                            " super_user, version FROM users";

UserInfo userFrom(const QSqlQuery &query)
{
    UserInfo info;
    info.userName = query.value(0).toString();
    info.userPwd = query.value(1).toString();
    info.userType = query.value(2).toInt();
    info.functionPower = query.value(3).toInt();
    info.userDescribe = query.value(4).toString();
    info.superUserName = query.value(5).toString();
    return info;
}

bool announceAccount(const QString &userName)
{
    return store().announce(QStringLiteral("u:") + userName);
}

} // namespace

UserData::Error UserData::checkRecord(const UserInfo &info, QString *why)
{
    auto broken = [why](Error error, const QString &text) {
        if (why)
            *why = text;
        return error;
    };
    const QString &name = info.userName;
    if (name.isEmpty() || name.size() > MaxNameLength ||
        !std::all_of(name.begin(), name.end(), isAsciiAlnum))
        return broken(InvalidName, tr("the name must be 1 to %n ASCII letters and digits", nullptr,
                                      MaxNameLength));
    if (info.userPwd.isEmpty() || info.userPwd.size() > MaxPasswordLength || hasBlank(info.userPwd))
        return broken(InvalidPassword, tr("the password must be 1 to %n characters without blanks",
                                          nullptr, MaxPasswordLength));
    if (info.userDescribe.size() > MaxDescriptionLength ||
        info.userDescribe != info.userDescribe.trimmed())
        return broken(InvalidDescription,
                      tr("the description must be at most %n characters without surrounding"
                         " blanks",
                         nullptr, MaxDescriptionLength));
    if (why)
        why->clear();
    return NoError;
}

bool UserData::fail(Error error, const QString &text)
{
    m_lastError = error;
    m_lastErrorText = text;
    return false;
}

bool UserData::succeed()
{
    m_lastError = NoError;
    m_lastErrorText.clear();
    return true;
}

QString UserData::foldName(const QString &userName)
{
    return userName.toCaseFolded();
}

QList<UserInfo> UserData::getAllUsers(const QString &superUserName)
{
    settlePendingRes();
    const QString superFolded = foldName(superUserName);
    QList<UserInfo> users;
    users.reserve(m_order.size());
    for (const QString &name : qAsConst(m_order)) {
        if (!superUserName.isEmpty() && foldName(name) == superFolded)
            continue;
        users.append(m_users.value(name));
    }
    return users;
}

UserInfo UserData::getUserInfo(const QString &userName)
{
    settlePendingRes();
    const auto it = m_users.constFind(userName);
    if (it == m_users.constEnd())
        return UserInfo();
    m_lastReadName = userName;
    m_lastReadVersion = m_versions.value(userName);
    return *it;
}

QList<UserResInfo> UserData::getUserRes(const QString &userName)
{
    settlePendingRes();
    return m_res.value(userName);
}

bool UserData::isUserExist(const QString &userName)
{
    settlePendingRes();
    if (userName.isEmpty())
        return false;
    const QString folded = foldName(userName);
    if (m_foldedNames.contains(folded))
        return true;
    return isSuperUserName(userName);
}

bool UserData::isSuperUserName(const QString &userName) const
{
    const QString superUser = store().setting(superUserNameKey(), defaultSuperUserName());
    return foldName(userName) == foldName(superUser);
}

bool UserData::setUserRes(const QString &userName, const QList<UserResInfo> &resList)
{
    if (m_hasPendingRes && m_pendingName != userName)
        settlePendingRes();
    // A refused list also drops the one held for the name: a later account
    // write must not store grants from an earlier attempt.
    m_hasPendingRes = false;
    m_pendingRes.clear();
    if (consumeFailure(SetUserRes))
        return fail(InjectedFailure, tr("The grants of %1 were refused (test).").arg(userName));
    if (isBlank(userName))
        return fail(InvalidName, tr("Grants need an account name."));
    m_hasPendingRes = true;
    m_pendingName = userName;
    m_pendingRes = resList;
    // The account write follows within the same call chain; if none comes,
    // the list is settled once control is back in the event loop.
    const quint64 serial = ++m_pendingSerial;
    if (QCoreApplication::instance()) {
        QTimer::singleShot(0, QCoreApplication::instance(), [this, serial] {
            if (m_hasPendingRes && m_pendingSerial == serial)
                settlePendingRes();
        });
    }
    return succeed();
}

bool UserData::takePendingRes(const QString &userName, QList<UserResInfo> *resList)
{
    if (!m_hasPendingRes)
        return false;
    if (m_pendingName != userName) {
        settlePendingRes();
        return false;
    }
    *resList = m_pendingRes;
    m_hasPendingRes = false;
    m_pendingRes.clear();
    return true;
}

void UserData::settlePendingRes()
{
    if (!m_hasPendingRes)
        return;
    const QString name = m_pendingName;
    const QList<UserResInfo> resList = m_pendingRes;
    m_hasPendingRes = false;
    m_pendingRes.clear();
    // No account, no grants: they would outlive a failed add and be
    // inherited by the next account of that name.
    if (!m_users.contains(name))
        return;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("UPDATE users SET version = version + 1 WHERE name = ?") +
                      store().exactCollation());
        query.addBindValue(name);
        return store().exec(query) && writeRes(name, resList) && announceAccount(name);
    });
    if (!stored)
        return;
    keepRes(name, resList);
    m_versions[name] += 1;
    if (m_lastReadName == name)
        m_lastReadVersion = m_versions.value(name);
}

bool UserData::writeRes(const QString &userName, const QList<UserResInfo> &resList)
{
    QSqlQuery query(store().database());
    query.prepare(QStringLiteral("DELETE FROM user_res WHERE user_name = ?"));
    query.addBindValue(userName);
    if (!store().exec(query))
        return false;
    query.prepare(QStringLiteral(
        "INSERT INTO user_res (user_name, position, res_id, res_type) VALUES (?, ?, ?, ?)"));
    for (int i = 0; i < resList.size(); ++i) {
        query.addBindValue(userName);
        query.addBindValue(i);
        query.addBindValue(sqlText(resList.at(i).resId));
        query.addBindValue(resList.at(i).resType);
        if (!store().exec(query))
            return false;
    }
    return true;
}

void UserData::keepRes(const QString &userName, const QList<UserResInfo> &resList)
{
    if (resList.isEmpty())
        m_res.remove(userName);
    else
        m_res.insert(userName, resList);
}

bool UserData::addUser(const UserInfo &info)
{
    QList<UserResInfo> resList;
    const bool withRes = takePendingRes(info.userName, &resList);
    if (consumeFailure(AddUser))
        return fail(InjectedFailure, tr("The account %1 was refused (test).").arg(info.userName));
    QString why;
    if (const Error error = checkRecord(info, &why))
        return fail(error, tr("The account %1 cannot be stored: %2.").arg(info.userName, why));
    // The super user's name is reserved for ordinary accounts, but the super
    // user's own record (type 1) may be stored once.
    const bool superUserRecord = info.userType == SuperUserType && isSuperUserName(info.userName);
    if (m_foldedNames.contains(foldName(info.userName)) ||
        (!superUserRecord && isUserExist(info.userName)))
        return fail(NameTaken, tr("The name %1 is taken.").arg(info.userName));
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral(
            "INSERT INTO users (name, pwd, user_type, function_power, description, super_user)"
            " VALUES (?, ?, ?, ?, ?, ?)"));
        query.addBindValue(info.userName);
        query.addBindValue(sqlText(info.userPwd));
        query.addBindValue(info.userType);
        query.addBindValue(info.functionPower);
        query.addBindValue(sqlText(info.userDescribe));
        query.addBindValue(sqlText(info.superUserName));
        return store().exec(query) && (!withRes || writeRes(info.userName, resList)) &&
               announceAccount(info.userName);
    });
    if (!stored && store().lastFailure() == DataStore::Conflict) {
        // Another client took the name first; learn of its account now.
        refreshAccount(info.userName);
        return fail(NameTaken,
                    tr("The name %1 was taken at another workstation.").arg(info.userName));
    }
    if (!stored)
        return fail(StoreFailure, store().lastErrorText());
    m_order.append(info.userName);
    m_users.insert(info.userName, info);
    m_versions.insert(info.userName, 1);
    m_foldedNames.insert(foldName(info.userName), info.userName);
    if (withRes)
        keepRes(info.userName, resList);
    return succeed();
}

bool UserData::losesStoredValue(const UserInfo &info, QString *why) const
{
    // The form shows the account last read; saving sends its trimmed and cut
    // name, which may be another account's.
    if (!m_lastReadName.isEmpty() && m_lastReadName != info.userName &&
        formCopy(m_lastReadName, MaxNameLength) == info.userName) {
        *why =
            tr("the account shown is \"%1\", whose name the form cannot hold").arg(m_lastReadName);
        return true;
    }
    const UserInfo stored = m_users.value(info.userName);
    auto cut = [](const QString &storedValue, const QString &newValue, int maxLength) {
        return storedValue != newValue && newValue == formCopy(storedValue, maxLength);
    };
    if (cut(stored.userPwd, info.userPwd, MaxPasswordLength)) {
        *why = tr("the stored password does not fit the form and would be cut");
        return true;
    }
    if (cut(stored.userDescribe, info.userDescribe, MaxDescriptionLength)) {
        *why = tr("the stored description does not fit the form and would be cut");
        return true;
    }
    return false;
}

bool UserData::updateUser(const UserInfo &info)
{
    QList<UserResInfo> resList;
    const bool withRes = takePendingRes(info.userName, &resList);
    if (consumeFailure(UpdateUser))
        return fail(InjectedFailure, tr("The account %1 was refused (test).").arg(info.userName));
    QString why;
    if (losesStoredValue(info, &why))
        return fail(WouldLoseStoredValue,
                    tr("The account %1 was not changed: %2.").arg(info.userName, why));
    if (!m_users.contains(info.userName))
        return fail(UnknownUser, tr("There is no account %1.").arg(info.userName));
    if (const Error error = checkRecord(info, &why))
        return fail(error, tr("The account %1 cannot be stored: %2.").arg(info.userName, why));
    // The edit was made on the copy getUserInfo showed, which may be older
    // than what memory holds by now.
    const int version =
        info.userName == m_lastReadName ? m_lastReadVersion : m_versions.value(info.userName);
    bool changedElsewhere = false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("UPDATE users SET pwd = ?, user_type = ?, function_power = ?,"
                                     " description = ?, super_user = ?, version = version + 1"
                                     " WHERE name = ?%1 AND version = ?")
                          .arg(store().exactCollation()));
        query.addBindValue(sqlText(info.userPwd));
        query.addBindValue(info.userType);
        query.addBindValue(info.functionPower);
        query.addBindValue(sqlText(info.userDescribe));
        query.addBindValue(sqlText(info.superUserName));
        query.addBindValue(info.userName);
        query.addBindValue(version);
        if (!store().exec(query))
            return false;
        changedElsewhere = query.numRowsAffected() != 1;
        return !changedElsewhere && (!withRes || writeRes(info.userName, resList)) &&
               announceAccount(info.userName);
    });
    if (changedElsewhere) {
        refreshAccount(info.userName);
        return fail(ChangedElsewhere,
                    tr("The account %1 was changed or deleted at another workstation after it "
                       "was shown here; nothing was saved. Reload it and make the change again.")
                        .arg(info.userName));
    }
    if (!stored)
        return fail(StoreFailure, store().lastErrorText());
    m_users.insert(info.userName, info);
    m_versions.insert(info.userName, version + 1);
    if (m_lastReadName == info.userName)
        m_lastReadVersion = version + 1;
    if (withRes)
        keepRes(info.userName, resList);
    return succeed();
}

bool UserData::deleteUser(const QString &userName)
{
    settlePendingRes();
    if (consumeFailure(DeleteUser))
        return fail(InjectedFailure, tr("Deleting %1 was refused (test).").arg(userName));
    if (!m_users.contains(userName))
        return fail(UnknownUser, tr("There is no account %1.").arg(userName));
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        for (const QString &statement :
             {QStringLiteral("DELETE FROM users WHERE name = ?") + store().exactCollation(),
              QStringLiteral("DELETE FROM user_res WHERE user_name = ?"),
              QStringLiteral("DELETE FROM gestures WHERE user_name = ?")}) {
            query.prepare(statement);
            query.addBindValue(userName);
            if (!store().exec(query))
                return false;
        }
        return announceAccount(userName);
    });
    if (!stored)
        return fail(StoreFailure, store().lastErrorText());
    forget(userName);
    return succeed();
}

void UserData::forget(const QString &userName)
{
    m_order.removeOne(userName);
    m_users.remove(userName);
    m_versions.remove(userName);
    m_foldedNames.remove(foldName(userName));
    m_res.remove(userName);
    m_gestures.remove(userName);
}

bool UserData::isUserConfigureGesture(const QString &userName)
{
    settlePendingRes();
    return m_gestures.contains(userName);
}

bool UserData::setUserGesture(const QString &userName, const QByteArray &salt,
                              const QByteArray &hash)
{
    settlePendingRes();
    if (consumeFailure(SetUserGesture) || !m_users.contains(userName) || hash.isEmpty())
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("INSERT INTO gestures (user_name, salt, hash) VALUES (?, ?, ?)"
                                     " ON CONFLICT (user_name) DO UPDATE SET salt = excluded.salt,"
                                     " hash = excluded.hash"));
        query.addBindValue(userName);
        query.addBindValue(salt.isNull() ? QByteArray("") : salt);
        query.addBindValue(hash);
        return store().exec(query) && announceAccount(userName);
    });
    if (!stored)
        return false;
    m_gestures.insert(userName, Gesture{salt, hash});
    return true;
}

bool UserData::getUserGesture(const QString &userName, QByteArray *salt, QByteArray *hash)
{
    const auto it = m_gestures.constFind(userName);
    if (it == m_gestures.constEnd())
        return false;
    if (salt)
        *salt = it->salt;
    if (hash)
        *hash = it->hash;
    return true;
}

bool UserData::deleteUserGesture(const QString &userName)
{
    settlePendingRes();
    if (consumeFailure(DeleteUserGesture) || !m_gestures.contains(userName))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("DELETE FROM gestures WHERE user_name = ?"));
        query.addBindValue(userName);
        return store().exec(query) && announceAccount(userName);
    });
    if (!stored)
        return false;
    m_gestures.remove(userName);
    return true;
}

void UserData::forgetChannelGrants(const QStringList &channelIds)
{
    const QSet<QString> gone(channelIds.begin(), channelIds.end());
    auto dropGone = [&gone](QList<UserResInfo> &list) {
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [&](const UserResInfo &res) {
                                      return res.resType == UserResInfo::Channel &&
                                             gone.contains(res.resId);
                                  }),
                   list.end());
    };
    for (auto it = m_res.begin(); it != m_res.end();) {
        dropGone(it.value());
        it = it.value().isEmpty() ? m_res.erase(it) : std::next(it);
    }
    // Nor may a list still held bring them back.
    dropGone(m_pendingRes);
}

void UserData::failNextWrite(WriteOp op)
{
    m_failures.append(op);
}

bool UserData::consumeFailure(WriteOp op)
{
    return m_failures.removeOne(op);
}

UserData::UserData()
{
    m_reloadConnection =
        QObject::connect(&DataSignals::_instance(), &DataSignals::signalStoreReloaded,
                         &DataSignals::_instance(), [this] { reload(); });
    reload();
}

UserData::~UserData()
{
    // The hub was completed inside our constructor, so it outlives us.
    QObject::disconnect(m_reloadConnection);
}

void UserData::reload()
{
    // A failure queued for one store must not hit the next one, nor a list
    // of grants held for it (DataStore settled it before closing).
    m_failures.clear();
    m_hasPendingRes = false;
    m_pendingRes.clear();
    m_lastReadName.clear();
    m_lastError = NoError;
    m_lastErrorText.clear();
    loadAll();
}

void UserData::loadAll()
{
    m_order.clear();
    m_users.clear();
    m_versions.clear();
    m_foldedNames.clear();
    m_res.clear();
    m_gestures.clear();
    m_invalidRecords.clear();
    const QSqlDatabase db = store().database();
    if (!db.isOpen())
        return;

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QLatin1String(kSelectUsers) + QLatin1String(" ORDER BY id"))) {
        while (query.next()) {
            const UserInfo info = userFrom(query);
            m_order.append(info.userName);
            m_foldedNames.insert(foldName(info.userName), info.userName);
            m_users.insert(info.userName, info);
            m_versions.insert(info.userName, query.value(6).toInt());
            // Reported, never repaired: only the administrator may decide
            // what such an account should become.
            QString why;
            if (checkRecord(info, &why) != NoError)
                m_invalidRecords.append(QStringLiteral("\"%1\": %2").arg(info.userName, why));
        }
    } else {
        qCWarning(lcData) << "Reading the accounts failed; the copy in memory lacks them:"
                          << query.lastError();
    }
    if (query.exec(QStringLiteral(
            "SELECT user_name, res_id, res_type FROM user_res ORDER BY user_name, position"))) {
        while (query.next()) {
            UserResInfo res;
            res.resId = query.value(1).toString();
            res.resType = query.value(2).toInt();
            m_res[query.value(0).toString()].append(res);
        }
    } else {
        qCWarning(lcData) << "Reading the grants failed; the copy in memory lacks them:"
                          << query.lastError();
    }
    if (query.exec(QStringLiteral("SELECT user_name, salt, hash FROM gestures"))) {
        while (query.next()) {
            m_gestures.insert(query.value(0).toString(),
                              Gesture{query.value(1).toByteArray(), query.value(2).toByteArray()});
        }
    } else {
        qCWarning(lcData) << "Reading the gestures failed; the copy in memory lacks them:"
                          << query.lastError();
    }
}

QStringList UserData::refresh(const QStringList &userNames, bool everything)
{
    if (!everything && userNames.size() <= kRefreshOneByOne) {
        for (const QString &name : userNames)
            refreshAccount(name);
        return userNames;
    }
    const QHash<QString, int> versions = m_versions;
    const QHash<QString, Gesture> gestures = m_gestures;
    loadAll();
    // Grants written alone raise the version too; gestures do not.
    QSet<QString> changed;
    for (auto it = versions.constBegin(); it != versions.constEnd(); ++it) {
        const auto now = m_versions.constFind(it.key());
        if (now == m_versions.constEnd() || *now != it.value() ||
            gestures.value(it.key()).hash != m_gestures.value(it.key()).hash)
            changed.insert(it.key());
    }
    for (const QString &name : qAsConst(m_order)) {
        if (!versions.contains(name))
            changed.insert(name);
    }
    QStringList names(changed.begin(), changed.end());
    names.sort();
    return names;
}

void UserData::refreshAccount(const QString &userName)
{
    QSqlQuery query(store().database());
    query.setForwardOnly(true);
    query.prepare(QLatin1String(kSelectUsers) + QLatin1String(" WHERE lower(name) = lower(?)"));
    query.addBindValue(userName);
    if (!query.exec()) {
        qCWarning(lcData) << "Re-reading the account" << userName << "failed:" << query.lastError();
        return;
    }
    QList<UserInfo> rows;
    QList<int> versions;
    while (query.next()) {
        rows.append(userFrom(query));
        versions.append(query.value(6).toInt());
    }
    // The names memory knows for this account that the store no longer has.
    for (const QString &known : {userName, m_foldedNames.value(foldName(userName))}) {
        if (m_users.contains(known) &&
            std::none_of(rows.begin(), rows.end(),
                         [&](const UserInfo &row) { return row.userName == known; }))
            forget(known);
    }
    for (int i = 0; i < rows.size(); ++i) {
        const UserInfo &info = rows.at(i);
        if (!m_users.contains(info.userName))
            m_order.append(info.userName);
        m_users.insert(info.userName, info);
        m_versions.insert(info.userName, versions.at(i));
        m_foldedNames.insert(foldName(info.userName), info.userName);
        // A failed read keeps what memory had rather than an empty copy.
        QList<UserResInfo> resList;
        query.prepare(QStringLiteral(
            "SELECT res_id, res_type FROM user_res WHERE user_name = ? ORDER BY position"));
        query.addBindValue(info.userName);
        if (query.exec()) {
            while (query.next())
                resList.append({query.value(0).toString(), query.value(1).toInt()});
            keepRes(info.userName, resList);
        } else {
            qCWarning(lcData) << "Re-reading the grants of" << info.userName
                              << "failed:" << query.lastError();
        }
        query.prepare(QStringLiteral("SELECT salt, hash FROM gestures WHERE user_name = ?"));
        query.addBindValue(info.userName);
        if (!query.exec()) {
            qCWarning(lcData) << "Re-reading the gesture of" << info.userName
                              << "failed:" << query.lastError();
        } else if (query.next()) {
            m_gestures.insert(info.userName,
                              Gesture{query.value(0).toByteArray(), query.value(1).toByteArray()});
        } else {
            m_gestures.remove(info.userName);
        }
    }
}

} // namespace orlun_data

template class TAMCOMMON::TamSingleton<orlun_data::UserData>;
