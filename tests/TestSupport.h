#pragma once

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QObject>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

#include "BaseForm.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "SystemAssistant.h"
#include "TamMessageBox.h"
#include "UserData.h"

#define FAIL_UNKNOWN_STEP(step) QFAIL(qPrintable(QStringLiteral("unknown step: ") + (step)))

// Qt leaks a clear button's fade animation if its line edit dies mid-fade.
inline void waitForClearButtonFades(QWidget *root)
{
    const auto buttons = root->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() &&
            button->defaultAction()->objectName() == QLatin1String("_q_qlineeditclearaction"))
            QTRY_VERIFY(!button->isVisible());
    }
}

// The store suites run on SQLite by default. Registered a second time with
// ORLUN_TEST_ENGINE=postgresql, they run on a database of their own on the
// server that ORLUN_TEST_PG names (scripts/common.sh starts a private one).
inline bool testsOnServer()
{
    return qgetenv("ORLUN_TEST_ENGINE") == "postgresql";
}

// Runs statements on a separate connection to database (the server's own
// one when empty); returns the first error, or an empty string.
inline QString runOnServer(const QString &database, const QStringList &statements)
{
    QUrl url(qEnvironmentVariable("ORLUN_TEST_PG"));
    if (url.isEmpty())
        return QStringLiteral("ORLUN_TEST_PG is not set; run the tests through "
                              "scripts/run-tests.sh, which starts a server");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "test_admin");
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setDatabaseName(database.isEmpty() ? url.path().mid(1) : database);
        if (!db.open())
            error = db.lastError().text();
        QSqlQuery query(db);
        for (const QString &statement :
             QStringList("SET client_min_messages = warning") + statements) {
            if (error.isEmpty() && !query.exec(statement))
                error = statement + ": " + query.lastError().text();
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("test_admin");
    return error;
}

// The test process's database on the server, created on first use.
inline QString serverStoreUrl()
{
    static const QString url = [] {
        const QString name =
            QStringLiteral("orlun_test_%1").arg(QCoreApplication::applicationPid());
        const QString error =
            runOnServer(QString(), {"DROP DATABASE IF EXISTS " + name, "CREATE DATABASE " + name});
        if (!error.isEmpty())
            qWarning("%s", qPrintable(error));
        QUrl server(qEnvironmentVariable("ORLUN_TEST_PG"));
        server.setPath(QLatin1Char('/') + name);
        return server.toString();
    }();
    return url;
}

// Opens an empty store on the suite's engine: a new ":memory:" store, or the
// suite's server database emptied.
inline void openFreshStore()
{
    auto &store = orlun_data::DataStore::_instance();
    if (!testsOnServer()) {
        QVERIFY(store.open(QStringLiteral(":memory:")));
        return;
    }
    store.close();
    const QString url = serverStoreUrl();
    const QString error = runOnServer(QUrl(url).path().mid(1),
                                      {"DROP SCHEMA public CASCADE", "CREATE SCHEMA public"});
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY2(store.open(url), qPrintable(store.lastErrorText()));
}

// A store that a test closes and opens again: a file in dir, or the suite's
// server database (emptied by openFreshStore).
inline QString reopenableStore(const QTemporaryDir &dir, const QString &file)
{
    return testsOnServer() ? serverStoreUrl() : dir.filePath(file);
}

// Each widget test's init(): fresh store, scripted answers, no toasts.
inline void resetHostForTest()
{
    openFreshStore();
    orlun_base::TamMessageBox::setTestMode(true);
    orlun_base::TamMessageBox::setNextAnswers({});
    orlun_base::TamMessageBox::clearAskedQuestions();
    orlun_worker::SystemAssistant::_instance().setAlertPopupsEnabled(false);
}

inline orlun_data::UserData &hostUsers()
{
    return orlun_data::UserData::_instance();
}

inline orlun_data::DevsMgrData &hostDevs()
{
    return orlun_data::DevsMgrData::_instance();
}

inline QSet<QString> idSet(const QStringList &ids)
{
    return QSet<QString>(ids.cbegin(), ids.cend());
}

inline void sendHover(QWidget *widget, bool enter = true)
{
    QEvent event(enter ? QEvent::Enter : QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

inline QChar checkLetter(int state)
{
    return QLatin1String("UPC").at(state);
}

inline QStringList alertTexts(const QSignalSpy &alerts)
{
    QStringList texts;
    for (const QList<QVariant> &alert : alerts)
        texts << alert.at(0).toString() + ": " + alert.at(1).toString();
    return texts;
}

inline QStringList askedTexts()
{
    QStringList texts;
    for (const orlun_base::TamMessageBox::Question &q : orlun_base::TamMessageBox::askedQuestions())
        texts << q.text + " /" + QString::number(q.buttons);
    return texts;
}

// Clicks where the view's style draws the check box of an item shown in rect.
inline void clickCheckBox(QAbstractItemView *view, const QRect &rect, const QString &text)
{
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.widget = view;
    option.rect = rect;
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = text;
    const QRect box =
        view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
}

inline void clickCheckBox(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    clickCheckBox(tree, tree->visualItemRect(item), item->text(0));
}

inline void clickCheckBox(QListWidget *list, QListWidgetItem *item)
{
    list->scrollToItem(item);
    clickCheckBox(list, list->visualItemRect(item), item->text());
}

// QTest spells out ASCII only; other characters come as an input method sends them.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

class TypedForm : public orlun_base::BaseForm
{
public:
    explicit TypedForm(orlun_base::FormType type, QWidget *parent = nullptr)
        : BaseForm(parent)
        , m_type(type)
    {}
    orlun_base::FormType getFormType() const override { return m_type; }

private:
    orlun_base::FormType m_type;
};
