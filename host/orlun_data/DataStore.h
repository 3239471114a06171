#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "TamSingleton.h"

namespace orlun_data {

// The client's store: an SQLite file of its own, or a PostgreSQL database
// that several clients share. One connection for the whole process; the
// schema is created on first open and migrated forward (PRAGMA user_version,
// or the schema_version table on a server) on later ones. Opening (or reopening) a store makes
// DataSignals::signalStoreReloaded, on which UserData, DevsMgrData and
// SystemWorker reload their in-memory indexes.
// Pass ":memory:" for a private throw-away store (tests).
//
// A "postgresql://user@host:port/dbname" URL opens a shared database. Its
// password comes from libpq's PGPASSFILE or ~/.pgpass, never from the URL.
// Every write tells the other clients what it changed (NOTIFY, sent on
// commit); changes announced by other clients are re-read into the
// in-memory indexes from the event loop and announced through DataSignals.
// A lost connection fails the write in hand with ConnectionLost; the next
// write connects again and the indexes catch up on what was missed.
//
// The GUI thread must never hang on the store: a write waits at most
// BusyTimeoutMs for another program's lock, then fails with Busy. Opening
// checks the file (locked, damaged, truncated, read-only, missing folder)
// and says which in lastErrorText(). A file or folder without write
// permission opens read-only (isReadOnly) and every write fails with
// ReadOnly. A new file is created 0600 (SQLite gives its -wal and -shm files
// the same mode); an existing one readable by others is tightened to that.
//
// Closing empties the in-memory indexes as well (they reload from a closed
// store, i.e. to nothing) and announces DataSignals::signalCatalogReset.
// The connection is dropped from ~QCoreApplication at the latest, while Qt
// SQL is still alive; the singleton itself dies later, at exit.
class DataStore : public TAMCOMMON::TamSingleton<DataStore>
{
public:
    enum Failure {
        NoFailure,
        Busy,
        ReadOnly,
        Corrupt,
        DiskFull,
        MissingFolder,
        CannotOpen,
        TooNew,
        // A unique key of the store refused the write (a name taken by
        // another client since the in-memory index last heard of it).
        Conflict,
        ConnectionLost,
        OtherFailure,
    };
    enum Engine { SQLite, PostgreSQL };
    static constexpr int SchemaVersion = 2;
    static constexpr int BusyTimeoutMs = 250;
    // A server serialises clients' writes on row locks, which are held for a
    // whole transaction; the wait is longer but still bounded.
    static constexpr int ServerLockTimeoutMs = 1000;

    static bool isServerUrl(const QString &path);

    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }
    Engine engine() const { return m_engine; }
    // " COLLATE BINARY" on SQLite, where the name column ignores letter case;
    // nothing on a server, whose comparisons are exact.
    QString exactCollation() const;

    // The store's connection; invalid while closed.
    QSqlDatabase database() const;

    // Runs fn inside a transaction; commits when fn returns true, rolls back
    // otherwise. Returns whether the commit happened.
    template<typename Fn>
    bool transaction(Fn &&fn);
    // Runs each statement with key as its one bound value, all in one
    // transaction (deleting a record together with its dependent rows).
    bool execForKey(const QStringList &statements, const QVariant &key);
    // Runs a prepared query (or sql) and keeps its error for lastErrorText.
    bool exec(QSqlQuery &query);
    bool exec(QSqlQuery &query, const QString &sql);
    // Inside a transaction: tells the other clients of a shared store, when
    // it commits, what changed ("u:<name>" an account with its grants and
    // gesture, "c" the device catalog, "s" the settings).
    bool announce(const QString &change);

    bool isReadOnly() const { return m_readOnly; }
    // Why the last open, statement or commit failed, naming the store's path.
    Failure lastFailure() const { return m_lastFailure; }
    QString lastErrorText() const { return m_lastErrorText; }

    // Creates folder (and its parents) if needed and makes it private to
    // the user (0700), as the folder that holds a store should be.
    static bool makePrivateFolder(const QString &folder);

    // Key/value settings table (product configuration and the like).
    QString setting(const QString &key, const QString &defaultValue = QString()) const;
    bool setSetting(const QString &key, const QString &value);

private:
    friend class TAMCOMMON::TamSingleton<DataStore>;
    DataStore();
    ~DataStore();

    bool openConnection(const QString &path);
    bool openServerConnection(const QString &url);
    bool failWith(Failure failure, const QString &text);
    bool refuseNewerSchema(int version);
    bool checkAndMigrate();
    bool checkAndMigrateServer();
    int serverSchemaVersion();
    bool migrate(int fromVersion);
    bool reconnect();
    void dropConnection();
    void takeNotification(const QString &channel, int source, const QString &payload);
    void applyRemoteChanges();
    bool loadSettings();
    bool begin();
    bool commit();
    void rollback();
    // Drops the connection without telling anyone (reopen, shutdown).
    void closeConnection();
    void noteError(const QSqlError &error);
    void notifyReload();
    static void closeAtAppExit();

    QString m_path;
    QString m_connectionName;
    QString m_lastErrorText;
    Failure m_lastFailure = NoFailure;
    bool m_readOnly = false;
    Engine m_engine = SQLite;
    bool m_connectionLost = false;
    QStringList m_remoteChanges;
    QHash<QString, QString> m_settings;
    bool m_exitHookInstalled = false;
};

template<typename Fn>
bool DataStore::transaction(Fn &&fn)
{
    if (!begin())
        return false;
    if (!fn()) {
        rollback();
        return false;
    }
    return commit();
}

} // namespace orlun_data
