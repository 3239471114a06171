#include <QSignalSpy>
#include <QtTest>

#include "TamTreeWidget.h"
#include "TestSupport.h"

using TAMCOMMON::TamTreeWidget;

namespace {

// What a widget was asked to paint.
class PaintedRegion : public QObject
{
public:
    explicit PaintedRegion(QWidget *widget) { widget->installEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

} // namespace

// Folder
//   Dev0: Ch0.0 Ch0.1 Ch0.2
//   Dev1: Ch1.0 Ch1.1 Ch1.2
//   Dev2: Ch2.0 Ch2.1 Ch2.2
// States are written in that order, as letters (U, P, C).
class tst_TamTreeWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_tree; }
    void userChanges_data();
    void userChanges();
    void receiverChangesAreNotPropagated();
    void programmaticChangesRepaint_data();
    void programmaticChangesRepaint();

private:
    QTreeWidgetItem *find(const QString &name) const
    {
        return m_tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }
    QString states() const
    {
        QString result;
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
            result += checkLetter((*it)->checkState(0));
        return result;
    }

    TamTreeWidget *m_tree = nullptr;
};

void tst_TamTreeWidget::init()
{
    m_tree = new TamTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->resize(300, 500);
    auto *folder = new QTreeWidgetItem(m_tree, {"Folder"});
    for (int d = 0; d < 3; ++d) {
        auto *device = new QTreeWidgetItem(folder, {QStringLiteral("Dev%1").arg(d)});
        for (int c = 0; c < 3; ++c)
            new QTreeWidgetItem(device, {QStringLiteral("Ch%1.%2").arg(d).arg(c)});
    }
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        (*it)->setCheckState(0, Qt::Unchecked);
    m_tree->expandAll();
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree));
}

void tst_TamTreeWidget::userChanges_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("emitted");

    // Steps: "click <item>" on its check box, "space <item>" after a click
    // beside the box, "set <item>" a programmatic check, "auto off|on".
    // Collapsed rows are not on screen; propagation must reach them anyway.
    using L = QStringList;
    const QString none(13, 'U'), all(13, 'C');
    QTest::newRow("device checks its channels") << none << L{"click Dev1"} << "PUUUUCCCCUUUU" << 1;
    QTest::newRow("channel makes device and folder partial")
        << none << L{"click Ch2.1"} << "PUUUUUUUUPUCU" << 1;
    QTest::newRow("last unchecked channel completes all")
        << "PCCCCCCCCPCUC" << L{"click Ch2.1"} << all << 1;
    QTest::newRow("folder checks everything") << none << L{"click Folder"} << all << 1;
    QTest::newRow("partial device becomes checked")
        << "PPCUCUUUUUUUU" << L{"click Dev0"} << "PCCCCUUUUUUUU" << 1;
    QTest::newRow("unchecking a channel of a full tree")
        << all << L{"click Ch0.0"} << "PPUCCCCCCCCCC" << 1;
    QTest::newRow("space on a device") << none << L{"space Dev2"} << "PUUUUUUUUCCCC" << 1;
    QTest::newRow("space on a checked device") << all << L{"space Dev2"} << "PCCCCCCCCUUUU" << 1;
    QTest::newRow("programmatic changes stay put")
        << none << L{"set Dev1", "set Ch0.0"} << "UUCUUCUUUUUUU" << 0;
    QTest::newRow("auto changing off keeps the change on the item")
        << none << L{"auto off", "click Dev0", "auto on", "click Ch1.0"} << "PCUUUPCUUUUUU" << 2;
}

void tst_TamTreeWidget::userChanges()
{
    QFETCH(QString, before);
    QFETCH(QStringList, steps);
    QFETCH(QString, after);
    QFETCH(int, emitted);

    int i = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        (*it)->setCheckState(0, Qt::CheckState(QStringLiteral("UPC").indexOf(before.at(i++))));
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    for (const QString &step : qAsConst(steps)) {
        const QString verb = step.section(' ', 0, 0), arg = step.section(' ', 1);
        QTreeWidgetItem *item = find(arg);
        for (int d = 0; d < 3 && item; ++d) {
            if (find(QStringLiteral("Dev%1").arg(d)) != item->parent())
                find(QStringLiteral("Dev%1").arg(d))->setExpanded(false);
        }
        if (verb == "click" && item) {
            clickCheckBox(m_tree, item);
        } else if (verb == "space" && item) {
            const QPoint text = m_tree->visualItemRect(item).center() + QPoint(40, 0);
            QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, text);
            QCOMPARE(m_tree->currentItem(), item);
            QTest::keyClick(m_tree, Qt::Key_Space);
        } else if (verb == "set" && item) {
            item->setCheckState(0, Qt::Checked);
        } else if (step == "auto off" || step == "auto on") {
            m_tree->setAutoChangingItemsCheckState(arg == "on");
            QCOMPARE(m_tree->isAutoChangingItemsCheckState(), arg == "on");
        } else {
            FAIL_UNKNOWN_STEP(step);
        }
    }
    QCOMPARE(states(), after);
    QCOMPARE(spy.count(), emitted);
}

// Nor are a receiver's own changes made while the signal is emitted, as a
// panel shielding its batch changes does.
void tst_TamTreeWidget::receiverChangesAreNotPropagated()
{
    QTreeWidgetItem *channel = find("Ch2.2");
    connect(m_tree, &TamTreeWidget::signalItemsCheckStateChanged, this,
            [channel] { channel->setCheckState(0, Qt::Checked); });
    clickCheckBox(m_tree, find("Dev2"));
    QCOMPARE(states(), QStringLiteral("PUUUUUUUUCCCC"));
    clickCheckBox(m_tree, find("Dev2"));
    QCOMPARE(states(), QStringLiteral("UUUUUUUUUUUUC"));
}

void tst_TamTreeWidget::programmaticChangesRepaint_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("batch");
    QTest::newRow("channel") << "Ch1.2" << false;
    QTest::newRow("device") << "Dev2" << false;
    QTest::newRow("folder") << "Folder" << false;
    QTest::newRow("channel in a batch") << "Ch0.0" << true;
}

// A box changed by code shows its new state without any other repaint.
void tst_TamTreeWidget::programmaticChangesRepaint()
{
    QFETCH(QString, name);
    QFETCH(bool, batch);
    QTreeWidgetItem *item = find(name);
    const QRect rect = m_tree->visualItemRect(item);
    QVERIFY(rect.isValid());
    PaintedRegion painted(m_tree->viewport());
    QCoreApplication::processEvents();
    painted.region = QRegion();

    m_tree->setAutoChangingItemsCheckState(!batch);
    item->setCheckState(0, Qt::Checked);
    m_tree->setAutoChangingItemsCheckState(true);
    QTRY_COMPARE(painted.region.intersected(rect), QRegion(rect));
}

QTEST_MAIN(tst_TamTreeWidget)
#include "tst_TamTreeWidget.moc"
