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

// The client's embedded SQLite store. One connection for the whole process;
// the schema is created on first open and migrated forward (PRAGMA
// user_version) on later ones. Opening (or reopening) a store makes
// DataSignals::signalStoreReloaded, on which UserData, DevsMgrData and
// SystemWorker reload their in-memory indexes.
// Pass ":memory:" for a private throw-away store (tests).
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
        OtherFailure,
    };
    static constexpr int SchemaVersion = 1;
    static constexpr int BusyTimeoutMs = 250;

    bool open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const { return m_path; }

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
    bool failWith(Failure failure, const QString &text);
    bool checkAndMigrate();
    bool migrate(int fromVersion);
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
