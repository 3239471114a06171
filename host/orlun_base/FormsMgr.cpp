#include "FormsMgr.h"

namespace orlun_base {

FormsMgr::FormsMgr(QObject *parent)
    : QObject(parent)
{}

FormsMgr::~FormsMgr() = default;

void FormsMgr::registerForm(BaseForm *form)
{
    if (!form)
        return;

    const int type = form->getFormType();
    BaseForm *previous = m_forms.value(type);
    if (previous == form)
        return;
    if (previous)
        unregisterForm(previous);

    // The same form may already stand under another key (a re-registration);
    // one destroyed() connection per form is enough.
    disconnect(form, &QObject::destroyed, this, nullptr);
    m_forms.insert(type, form);
    // By the time destroyed() arrives the BaseForm part is gone, so the
    // pointer is only compared, never used.
    connect(form, &QObject::destroyed, this, [this, form]() {
        for (auto it = m_forms.begin(); it != m_forms.end();) {
            if (it.value() == form)
                it = m_forms.erase(it);
            else
                ++it;
        }
    });
}

void FormsMgr::unregisterForm(BaseForm *form)
{
    if (!form)
        return;
    bool found = false;
    for (auto it = m_forms.begin(); it != m_forms.end();) {
        if (it.value() == form) {
            it = m_forms.erase(it);
            found = true;
        } else {
            ++it;
        }
    }
    if (found)
        disconnect(form, &QObject::destroyed, this, nullptr);
}

BaseForm *FormsMgr::getForm(FormType type) const
{
    return m_forms.value(type, nullptr);
}

} // namespace orlun_base

template class TAMCOMMON::TamSingleton<orlun_base::FormsMgr>;
