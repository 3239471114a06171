#pragma once

#include <QSqlDatabase>
#include <QString>

#include "TamSingleton.h"

namespace orlun_data {

// The client's embedded SQLite store. One connection for the whole process;
// the schema is created on first open. Opening (or reopening) a store makes
// UserData, DevsMgrData and SystemWorker reload their in-memory indexes.
// Pass ":memory:" for a private throw-away store (tests).
class DataStore : public TAMCOMMON::TamSingleton<DataStore>
{
public:
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

    // Key/value settings table (product configuration and the like).
    QString setting(const QString &key, const QString &defaultValue = QString()) const;
    bool setSetting(const QString &key, const QString &value);

private:
    friend class TAMCOMMON::TamSingleton<DataStore>;
    DataStore() = default;
    ~DataStore();

    bool createSchema();
    bool begin();
    bool commit();
    void rollback();

    QString m_path;
    QString m_connectionName;
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
