#include "TreeConfig.h"

namespace orlun_base {

TreeConfig::TreeConfig(QObject *parent)
    : QObject(parent)
{}

TreeConfig::~TreeConfig() = default;

bool TreeConfig::treeOption1()
{
    return false;
}

bool TreeConfig::treeOption2()
{
    return true;
}

bool TreeConfig::isLocalGroupsVisible()
{
    return true;
}

bool TreeConfig::treeOption4()
{
    return false;
}

bool TreeConfig::isRtspVideoVisible()
{
    return true;
}

bool TreeConfig::canAddRtspVideo()
{
    return false;
}

} // namespace orlun_base
