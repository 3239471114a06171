#include "SystemWorker.h"

#include "DataStore.h"
#include "StoreKeys.h"
#include "UserData.h"

namespace orlun_worker {

SystemWorker::SystemWorker()
{
    // The data library sits below this one and cannot call us directly.
    m_reloadHandle = orlun_data::DataStore::_instance().addReloadListener([this] { reload(); });
    reload();
}

SystemWorker::~SystemWorker()
{
    // DataStore was completed inside our constructor, so it is destroyed
    // after us and still there to unregister from.
    orlun_data::DataStore::_instance().removeReloadListener(m_reloadHandle);
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
    bool ok = false;
    m_userProject = store.setting(orlun_data::userProjectKey()).toInt(&ok);
    if (!ok)
        m_userProject = 0;
}

} // namespace orlun_worker

template class TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>;
