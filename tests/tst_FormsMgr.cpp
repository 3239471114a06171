#include <QtTest>

#include "FormsMgr.h"

using orlun_base::BaseForm;
using orlun_base::FormsMgr;
using orlun_base::FormType;

namespace {

class TypedForm : public BaseForm
{
public:
    explicit TypedForm(FormType type, QWidget *parent = nullptr)
        : BaseForm(parent)
        , m_type(type)
    {}
    FormType getFormType() const override { return m_type; }

private:
    FormType m_type;
};

} // namespace

class tst_FormsMgr : public QObject
{
    Q_OBJECT

private slots:
    void findsRegisteredFormsByType();
    void laterFormOfSameTypeReplacesEarlier();
    void destroyedFormIsForgotten();
    void unregisteredFormIsForgotten();
    void singletonKeepsForms();
};

void tst_FormsMgr::findsRegisteredFormsByType()
{
    FormsMgr mgr;
    TypedForm userForm(orlun_base::FormUserMgr);
    TypedForm logForm(orlun_base::FormLog);
    mgr.registerForm(&userForm);
    mgr.registerForm(&logForm);

    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &userForm);
    QCOMPARE(mgr.getForm(FormType(11)), &userForm);
    QCOMPARE(mgr.getForm(orlun_base::FormLog), &logForm);
    QCOMPARE(mgr.getForm(orlun_base::FormPreview), static_cast<BaseForm *>(nullptr));
    mgr.registerForm(nullptr);
    QCOMPARE(mgr.getForm(orlun_base::FormNone), static_cast<BaseForm *>(nullptr));
}

void tst_FormsMgr::laterFormOfSameTypeReplacesEarlier()
{
    FormsMgr mgr;
    auto *first = new TypedForm(orlun_base::FormUserMgr);
    TypedForm second(orlun_base::FormUserMgr);
    mgr.registerForm(first);
    mgr.registerForm(&second);
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &second);

    // The replaced form's death must not take the new one's entry with it.
    delete first;
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &second);
}

void tst_FormsMgr::destroyedFormIsForgotten()
{
    FormsMgr mgr;
    QWidget window;
    auto *form = new TypedForm(orlun_base::FormUserMgr, &window);
    TypedForm other(orlun_base::FormAlarm);
    mgr.registerForm(form);
    mgr.registerForm(form); // registering twice is harmless
    mgr.registerForm(&other);

    delete form;
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), static_cast<BaseForm *>(nullptr));
    QCOMPARE(mgr.getForm(orlun_base::FormAlarm), &other);

    // Dying with its parent counts the same.
    auto *child = new TypedForm(orlun_base::FormEMap, &window);
    mgr.registerForm(child);
    QCOMPARE(mgr.getForm(orlun_base::FormEMap), child);
    {
        QWidget owner;
        child->setParent(&owner);
    }
    QCOMPARE(mgr.getForm(orlun_base::FormEMap), static_cast<BaseForm *>(nullptr));
}

void tst_FormsMgr::unregisteredFormIsForgotten()
{
    FormsMgr mgr;
    TypedForm form(orlun_base::FormTvWall);
    mgr.registerForm(&form);
    mgr.unregisterForm(&form);
    QCOMPARE(mgr.getForm(orlun_base::FormTvWall), static_cast<BaseForm *>(nullptr));
    // Registered again after that, it is found again.
    mgr.registerForm(&form);
    QCOMPARE(mgr.getForm(orlun_base::FormTvWall), &form);
}

void tst_FormsMgr::singletonKeepsForms()
{
    FormsMgr &mgr = TAMCOMMON::TamSingleton<FormsMgr>::_instance();
    QCOMPARE(&TAMCOMMON::TamSingleton<FormsMgr>::_instance(), &mgr);
    {
        TypedForm form(orlun_base::FormUserMgr);
        mgr.registerForm(&form);
        QCOMPARE(TAMCOMMON::TamSingleton<FormsMgr>::_instance().getForm(orlun_base::FormUserMgr),
                 &form);
    }
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), static_cast<BaseForm *>(nullptr));
}

QTEST_MAIN(tst_FormsMgr)
#include "tst_FormsMgr.moc"
