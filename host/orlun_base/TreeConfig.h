#pragma once

#include <QObject>

namespace orlun_base {

// Shapes a VideoPointTree. The defaults suit the client's preview tree.
class TreeConfig : public QObject
{
    Q_OBJECT
public:
    explicit TreeConfig(QObject *parent = nullptr);
    ~TreeConfig() override;

    // Device, channel and group items carry a user-checkable box in column 0.
    virtual bool treeOption1();
    // Items can be dragged out of the tree (to a video window).
    virtual bool treeOption2();
    virtual bool isLocalGroupsVisible();
    // Offline devices and channels are left out of the tree.
    virtual bool treeOption4();
    virtual bool isRtspVideoVisible();
    virtual bool canAddRtspVideo();
};

} // namespace orlun_base
