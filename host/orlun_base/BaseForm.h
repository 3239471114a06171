#pragma once

#include "TamWidget.h"

namespace orlun_base {

// The client's forms, found through FormsMgr by their type.
enum FormType {
    FormNone = 0,
    FormMain = 1,
    FormPreview = 2,
    FormPlayback = 3,
    FormDeviceMgr = 4,
    FormEMap = 5,
    FormAlarm = 6,
    FormTvWall = 7,
    FormLog = 8,
    FormSystemConfig = 9,
    FormLocalConfig = 10,
    FormUserMgr = 11,
};

class BaseForm : public TAMCOMMON::TamWidget
{
    Q_OBJECT
public:
    explicit BaseForm(QWidget *parent = nullptr);
    ~BaseForm() override;

    virtual FormType getFormType() const = 0;
};

} // namespace orlun_base
