#include "SystemWorker.h"

#include <QLoggingCategory>

#include "DataSignals.h"
#include "DataStore.h"
#include "StoreKeys.h"
#include "UserData.h"

namespace orlun_worker {

Q_LOGGING_CATEGORY(lcWorker, "orlun.worker")

SystemWorker::SystemWorker()
{
    // The data library sits below this one and cannot call us directly.
    orlun_data::DataSignals &hub = orlun_data::DataSignals::_instance();
    m_reloadConnection = QObject::connect(&hub, &orlun_data::DataSignals::signalStoreReloaded, &hub,
                                          [this] { reload(); });
    m_settingsConnection = QObject::connect(&hub, &orlun_data::DataSignals::signalSettingsChanged,
                                            &hub, [this] { reload(); });
    reload();
}

SystemWorker::~SystemWorker()
{
    // The hub was completed inside our constructor, so it is destroyed after
    // us and still there to disconnect from.
    QObject::disconnect(m_reloadConnection);
    QObject::disconnect(m_settingsConnection);
}

const QString &SystemWorker::getSuperUserName() const
{
    return m_superUserName;
}

int SystemWorker::getUserProject() const
{
    return m_userProject;
}

bool SystemWorker::setSuperUserName(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed != name)
        return false;
    // isUserExist also answers true for the current super user, which is no
    // conflict: renaming "admin" to "Admin" is allowed.
    const bool isCurrent = name.compare(m_superUserName, Qt::CaseInsensitive) == 0;
    if (!isCurrent && orlun_data::UserData::_instance().isUserExist(name))
        return false;
    if (!orlun_data::DataStore::_instance().setSetting(orlun_data::superUserNameKey(), name))
        return false;
    m_superUserName = name;
    return true;
}

bool SystemWorker::setUserProject(int project)
{
    if (!orlun_data::DataStore::_instance().setSetting(orlun_data::userProjectKey(),
                                                       QString::number(project)))
        return false;
    m_userProject = project;
    return true;
}

void SystemWorker::reload()
{
    const orlun_data::DataStore &store = orlun_data::DataStore::_instance();
    m_superUserName =
        store.setting(orlun_data::superUserNameKey(), orlun_data::defaultSuperUserName());
    const QString project = store.setting(orlun_data::userProjectKey());
    bool ok = false;
    m_userProject = project.toInt(&ok);
    if (!ok) {
        if (!project.isEmpty())
            qCWarning(lcWorker) << "The product configuration" << project
                                << "is not a number; no optional function is offered";
        m_userProject = 0;
    }
}

} // namespace orlun_worker

template class TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>;
