#include "DataStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "DataLog.h"
#include "DataSignals.h"
#include "DevsMgrData.h"
#include "SqlText.h"
#include "UserData.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orlun_data {

namespace {

// Schema version 1. IF NOT EXISTS lets the statements run on stores from
// before the version was recorded, which hold some or all of these tables.
// "groups" is an SQL keyword, hence quoted.
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

Q_LOGGING_CATEGORY(lcData, "orlun.data")

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("orlun_data::DataStore", text);
}

// By the permission bits as well as by access(): the superuser may write
// anywhere, but a store its owner made read-only is meant to stay so.
bool isWritablePath(const QString &path)
{
    const QFileDevice::Permissions perms = QFile::permissions(path);
    const QByteArray native = QFile::encodeName(path);
    return (perms & QFileDevice::WriteOwner) && ::access(native.constData(), W_OK) == 0;
}

bool createPrivateFile(const QString &path, QString *why)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

// The store holds passwords: nobody but its owner may read it or the
// -wal/-shm files beside it, which hold the same pages.
void tightenPermissions(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QByteArray native = QFile::encodeName(path) + suffix;
        struct stat info;
        if (::stat(native.constData(), &info) == 0 && (info.st_mode & 077))
            ::chmod(native.constData(), info.st_mode & 0700);
    }
}

// SQLite's primary result code, from the error's number or, where Qt leaves
// that out (BEGIN and COMMIT), from SQLite's own message.
DataStore::Failure classify(const QSqlError &error)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    if (numeric) {
        switch (code) {
        case 5: // SQLITE_BUSY
        case 6: // SQLITE_LOCKED
            return DataStore::Busy;
        case 8: // SQLITE_READONLY
            return DataStore::ReadOnly;
        case 11: // SQLITE_CORRUPT
        case 26: // SQLITE_NOTADB
            return DataStore::Corrupt;
        case 13: // SQLITE_FULL
            return DataStore::DiskFull;
        case 14: // SQLITE_CANTOPEN
            return DataStore::CannotOpen;
        default:
            break;
        }
    }
    const QString text = error.databaseText();
    if (text.contains(QLatin1String("locked")))
        return DataStore::Busy;
    if (text.contains(QLatin1String("readonly")))
        return DataStore::ReadOnly;
    if (text.contains(QLatin1String("malformed")) || text.contains(QLatin1String("not a database")))
        return DataStore::Corrupt;
    if (text.contains(QLatin1String("full")))
        return DataStore::DiskFull;
    if (text.contains(QLatin1String("unable to open")))
        return DataStore::CannotOpen;
    return DataStore::OtherFailure;
}

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
    m_lastFailure = NoFailure;
    m_lastErrorText.clear();

    m_path = path;
    if (!openConnection(path) || !checkAndMigrate() || !loadSettings()) {
        if (m_lastFailure == NoFailure)
            failWith(OtherFailure, tr("The store %1 cannot be read.").arg(path));
        closeConnection();
        notifyReload();
        return false;
    }

    if (!m_exitHookInstalled) {
        qAddPostRoutine(&DataStore::closeAtAppExit);
        m_exitHookInstalled = true;
    }
    notifyReload();
    return true;
}

bool DataStore::openConnection(const QString &path)
{
    const bool inMemory = path == QLatin1String(":memory:");
    if (!inMemory) {
        const QFileInfo file(path);
        const QString folder = file.absolutePath();
        if (!QFileInfo(folder).isDir())
            return failWith(MissingFolder,
                            tr("The folder %1 of the store %2 does not exist.").arg(folder, path));
        if (file.exists() && !file.isFile())
            return failWith(CannotOpen, tr("The store %1 is not a file.").arg(path));
        const bool folderWritable = isWritablePath(folder);
        if (!file.exists()) {
            if (!folderWritable)
                return failWith(
                    ReadOnly,
                    tr("The store %1 does not exist and its folder is read-only.").arg(path));
            QString why;
            if (!createPrivateFile(path, &why))
                return failWith(CannotOpen,
                                tr("The store %1 cannot be created: %2").arg(path, why));
        }
        // A store the administrator made read-only (or keeps in a read-only
        // folder, where SQLite cannot write its -wal file) is still shown.
        m_readOnly = !isWritablePath(path) || !folderWritable;
        if (!m_readOnly)
            tightenPermissions(path);
    }

    m_connectionName = QStringLiteral("orlun_data_store_%1").arg(++g_connectionSerial);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        noteError(db.lastError());
        return false;
    }
    return true;
}

bool DataStore::checkAndMigrate()
{
    QSqlQuery query(database());
    // The first read of the file: a locked, damaged or foreign file shows here.
    if (!exec(query, QStringLiteral("PRAGMA user_version")) || !query.next())
        return false;
    const int version = query.value(0).toInt();
    if (version > SchemaVersion)
        return failWith(TooNew, tr("The store %1 was written by a newer client (schema %2, this "
                                   "client knows up to %3).")
                                    .arg(m_path)
                                    .arg(version)
                                    .arg(SchemaVersion));
    if (m_path != QLatin1String(":memory:")) {
        // A truncated file reads fine up to the first missing page.
        if (!exec(query, QStringLiteral("PRAGMA quick_check")) || !query.next())
            return false;
        if (query.value(0).toString() != QLatin1String("ok"))
            return failWith(
                Corrupt,
                tr("The store %1 is damaged (%2).").arg(m_path, query.value(0).toString()));
    }
    query.finish();
    if (m_readOnly)
        return true;
    // Write-ahead logging keeps the file consistent on power loss even with
    // NORMAL sync (at most the last commit is lost), and makes each commit
    // much cheaper than a synced rollback journal.
    if (!exec(query, QStringLiteral("PRAGMA journal_mode = WAL")))
        return false;
    // SQLite answers with the mode it kept: an in-memory store stays
    // "memory", a file on a file system without shared memory refuses WAL.
    const QString journal = query.next() ? query.value(0).toString() : QString();
    if (journal != QLatin1String("wal") && m_path != QLatin1String(":memory:"))
        qCWarning(lcData) << "The store" << m_path << "keeps journal mode" << journal
                          << "instead of WAL" << query.lastError();
    if (!exec(query, QStringLiteral("PRAGMA synchronous = NORMAL")))
        return false;
    query.finish();
    if (version < SchemaVersion && !migrate(version))
        return false;
    if (m_path != QLatin1String(":memory:"))
        tightenPermissions(m_path);
    return true;
}

bool DataStore::migrate(int fromVersion)
{
    return transaction([&] {
        QSqlQuery query(database());
        // Version 1 is the first recorded one; stores from before it hold
        // some or all of its tables, which IF NOT EXISTS leaves alone.
        if (fromVersion < 1) {
            for (const char *statement : kSchema) {
                if (!exec(query, QString::fromLatin1(statement)))
                    return false;
            }
        }
        return exec(query, QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    });
}

bool DataStore::failWith(Failure failure, const QString &text)
{
    m_lastFailure = failure;
    m_lastErrorText = text;
    return false;
}

bool DataStore::makePrivateFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    return QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
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
    const QString detail = error.databaseText();
    switch (classify(error)) {
    case Busy:
        failWith(Busy, tr("The store %1 is locked by another program (waited %2 ms).")
                           .arg(m_path)
                           .arg(BusyTimeoutMs));
        break;
    case ReadOnly:
        failWith(ReadOnly, tr("The store %1 is read-only.").arg(m_path));
        break;
    case Corrupt:
        failWith(Corrupt, tr("The store %1 is damaged or not a store (%2).").arg(m_path, detail));
        break;
    case DiskFull:
        failWith(DiskFull, tr("The disk that holds the store %1 is full.").arg(m_path));
        break;
    case CannotOpen:
        failWith(CannotOpen, tr("The store %1 cannot be opened (%2).").arg(m_path, detail));
        break;
    default:
        failWith(OtherFailure, tr("The store %1 failed: %2").arg(m_path, error.text()));
        break;
    }
    qCWarning(lcData) << m_lastErrorText << error;
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
    if (!db.isOpen())
        return failWith(CannotOpen, tr("No store is open."));
    if (m_readOnly)
        return failWith(ReadOnly, tr("The store %1 is read-only.").arg(m_path));
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
    m_readOnly = false;
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
    // Built now if nobody asked for them yet; they reload on the signal.
    UserData::_instance();
    DevsMgrData::_instance();
    DataSignals &hub = DataSignals::_instance();
    emit hub.signalStoreReloaded();
    emit hub.signalCatalogReset();
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
