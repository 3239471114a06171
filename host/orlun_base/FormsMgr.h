#pragma once

#include <QHash>
#include <QObject>

#include "BaseForm.h"
#include "TamSingleton.h"

namespace orlun_base {

// Keeps the client's forms by type. A registered form is forgotten
// automatically when it is destroyed. The manager does not own the forms.
class FormsMgr : public QObject, public TAMCOMMON::TamSingleton<FormsMgr>
{
    Q_OBJECT
public:
    explicit FormsMgr(QObject *parent = nullptr);
    ~FormsMgr() override;

    // Registers form under its own getFormType(); replaces an earlier form of
    // that type.
    void registerForm(BaseForm *form);
    void unregisterForm(BaseForm *form);
    BaseForm *getForm(FormType type) const;

private:
    QHash<int, BaseForm *> m_forms;
};

} // namespace orlun_base
