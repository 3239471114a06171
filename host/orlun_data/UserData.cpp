#include "UserData.h"

#include <QSqlQuery>
#include <QVariant>

#include "DataStore.h"
#include "SqlText.h"
#include "StoreKeys.h"

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

} // namespace

QString UserData::foldName(const QString &userName)
{
    return userName.toCaseFolded();
}

QList<UserInfo> UserData::getAllUsers(const QString &superUserName)
{
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
    return m_users.value(userName);
}

QList<UserResInfo> UserData::getUserRes(const QString &userName)
{
    return m_res.value(userName);
}

bool UserData::isUserExist(const QString &userName)
{
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
    if (consumeFailure(SetUserRes) || isBlank(userName))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("DELETE FROM user_res WHERE user_name = ?"));
        query.addBindValue(userName);
        if (!query.exec())
            return false;
        query.prepare(QStringLiteral(
            "INSERT INTO user_res (user_name, position, res_id, res_type) VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < resList.size(); ++i) {
            query.addBindValue(userName);
            query.addBindValue(i);
            query.addBindValue(sqlText(resList.at(i).resId));
            query.addBindValue(resList.at(i).resType);
            if (!query.exec())
                return false;
        }
        return true;
    });
    if (!stored)
        return false;
    if (resList.isEmpty())
        m_res.remove(userName);
    else
        m_res.insert(userName, resList);
    return true;
}

bool UserData::addUser(const UserInfo &info)
{
    if (consumeFailure(AddUser) || isBlank(info.userName))
        return false;
    // The super user's name is reserved for ordinary accounts, but the super
    // user's own record (type 1) may be stored once.
    const bool superUserRecord = info.userType == 1 && isSuperUserName(info.userName);
    if (m_foldedNames.contains(foldName(info.userName)) ||
        (!superUserRecord && isUserExist(info.userName)))
        return false;
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
        return query.exec();
    });
    if (!stored)
        return false;
    m_order.append(info.userName);
    m_users.insert(info.userName, info);
    m_foldedNames.insert(foldName(info.userName), info.userName);
    return true;
}

bool UserData::updateUser(const UserInfo &info)
{
    if (consumeFailure(UpdateUser) || !m_users.contains(info.userName))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral(
            "UPDATE users SET pwd = ?, user_type = ?, function_power = ?, description = ?,"
            " super_user = ? WHERE name = ?"));
        query.addBindValue(sqlText(info.userPwd));
        query.addBindValue(info.userType);
        query.addBindValue(info.functionPower);
        query.addBindValue(sqlText(info.userDescribe));
        query.addBindValue(sqlText(info.superUserName));
        query.addBindValue(info.userName);
        return query.exec() && query.numRowsAffected() == 1;
    });
    if (!stored)
        return false;
    m_users.insert(info.userName, info);
    return true;
}

bool UserData::deleteUser(const QString &userName)
{
    if (consumeFailure(DeleteUser) || !m_users.contains(userName))
        return false;
    const bool stored =
        store().execForKey({QStringLiteral("DELETE FROM users WHERE name = ?"),
                            QStringLiteral("DELETE FROM user_res WHERE user_name = ?"),
                            QStringLiteral("DELETE FROM gestures WHERE user_name = ?")},
                           userName);
    if (!stored)
        return false;
    m_order.removeOne(userName);
    m_users.remove(userName);
    m_foldedNames.remove(foldName(userName));
    m_res.remove(userName);
    m_gestures.remove(userName);
    return true;
}

bool UserData::isUserConfigureGesture(const QString &userName)
{
    return m_gestures.contains(userName);
}

bool UserData::setUserGesture(const QString &userName, const QByteArray &salt,
                              const QByteArray &hash)
{
    if (consumeFailure(SetUserGesture) || !m_users.contains(userName) || hash.isEmpty())
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO gestures (user_name, salt, hash) VALUES (?, ?, ?)"));
        query.addBindValue(userName);
        query.addBindValue(salt.isNull() ? QByteArray("") : salt);
        query.addBindValue(hash);
        return query.exec();
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
    if (consumeFailure(DeleteUserGesture) || !m_gestures.contains(userName))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("DELETE FROM gestures WHERE user_name = ?"));
        query.addBindValue(userName);
        return query.exec();
    });
    if (!stored)
        return false;
    m_gestures.remove(userName);
    return true;
}

void UserData::failNextWrite(WriteOp op)
{
    m_failures.append(op);
}

bool UserData::consumeFailure(WriteOp op)
{
    return m_failures.removeOne(op);
}

void UserData::reload()
{
    m_order.clear();
    m_users.clear();
    m_foldedNames.clear();
    m_res.clear();
    m_gestures.clear();
    // A failure queued for one store must not hit the next one.
    m_failures.clear();

    const QSqlDatabase db = store().database();
    if (!db.isOpen())
        return;

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT name, pwd, user_type, function_power, description,"
                                  " super_user FROM users ORDER BY id"))) {
        while (query.next()) {
            UserInfo info;
            info.userName = query.value(0).toString();
            info.userPwd = query.value(1).toString();
            info.userType = query.value(2).toInt();
            info.functionPower = query.value(3).toInt();
            info.userDescribe = query.value(4).toString();
            info.superUserName = query.value(5).toString();
            m_order.append(info.userName);
            m_foldedNames.insert(foldName(info.userName), info.userName);
            m_users.insert(info.userName, info);
        }
    }
    if (query.exec(QStringLiteral(
            "SELECT user_name, res_id, res_type FROM user_res ORDER BY user_name, position"))) {
        while (query.next()) {
            UserResInfo res;
            res.resId = query.value(1).toString();
            res.resType = query.value(2).toInt();
            m_res[query.value(0).toString()].append(res);
        }
    }
    if (query.exec(QStringLiteral("SELECT user_name, salt, hash FROM gestures"))) {
        while (query.next()) {
            m_gestures.insert(query.value(0).toString(),
                              Gesture{query.value(1).toByteArray(), query.value(2).toByteArray()});
        }
    }
}

} // namespace orlun_data

template class TAMCOMMON::TamSingleton<orlun_data::UserData>;
