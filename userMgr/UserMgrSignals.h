#pragma once

#include <QObject>

#include "TamSingleton.h"

namespace orlun_userMgr {

// Module-wide hub: the rows of the user list ask the form to edit or delete
// a user without holding a pointer to it.
class UserMgrSignals : public QObject, public TAMCOMMON::TamSingleton<UserMgrSignals>
{
    Q_OBJECT
public:
    explicit UserMgrSignals(QObject *parent = nullptr);

signals:
    void signalEditUser(const QString &userName);
    void signalDeleteUser(const QString &userName);
};

} // namespace orlun_userMgr
