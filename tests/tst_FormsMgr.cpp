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

const BaseForm *const none = nullptr;

} // namespace

class tst_FormsMgr : public QObject
{
    Q_OBJECT

private slots:
    void findsRegisteredFormsByType();
    void forgetsDestroyedAndUnregisteredForms();
};

void tst_FormsMgr::findsRegisteredFormsByType()
{
    FormsMgr &mgr = TAMCOMMON::TamSingleton<FormsMgr>::_instance();
    auto *first = new TypedForm(orlun_base::FormUserMgr);
    TypedForm logForm(orlun_base::FormLog);
    mgr.registerForm(first);
    mgr.registerForm(&logForm);
    mgr.registerForm(nullptr);

    QCOMPARE(TAMCOMMON::TamSingleton<FormsMgr>::_instance().getForm(FormType(11)), first);
    QCOMPARE(mgr.getForm(orlun_base::FormLog), &logForm);
    QCOMPARE(mgr.getForm(orlun_base::FormPreview), none);
    QCOMPARE(mgr.getForm(orlun_base::FormNone), none);

    // A later form of the same type replaces the earlier one, whose death
    // must not take the new one's entry with it.
    TypedForm second(orlun_base::FormUserMgr);
    mgr.registerForm(&second);
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &second);
    delete first;
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &second);
}

void tst_FormsMgr::forgetsDestroyedAndUnregisteredForms()
{
    FormsMgr mgr;
    QWidget window;
    auto *form = new TypedForm(orlun_base::FormUserMgr, &window);
    TypedForm other(orlun_base::FormAlarm);
    mgr.registerForm(form);
    mgr.registerForm(form); // registering twice is harmless
    mgr.registerForm(&other);
    delete form;
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), none);
    QCOMPARE(mgr.getForm(orlun_base::FormAlarm), &other);

    // Dying with its parent counts the same.
    {
        QWidget owner;
        mgr.registerForm(new TypedForm(orlun_base::FormEMap, &owner));
        QVERIFY(mgr.getForm(orlun_base::FormEMap));
    }
    QCOMPARE(mgr.getForm(orlun_base::FormEMap), none);

    // Unregistered it is gone; registered again, found again.
    mgr.unregisterForm(&other);
    QCOMPARE(mgr.getForm(orlun_base::FormAlarm), none);
    mgr.registerForm(&other);
    QCOMPARE(mgr.getForm(orlun_base::FormAlarm), &other);
}

QTEST_MAIN(tst_FormsMgr)
#include "tst_FormsMgr.moc"
