#include "ChannelTreeConfig.h"

namespace orlun_userMgr {

ChannelTreeConfig::~ChannelTreeConfig() = default;

bool ChannelTreeConfig::treeOption1()
{
    // Grants are made with the items' check boxes.
    return true;
}

bool ChannelTreeConfig::treeOption2()
{
    return false;
}

bool ChannelTreeConfig::treeOption4()
{
    // Offline channels may be granted too.
    return false;
}

} // namespace orlun_userMgr
