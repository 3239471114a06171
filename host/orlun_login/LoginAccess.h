#pragma once

#include <QList>
#include <QString>
#include <QVector>

#include "TamSingleton.h"

class QWidget;

namespace orlun_login {

// The client's login service; here the gesture passwords of local accounts.
class LoginAccess : public TAMCOMMON::TamSingleton<LoginAccess>
{
public:
    // Shows the modal gesture dialog over parent: a 3x3 dot pattern of at
    // least four dots, drawn twice. On confirmation an Argon2id hash of the
    // pattern (slowHash) is stored for userName. Returns when the dialog
    // closes.
    void addUserGesture(QWidget *parent, const QString &userName);
    // Removes the account's gesture password; false when there was none or
    // the store refused.
    bool deleteUserGesture(const QString &userName);
    // Whether pattern (dot indices 0..8) matches the stored gesture. A
    // gesture stored in the old format (hashPattern) is rehashed with
    // slowHash at its first match.
    bool checkUserGesture(const QString &userName, const QVector<int> &pattern);

    // Test seam: the next addUserGesture does not show the dialog and acts as
    // if the administrator drew this pattern twice; an empty pattern acts as
    // a cancelled dialog. Each queued outcome is used once.
    void scriptNextGesture(const QVector<int> &pattern);
    void clearScriptedGestures();

    // The stored form: libsodium's Argon2id string ("$argon2id$..."), with
    // its own random salt and cost limits; empty if hashing failed.
    static QByteArray slowHash(const QVector<int> &pattern);
    // The old stored form, salted SHA-256; kept to verify older records.
    static QByteArray hashPattern(const QVector<int> &pattern, const QByteArray &salt);

private:
    friend class TAMCOMMON::TamSingleton<LoginAccess>;
    LoginAccess() = default;
    ~LoginAccess() = default;

    bool storeGesture(const QString &userName, const QVector<int> &pattern);

    QList<QVector<int>> m_scripted;
};

} // namespace orlun_login
