#pragma once

#include "TreeConfig.h"

namespace orlun_userMgr {

// Shapes the device tree for granting channels: check boxes on, no
// dragging, offline channels shown.
class ChannelTreeConfig : public orlun_base::TreeConfig
{
public:
    ChannelTreeConfig() = default;
    ~ChannelTreeConfig() override;

    bool treeOption1() override;
    bool treeOption2() override;
    bool treeOption4() override;
};

} // namespace orlun_userMgr
