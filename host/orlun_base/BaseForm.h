#pragma once

#include "TamWidget.h"

class QCloseEvent;

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

    // Asked before the client closes the form or quits: a form with pending
    // changes may ask the user to save or drop them, and answers false to
    // stay open. The default has nothing pending.
    virtual bool requestClose();

protected:
    // A window form that refuses to close stays open.
    void closeEvent(QCloseEvent *event) override;
};

} // namespace orlun_base
