#include "DataStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTimer>
#include <QUrl>
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

// Schema version 2: a version per account, so that a save made from an
// outdated copy is refused, and name uniqueness ignoring case enforced by
// the store itself, where clients that share it meet.
const char *const kSchemaV2[] = {
    "ALTER TABLE users ADD COLUMN version INTEGER NOT NULL DEFAULT 1",
    "CREATE UNIQUE INDEX IF NOT EXISTS idx_users_name_folded ON users (lower(name))",
};

// The schema is written for SQLite; a server needs its own words for
// generated keys and binary data, and takes case-insensitive uniqueness from
// the index on lower(name).
QString forEngine(const char *statement, DataStore::Engine engine)
{
    QString sql = QString::fromLatin1(statement);
    if (engine == DataStore::PostgreSQL) {
        sql.replace(QLatin1String("INTEGER PRIMARY KEY AUTOINCREMENT"),
                    QLatin1String("BIGSERIAL PRIMARY KEY"));
        sql.replace(QLatin1String(" COLLATE NOCASE"), QString());
        sql.replace(QLatin1String(" BLOB"), QLatin1String(" BYTEA"));
    }
    return sql;
}

const char kNotifyChannel[] = "orlun_store";
// Serialises the schema set-up of clients that open a new database at once.
constexpr int kMigrationLock = 0x6f726c;

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

// PostgreSQL's SQLSTATE. A connection that is gone gives no state at all.
DataStore::Failure classifyServer(const QSqlError &error, const QSqlDatabase &db)
{
    const QString state = error.nativeErrorCode();
    if (state == QLatin1String("23505")) // unique_violation
        return DataStore::Conflict;
    // lock_not_available, serialization_failure, deadlock_detected
    if (state == QLatin1String("55P03") || state == QLatin1String("40001") ||
        state == QLatin1String("40P01"))
        return DataStore::Busy;
    // read_only_sql_transaction, insufficient_privilege
    if (state == QLatin1String("25006") || state == QLatin1String("42501"))
        return DataStore::ReadOnly;
    if (state == QLatin1String("53100")) // disk_full
        return DataStore::DiskFull;
    if (state.startsWith(QLatin1String("XX"))) // internal errors, data_corrupted
        return DataStore::Corrupt;
    // connection_exception, admin/crash shutdown
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")))
        return DataStore::ConnectionLost;
    if (state.isEmpty() && (!db.isOpen() || !QSqlQuery(db).exec(QStringLiteral("SELECT 1"))))
        return DataStore::ConnectionLost;
    return DataStore::OtherFailure;
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

bool DataStore::isServerUrl(const QString &path)
{
    return path.startsWith(QLatin1String("postgresql://")) ||
           path.startsWith(QLatin1String("postgres://"));
}

QString DataStore::exactCollation() const
{
    return m_engine == SQLite ? QStringLiteral(" COLLATE BINARY") : QString();
}

bool DataStore::open(const QString &path)
{
    // Grants held for an account of the store being left belong to it.
    UserData::_instance().settlePendingRes();
    closeConnection();
    m_lastFailure = NoFailure;
    m_lastErrorText.clear();

    m_engine = isServerUrl(path) ? PostgreSQL : SQLite;
    // A password in the URL would sit in the process list and shell history.
    m_path = m_engine == PostgreSQL ? QUrl(path).toString(QUrl::RemovePassword) : path;
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

bool DataStore::openServerConnection(const QString &url)
{
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.path().size() < 2)
        return failWith(
            CannotOpen,
            tr("The store %1 is not a postgresql://user@host:port/dbname URL.").arg(m_path));
    if (!parsed.password().isEmpty())
        return failWith(CannotOpen, tr("The store %1 names a password; keep it in ~/.pgpass "
                                       "(or the file PGPASSFILE names) instead.")
                                        .arg(m_path));
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return failWith(CannotOpen,
                        tr("The store %1 needs Qt's PostgreSQL driver (QPSQL), which is not "
                           "installed.")
                            .arg(m_path));
    m_connectionName = QStringLiteral("orlun_data_store_%1").arg(++g_connectionSerial);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    db.setHostName(parsed.host());
    db.setPort(parsed.port(5432));
    db.setUserName(parsed.userName());
    db.setDatabaseName(parsed.path().mid(1));
    // Keepalives notice a server that vanished without closing the socket.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;keepalives_idle=10;"
                                        "keepalives_interval=5;keepalives_count=3;"
                                        "application_name=orlun_client"));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        failWith(
            CannotOpen,
            tr("The store %1 cannot be opened (%2).").arg(m_path, error.databaseText().trimmed()));
        qCWarning(lcData) << m_lastErrorText << error;
        return false;
    }
    QSqlDriver *driver = db.driver();
    driver->subscribeToNotification(QLatin1String(kNotifyChannel));
    // The driver dies with the connection, and this connection with it.
    QObject::connect(
        driver,
        qOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>(
            &QSqlDriver::notification),
        &DataSignals::_instance(),
        [this](const QString &channel, QSqlDriver::NotificationSource source,
               const QVariant &payload) { takeNotification(channel, source, payload.toString()); });
    return true;
}

bool DataStore::openConnection(const QString &path)
{
    if (m_engine == PostgreSQL)
        return openServerConnection(path);
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

bool DataStore::refuseNewerSchema(int version)
{
    return failWith(TooNew, tr("The store %1 was written by a newer client (schema %2, this "
                               "client knows up to %3).")
                                .arg(m_path)
                                .arg(version)
                                .arg(SchemaVersion));
}

bool DataStore::checkAndMigrate()
{
    if (m_engine == PostgreSQL)
        return checkAndMigrateServer();
    QSqlQuery query(database());
    // The first read of the file: a locked, damaged or foreign file shows here.
    if (!exec(query, QStringLiteral("PRAGMA user_version")) || !query.next())
        return false;
    const int version = query.value(0).toInt();
    if (version > SchemaVersion)
        return refuseNewerSchema(version);
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

int DataStore::serverSchemaVersion()
{
    QSqlQuery query(database());
    if (!exec(query, QStringLiteral("SELECT to_regclass('schema_version') IS NOT NULL")) ||
        !query.next())
        return -1;
    if (!query.value(0).toBool())
        return 0;
    if (!exec(query, QStringLiteral("SELECT COALESCE(MAX(version), 0) FROM schema_version")) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}

bool DataStore::checkAndMigrateServer()
{
    QSqlQuery query(database());
    // A standby server or a database opened read-only is still shown.
    if (!exec(query, QStringLiteral("SHOW transaction_read_only")) || !query.next())
        return false;
    m_readOnly = query.value(0).toString() == QLatin1String("on");
    if (!exec(query, QStringLiteral("SET lock_timeout = %1").arg(ServerLockTimeoutMs)))
        return false;
    const int version = serverSchemaVersion();
    if (version < 0)
        return false;
    if (version > SchemaVersion)
        return refuseNewerSchema(version);
    return version == SchemaVersion || m_readOnly || migrate(version);
}

bool DataStore::migrate(int fromVersion)
{
    return transaction([&] {
        QSqlQuery query(database());
        if (m_engine == PostgreSQL) {
            // Another client may have set the schema up while we waited.
            if (!exec(query,
                      QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock)))
                return false;
            fromVersion = serverSchemaVersion();
            if (fromVersion < 0)
                return false;
            if (fromVersion >= SchemaVersion)
                return true;
        }
        // Version 1 is the first recorded one; stores from before it hold
        // some or all of its tables, which IF NOT EXISTS leaves alone.
        if (fromVersion < 1) {
            for (const char *statement : kSchema) {
                if (!exec(query, forEngine(statement, m_engine)))
                    return false;
            }
        }
        if (fromVersion < 2) {
            for (const char *statement : kSchemaV2) {
                if (!exec(query, forEngine(statement, m_engine)))
                    return false;
            }
        }
        if (m_engine == SQLite)
            return exec(query, QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
        return exec(query,
                    QStringLiteral(
                        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)")) &&
               exec(query, QStringLiteral("DELETE FROM schema_version")) &&
               exec(query, QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)")
                               .arg(SchemaVersion));
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

bool DataStore::announce(const QString &change)
{
    if (m_engine != PostgreSQL)
        return true;
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT pg_notify(?, ?)"));
    query.addBindValue(QLatin1String(kNotifyChannel));
    query.addBindValue(change);
    return exec(query);
}

void DataStore::takeNotification(const QString &channel, int source, const QString &payload)
{
    // Our own writes are in memory already.
    if (channel != QLatin1String(kNotifyChannel) || source == QSqlDriver::SelfSource)
        return;
    if (m_remoteChanges.isEmpty()) {
        // The driver hands over every notification that arrived in one go;
        // they are applied together once it is done.
        QTimer::singleShot(0, &DataSignals::_instance(), [this] { applyRemoteChanges(); });
    }
    m_remoteChanges.append(payload);
}

void DataStore::applyRemoteChanges()
{
    const QStringList changes = m_remoteChanges;
    m_remoteChanges.clear();
    if (changes.isEmpty() || !isOpen())
        return;
    const bool everything = changes.contains(QStringLiteral("*"));
    if (everything || changes.contains(QStringLiteral("s"))) {
        if (loadSettings())
            emit DataSignals::_instance().signalSettingsChanged();
    }
    if (everything || changes.contains(QStringLiteral("c")))
        DevsMgrData::_instance().refresh();
    QStringList names;
    for (const QString &change : changes) {
        if (change.startsWith(QLatin1String("u:")))
            names.append(change.mid(2));
    }
    names.removeDuplicates();
    if (everything || !names.isEmpty()) {
        const QStringList changed = UserData::_instance().refresh(names, everything);
        if (!changed.isEmpty())
            emit DataSignals::_instance().signalUsersChanged(changed);
    }
}

void DataStore::noteError(const QSqlError &error)
{
    const QString detail = error.databaseText();
    const Failure failure =
        m_engine == PostgreSQL ? classifyServer(error, database()) : classify(error);
    if (failure == ConnectionLost)
        m_connectionLost = true;
    switch (failure) {
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
    case Conflict:
        failWith(
            Conflict,
            tr("The store %1 already holds such a record (%2).").arg(m_path, detail.trimmed()));
        break;
    case ConnectionLost:
        failWith(ConnectionLost, tr("The connection to the store %1 was lost; nothing was saved. "
                                    "The next save connects again.")
                                     .arg(m_path));
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
        query.prepare(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, ?)"
                                     " ON CONFLICT (key) DO UPDATE SET value = excluded.value"));
        query.addBindValue(key);
        query.addBindValue(sqlText(value));
        return exec(query) && announce(QStringLiteral("s"));
    });
    if (stored)
        m_settings.insert(key, value);
    return stored;
}

bool DataStore::loadSettings()
{
    m_settings.clear();
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("SELECT key, value FROM settings"))) {
        qCWarning(lcData) << "Reading the settings failed:" << query.lastError();
        return false;
    }
    while (query.next())
        m_settings.insert(query.value(0).toString(), query.value(1).toString());
    return true;
}

bool DataStore::begin()
{
    if (m_connectionName.isEmpty() && !m_connectionLost)
        return failWith(CannotOpen, tr("No store is open."));
    if (m_readOnly)
        return failWith(ReadOnly, tr("The store %1 is read-only.").arg(m_path));
    if (m_connectionLost && !reconnect())
        return false;
    QSqlDatabase db = database();
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

bool DataStore::reconnect()
{
    dropConnection();
    if (!openServerConnection(m_path) || !checkAndMigrateServer()) {
        dropConnection();
        m_connectionLost = true;
        return failWith(ConnectionLost,
                        tr("The store %1 cannot be reached; nothing was saved.").arg(m_path));
    }
    m_connectionLost = false;
    // What other clients changed meanwhile was announced to nobody.
    takeNotification(QLatin1String(kNotifyChannel), QSqlDriver::OtherSource, QStringLiteral("*"));
    return true;
}

void DataStore::dropConnection()
{
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

void DataStore::closeConnection()
{
    m_settings.clear();
    m_path.clear();
    m_readOnly = false;
    m_connectionLost = false;
    m_remoteChanges.clear();
    dropConnection();
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
