#pragma once

#include <QObject>
#include <QString>

#include "TamSingleton.h"

namespace orlun_worker {

// The client's system-wide settings: the super user's name and the product
// configuration bits that switch optional functions on. Both are kept in the
// store's settings table and reloaded when the store opens.
class SystemWorker : public TAMCOMMON::TamSingleton<SystemWorker>
{
public:
    // Product configuration bits.
    enum ProjectBit {
        ProjectTemperature = 0x1,
        ProjectAttendance = 0x2,
        ProjectAlarm = 0x4,
        ProjectDataChart = 0x8,
        ProjectTvWall = 0x10,
        ProjectPerson = 0x20,
        ProjectAccessControl = 0x100,
        ProjectParking = 0x200,
        ProjectPlateRecognition = 0x400,
        ProjectFaceRecognition = 0x800,
        ProjectAll = 0xFFF,
    };

    // "admin" and 0 until the store says otherwise.
    const QString &getSuperUserName() const;
    int getUserProject() const;

    // Both write through to the store and fail while it is closed. The super
    // user's name must not be blank nor belong to an ordinary account.
    bool setSuperUserName(const QString &name);
    bool setUserProject(int project);

    // Re-reads the settings from the DataStore.
    void reload();

private:
    friend class TAMCOMMON::TamSingleton<SystemWorker>;
    SystemWorker();
    ~SystemWorker();

    QString m_superUserName;
    int m_userProject = 0;
    QMetaObject::Connection m_reloadConnection;
    QMetaObject::Connection m_settingsConnection;
};

} // namespace orlun_worker
