#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtTest>

#include "TamTreeWidget.h"

using TAMCOMMON::TamTreeWidget;

namespace {

// Clicks where the item delegate draws the item's check box.
void clickCheckBox(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text(0);
    const QRect box =
        tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
}

QTreeWidgetItem *addItem(QTreeWidgetItem *parent, const QString &name, Qt::CheckState state)
{
    auto *item = new QTreeWidgetItem(parent, QStringList(name));
    item->setCheckState(0, state);
    return item;
}

// U unchecked, P partially checked, C checked.
Qt::CheckState stateOf(QChar c)
{
    return Qt::CheckState(QStringLiteral("UPC").indexOf(c));
}

QChar letterOf(Qt::CheckState state)
{
    return QLatin1String("UPC").at(state);
}

// The check states of all items in depth-first order.
QString states(QTreeWidget *tree)
{
    QString result;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        result += letterOf((*it)->checkState(0));
    return result;
}

} // namespace

class tst_TamTreeWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_tree; }

    void clickPropagates_data();
    void clickPropagates();
    void programmaticChangesAreNotPropagated();
    void autoChangingOffKeepsChangeOnItem();
    void updateParentItemsCheckState_data();
    void updateParentItemsCheckState();
    void updateChildItemsCheckState();

private:
    QTreeWidgetItem *find(const QString &name) const
    {
        return m_tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
    }

    TamTreeWidget *m_tree = nullptr;
    QSignalSpy *m_spy = nullptr;
};

// Folder
//   Dev0: Ch0.0 Ch0.1 Ch0.2
//   Dev1: Ch1.0 Ch1.1 Ch1.2
//   Dev2: Ch2.0 Ch2.1 Ch2.2
void tst_TamTreeWidget::init()
{
    m_tree = new TamTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->resize(300, 500);
    auto *folder = new QTreeWidgetItem(QStringList(QStringLiteral("Folder")));
    folder->setCheckState(0, Qt::Unchecked);
    for (int d = 0; d < 3; ++d) {
        QTreeWidgetItem *device = addItem(folder, QStringLiteral("Dev%1").arg(d), Qt::Unchecked);
        for (int c = 0; c < 3; ++c)
            addItem(device, QStringLiteral("Ch%1.%2").arg(d).arg(c), Qt::Unchecked);
    }
    m_tree->addTopLevelItem(folder);
    m_tree->expandAll();
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree));
    m_spy = new QSignalSpy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    m_spy->setParent(m_tree);
}

void tst_TamTreeWidget::clickPropagates_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("space"); // a click beside the box, then the space key

    auto row = [](const char *name, const char *before, const char *clicked, const char *after,
                  bool space = false) {
        QTest::newRow(name) << QString::fromLatin1(before) << QString::fromLatin1(clicked)
                            << QString::fromLatin1(after) << space;
    };
    // Order: Folder, Dev0, Ch0.0-2, Dev1, Ch1.0-2, Dev2, Ch2.0-2.
    row("device checks its channels", "UUUUUUUUUUUUU", "Dev1", "PUUUUCCCCUUUU");
    row("channel makes device and folder partial", "UUUUUUUUUUUUU", "Ch2.1", "PUUUUUUUUPUCU");
    row("last unchecked channel completes all", "PCCCCCCCCPCUC", "Ch2.1", "CCCCCCCCCCCCC");
    row("folder checks everything", "UUUUUUUUUUUUU", "Folder", "CCCCCCCCCCCCC");
    row("partial device becomes checked", "PPCUCUUUUUUUU", "Dev0", "PCCCCUUUUUUUU");
    row("unchecking a channel of a full tree", "CCCCCCCCCCCCC", "Ch0.0", "PPUCCCCCCCCCC");
    row("space on a device", "UUUUUUUUUUUUU", "Dev2", "PUUUUUUUUCCCC", true);
    row("space on a checked device", "CCCCCCCCCCCCC", "Dev2", "PCCCCCCCCUUUU", true);
}

void tst_TamTreeWidget::clickPropagates()
{
    QFETCH(QString, before);
    QFETCH(QString, clicked);
    QFETCH(QString, after);
    QFETCH(bool, space);

    int i = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it, ++i)
        (*it)->setCheckState(0, stateOf(before.at(i)));
    // Collapsed rows are not on screen; propagation must reach them anyway.
    QTreeWidgetItem *item = find(clicked);
    for (int d = 0; d < 3; ++d) {
        if (find(QStringLiteral("Dev%1").arg(d)) != item->parent())
            find(QStringLiteral("Dev%1").arg(d))->setExpanded(false);
    }
    m_spy->clear();
    if (space) {
        const QPoint text = m_tree->visualItemRect(item).center() + QPoint(40, 0);
        QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, text);
        QCOMPARE(m_tree->currentItem(), item);
        QTest::keyClick(m_tree, Qt::Key_Space);
    } else {
        clickCheckBox(m_tree, item);
    }

    QCOMPARE(states(m_tree), after);
    QCOMPARE(m_spy->count(), 1);
}

void tst_TamTreeWidget::programmaticChangesAreNotPropagated()
{
    find(QStringLiteral("Dev1"))->setCheckState(0, Qt::Checked);
    find(QStringLiteral("Ch0.0"))->setCheckState(0, Qt::Checked);
    QCOMPARE(states(m_tree), QStringLiteral("UUCUUCUUUUUUU"));
    QCOMPARE(m_spy->count(), 0);

    // Nor are a receiver's own changes made while the signal is emitted, as a
    // panel shielding its batch changes does.
    QTreeWidgetItem *channel = find(QStringLiteral("Ch2.2"));
    connect(m_tree, &TamTreeWidget::signalItemsCheckStateChanged, this,
            [channel] { channel->setCheckState(0, Qt::Checked); });
    clickCheckBox(m_tree, find(QStringLiteral("Dev2")));
    QCOMPARE(states(m_tree), QStringLiteral("PUCUUCUUUCCCC"));
    clickCheckBox(m_tree, find(QStringLiteral("Dev2")));
    QCOMPARE(states(m_tree), QStringLiteral("PUCUUCUUUUUUC"));
    QCOMPARE(m_spy->count(), 2);
}

void tst_TamTreeWidget::autoChangingOffKeepsChangeOnItem()
{
    m_tree->setAutoChangingItemsCheckState(false);
    QVERIFY(!m_tree->isAutoChangingItemsCheckState());
    clickCheckBox(m_tree, find(QStringLiteral("Dev0")));
    QCOMPARE(states(m_tree), QStringLiteral("UCUUUUUUUUUUU"));
    QCOMPARE(m_spy->count(), 1);

    m_tree->setAutoChangingItemsCheckState(true);
    clickCheckBox(m_tree, find(QStringLiteral("Ch1.0")));
    QCOMPARE(states(m_tree), QStringLiteral("PCUUUPCUUUUUU"));
    QCOMPARE(m_spy->count(), 2);
}

void tst_TamTreeWidget::updateParentItemsCheckState_data()
{
    QTest::addColumn<QString>("leaves");
    QTest::addColumn<QString>("ancestors");

    // A chain of five levels, each with the next level and one leaf sibling;
    // "leaves" gives the deepest leaf, then the siblings from the bottom up,
    // "ancestors" the chain from the bottom up.
    QTest::newRow("all checked") << "CCCCC"
                                 << "CCCCC";
    QTest::newRow("deepest differs") << "CUUUU"
                                     << "CPPPP";
    QTest::newRow("middle sibling differs") << "UUCUU"
                                            << "UUPPP";
}

void tst_TamTreeWidget::updateParentItemsCheckState()
{
    QFETCH(QString, leaves);
    QFETCH(QString, ancestors);

    m_tree->clear();
    // Ancestors start partially checked, as after a batch of programmatic
    // changes.
    QVector<QTreeWidgetItem *> chain{new QTreeWidgetItem(m_tree, {QStringLiteral("L0")})};
    chain.last()->setCheckState(0, Qt::PartiallyChecked);
    for (int level = 1; level < 5; ++level)
        chain << addItem(chain.last(), QStringLiteral("L%1").arg(level), Qt::PartiallyChecked);
    QTreeWidgetItem *deepest = addItem(chain.last(), QStringLiteral("leaf"), stateOf(leaves[0]));
    for (int level = 4; level >= 1; --level)
        addItem(chain.at(level - 1), QStringLiteral("side"), stateOf(leaves.at(5 - level)));

    m_spy->clear();
    m_tree->updateParentItemsCheckState(deepest);
    QString result;
    for (int level = 4; level >= 0; --level)
        result += letterOf(chain.at(level)->checkState(0));
    QCOMPARE(result, ancestors);
    QCOMPARE(m_spy->count(), 0);
}

void tst_TamTreeWidget::updateChildItemsCheckState()
{
    QTreeWidgetItem *device = find(QStringLiteral("Dev1"));
    device->setCheckState(0, Qt::Checked);
    m_tree->updateChildItemsCheckState(device);
    QCOMPARE(states(m_tree), QStringLiteral("UUUUUCCCCUUUU"));
    m_tree->updateParentItemsCheckState(device->child(0));
    QCOMPARE(states(m_tree), QStringLiteral("PUUUUCCCCUUUU"));
    QCOMPARE(m_spy->count(), 0);
}

QTEST_MAIN(tst_TamTreeWidget)
#include "tst_TamTreeWidget.moc"
