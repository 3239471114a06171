#include "DataStore.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "DataSignals.h"
#include "DevsMgrData.h"
#include "SqlText.h"
#include "UserData.h"

namespace orlun_data {

namespace {

// Statements run on every open; IF NOT EXISTS makes them a no-op on a store
// that already has its tables. "groups" is an SQL keyword, hence quoted.
const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS settings ("
    " key TEXT PRIMARY KEY,"
    " value TEXT)",
    // COLLATE NOCASE backs the case-insensitive name uniqueness of UserData
    // for ASCII names; the in-memory index enforces it for all others.
    "CREATE TABLE IF NOT EXISTS users ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
    " pwd TEXT NOT NULL DEFAULT '',"
    " user_type INTEGER NOT NULL DEFAULT 2,"
    " function_power INTEGER NOT NULL DEFAULT -1,"
    " description TEXT NOT NULL DEFAULT '',"
    " super_user TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE IF NOT EXISTS user_res ("
    " user_name TEXT NOT NULL,"
    " position INTEGER NOT NULL,"
    " res_id TEXT NOT NULL,"
    " res_type INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS idx_user_res_user ON user_res(user_name, position)",
    "CREATE TABLE IF NOT EXISTS gestures ("
    " user_name TEXT PRIMARY KEY,"
    " salt BLOB NOT NULL,"
    " hash BLOB NOT NULL)",
    "CREATE TABLE IF NOT EXISTS devices ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " dev_id TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL DEFAULT '',"
    " sn TEXT NOT NULL DEFAULT '',"
    " dev_type INTEGER NOT NULL DEFAULT 0,"
    " ip TEXT NOT NULL DEFAULT '',"
    " port INTEGER NOT NULL DEFAULT 0,"
    " sn_kind1 INTEGER NOT NULL DEFAULT 0,"
    " sn_kind2 INTEGER NOT NULL DEFAULT 0,"
    " channel_count INTEGER NOT NULL DEFAULT 0,"
    " brand TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE IF NOT EXISTS channels ("
    " dev_id TEXT NOT NULL,"
    " channel_no INTEGER NOT NULL,"
    " name TEXT NOT NULL DEFAULT '',"
    " channel_type INTEGER NOT NULL DEFAULT 0,"
    " status INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY (dev_id, channel_no))",
    "CREATE TABLE IF NOT EXISTS \"groups\" ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " group_id TEXT NOT NULL UNIQUE,"
    " name TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE IF NOT EXISTS group_channels ("
    " group_id TEXT NOT NULL,"
    " dev_id TEXT NOT NULL,"
    " channel_no INTEGER NOT NULL,"
    " position INTEGER NOT NULL,"
    " PRIMARY KEY (group_id, dev_id, channel_no))",
    "CREATE INDEX IF NOT EXISTS idx_group_channels_channel"
    " ON group_channels(dev_id, channel_no)",
};

int g_connectionSerial = 0;

} // namespace

DataStore::DataStore()
{
    // Make Qt SQL build its connection registry and driver loader before
    // this object is complete: statics die in reverse order of construction,
    // so they then outlive the store and ~DataStore may still use them.
    QSqlDatabase::connectionNames();
    QSqlDatabase::drivers();
}

DataStore::~DataStore()
{
    // Normally already closed from ~QCoreApplication; this covers programs
    // that never had an application object.
    closeConnection();
}

bool DataStore::open(const QString &path)
{
    // Grants held for an account of the store being left belong to it.
    UserData::_instance().settlePendingRes();
    closeConnection();

    m_connectionName = QStringLiteral("orlun_data_store_%1").arg(++g_connectionSerial);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(path);
        ok = db.open();
    }
    if (ok) {
        QSqlQuery pragma(database());
        // Write-ahead logging keeps the file consistent on power loss even
        // with NORMAL sync (at most the last commit is lost), and makes each
        // commit much cheaper than a synced rollback journal.
        pragma.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        pragma.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
        ok = createSchema() && loadSettings();
    }
    if (!ok) {
        closeConnection();
        notifyReload();
        return false;
    }
    m_path = path;

    if (!m_exitHookInstalled) {
        qAddPostRoutine(&DataStore::closeAtAppExit);
        m_exitHookInstalled = true;
    }
    notifyReload();
    return true;
}

void DataStore::close()
{
    if (m_connectionName.isEmpty())
        return;
    UserData::_instance().settlePendingRes();
    closeConnection();
    notifyReload();
}

bool DataStore::execForKey(const QStringList &statements, const QVariant &key)
{
    return transaction([&] {
        QSqlQuery query(database());
        for (const QString &statement : statements) {
            query.prepare(statement);
            query.addBindValue(key);
            if (!exec(query))
                return false;
        }
        return true;
    });
}

bool DataStore::exec(QSqlQuery &query)
{
    if (query.exec())
        return true;
    noteError(query.lastError());
    return false;
}

bool DataStore::exec(QSqlQuery &query, const QString &sql)
{
    if (query.exec(sql))
        return true;
    noteError(query.lastError());
    return false;
}

void DataStore::noteError(const QSqlError &error)
{
    m_lastErrorText =
        QCoreApplication::translate("orlun_data::DataStore", "The store %1 refused the write: %2")
            .arg(m_path, error.text());
}

bool DataStore::isOpen() const
{
    return !m_connectionName.isEmpty() && database().isOpen();
}

QSqlDatabase DataStore::database() const
{
    if (m_connectionName.isEmpty())
        return QSqlDatabase();
    return QSqlDatabase::database(m_connectionName, false);
}

QString DataStore::setting(const QString &key, const QString &defaultValue) const
{
    return m_settings.value(key, defaultValue);
}

bool DataStore::setSetting(const QString &key, const QString &value)
{
    const bool stored = transaction([&] {
        QSqlQuery query(database());
        query.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"));
        query.addBindValue(key);
        query.addBindValue(sqlText(value));
        return query.exec();
    });
    if (stored)
        m_settings.insert(key, value);
    return stored;
}

int DataStore::addReloadListener(std::function<void()> listener)
{
    const int handle = m_nextListener++;
    m_listeners.emplace(handle, std::move(listener));
    return handle;
}

void DataStore::removeReloadListener(int handle)
{
    m_listeners.erase(handle);
}

bool DataStore::createSchema()
{
    return transaction([this] {
        QSqlQuery query(database());
        for (const char *statement : kSchema) {
            if (!query.exec(QString::fromLatin1(statement)))
                return false;
        }
        return true;
    });
}

bool DataStore::loadSettings()
{
    m_settings.clear();
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT key, value FROM settings")))
        return false;
    while (query.next())
        m_settings.insert(query.value(0).toString(), query.value(1).toString());
    return true;
}

bool DataStore::begin()
{
    QSqlDatabase db = database();
    if (!db.isOpen()) {
        m_lastErrorText =
            QCoreApplication::translate("orlun_data::DataStore", "The store is not open.");
        return false;
    }
    if (db.transaction())
        return true;
    noteError(db.lastError());
    return false;
}

bool DataStore::commit()
{
    QSqlDatabase db = database();
    if (db.commit())
        return true;
    noteError(db.lastError());
    db.rollback();
    return false;
}

void DataStore::rollback()
{
    database().rollback();
}

void DataStore::closeConnection()
{
    m_settings.clear();
    m_path.clear();
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    // No QSqlDatabase copy of this connection may outlive the block above,
    // or Qt warns that the connection is still in use.
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

void DataStore::notifyReload()
{
    UserData::_instance().reload();
    DevsMgrData::_instance().reload();
    // Copy: a listener may register or remove listeners while being told.
    const auto listeners = m_listeners;
    for (const auto &entry : listeners)
        entry.second();
    emit DataSignals::_instance().signalCatalogReset();
}

void DataStore::closeAtAppExit()
{
    // Runs inside ~QCoreApplication: widgets are going away, so nobody is
    // told; the in-memory indexes die with their singletons.
    UserData::_instance().settlePendingRes();
    _instance().closeConnection();
}

} // namespace orlun_data

template class TAMCOMMON::TamSingleton<orlun_data::DataStore>;
