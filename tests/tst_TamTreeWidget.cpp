#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QtTest>

#include "TamTreeWidget.h"

using TAMCOMMON::TamTreeWidget;

Q_DECLARE_METATYPE(Qt::CheckState)

namespace {

// Where the item delegate draws the item's check box.
QPoint checkBoxCenter(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text(0);
    return tree->style()
        ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree)
        .center();
}

void clickCheckBox(QTreeWidget *tree, QTreeWidgetItem *item)
{
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, checkBoxCenter(tree, item));
}

QTreeWidgetItem *addItem(QTreeWidgetItem *parent, const QString &name, Qt::CheckState state)
{
    auto *item = new QTreeWidgetItem(parent, QStringList(name));
    item->setCheckState(0, state);
    return item;
}

// The check states of all items in depth-first order as one string: C
// checked, P partially checked, U unchecked, - no check box.
QString states(QTreeWidget *tree)
{
    QString result;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const QVariant value = (*it)->data(0, Qt::CheckStateRole);
        if (!value.isValid())
            result += QLatin1Char('-');
        else if (value.toInt() == Qt::Checked)
            result += QLatin1Char('C');
        else if (value.toInt() == Qt::PartiallyChecked)
            result += QLatin1Char('P');
        else
            result += QLatin1Char('U');
    }
    return result;
}

} // namespace

class tst_TamTreeWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clickPropagates_data();
    void clickPropagates();
    void spaceKeyPropagates();
    void clickBesideCheckBoxChangesNothing();
    void programmaticChangeIsNotPropagated();
    void autoChangingOffKeepsChangeOnItem();
    void receiversChangesAreNotPropagated();
    void updateParentItemsCheckState_data();
    void updateParentItemsCheckState();
    void updateChildItemsCheckState();
    void collapsedSubtreeFollows();

private:
    QTreeWidgetItem *find(const QString &name) const;

    TamTreeWidget *m_tree = nullptr;
    QTreeWidgetItem *m_folder = nullptr;
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
    m_folder = new QTreeWidgetItem(QStringList(QStringLiteral("Folder")));
    m_folder->setCheckState(0, Qt::Unchecked);
    for (int d = 0; d < 3; ++d) {
        QTreeWidgetItem *device = addItem(m_folder, QStringLiteral("Dev%1").arg(d), Qt::Unchecked);
        for (int c = 0; c < 3; ++c)
            addItem(device, QStringLiteral("Ch%1.%2").arg(d).arg(c), Qt::Unchecked);
    }
    m_tree->addTopLevelItem(m_folder);
    m_tree->expandAll();
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree));
}

void tst_TamTreeWidget::cleanup()
{
    delete m_tree;
    m_tree = nullptr;
}

QTreeWidgetItem *tst_TamTreeWidget::find(const QString &name) const
{
    const QList<QTreeWidgetItem *> found =
        m_tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

void tst_TamTreeWidget::clickPropagates_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("after");

    // Order: Folder, Dev0, Ch0.0-2, Dev1, Ch1.0-2, Dev2, Ch2.0-2.
    QTest::newRow("device checks its channels, folder partial") << "UUUUUUUUUUUUU"
                                                                << "Dev1"
                                                                << "PUUUUCCCCUUUU";
    QTest::newRow("channel makes device and folder partial") << "UUUUUUUUUUUUU"
                                                             << "Ch2.1"
                                                             << "PUUUUUUUUPUCU";
    QTest::newRow("last unchecked channel completes device and folder") << "PCCCCCCCCPCUC"
                                                                        << "Ch2.1"
                                                                        << "CCCCCCCCCCCCC";
    QTest::newRow("folder checks everything") << "UUUUUUUUUUUUU"
                                              << "Folder"
                                              << "CCCCCCCCCCCCC";
    QTest::newRow("checked folder unchecks everything") << "CCCCCCCCCCCCC"
                                                        << "Folder"
                                                        << "UUUUUUUUUUUUU";
    QTest::newRow("partial device becomes checked") << "PPCUCUUUUUUUU"
                                                    << "Dev0"
                                                    << "PCCCCUUUUUUUU";
    QTest::newRow("unchecking a channel of a full tree") << "CCCCCCCCCCCCC"
                                                         << "Ch0.0"
                                                         << "PPUCCCCCCCCCC";
}

void tst_TamTreeWidget::clickPropagates()
{
    QFETCH(QString, before);
    QFETCH(QString, clicked);
    QFETCH(QString, after);

    int i = 0;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it, ++i) {
        const QChar state = before.at(i);
        (*it)->setCheckState(0, state == QLatin1Char('C')   ? Qt::Checked
                                : state == QLatin1Char('P') ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
    }
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    clickCheckBox(m_tree, find(clicked));

    QCOMPARE(states(m_tree), after);
    QCOMPARE(spy.count(), 1);
}

void tst_TamTreeWidget::spaceKeyPropagates()
{
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    m_tree->setFocus();
    m_tree->setCurrentItem(find(QStringLiteral("Dev2")));
    QTest::keyClick(m_tree, Qt::Key_Space);
    QCOMPARE(states(m_tree), QStringLiteral("PUUUUUUUUCCCC"));
    QCOMPARE(spy.count(), 1);

    QTest::keyClick(m_tree, Qt::Key_Space);
    QCOMPARE(states(m_tree), QStringLiteral("UUUUUUUUUUUUU"));
    QCOMPARE(spy.count(), 2);
}

void tst_TamTreeWidget::clickBesideCheckBoxChangesNothing()
{
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    QTreeWidgetItem *device = find(QStringLiteral("Dev0"));
    const QRect rect = m_tree->visualItemRect(device);
    QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, rect.center() + QPoint(40, 0));
    QCOMPARE(m_tree->currentItem(), device);
    QCOMPARE(states(m_tree), QStringLiteral("UUUUUUUUUUUUU"));
    QCOMPARE(spy.count(), 0);
}

void tst_TamTreeWidget::programmaticChangeIsNotPropagated()
{
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    find(QStringLiteral("Dev1"))->setCheckState(0, Qt::Checked);
    find(QStringLiteral("Ch0.0"))->setCheckState(0, Qt::Checked);
    QCOMPARE(states(m_tree), QStringLiteral("UUCUUCUUUUUUU"));
    QCOMPARE(spy.count(), 0);
}

void tst_TamTreeWidget::autoChangingOffKeepsChangeOnItem()
{
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    m_tree->setAutoChangingItemsCheckState(false);
    QVERIFY(!m_tree->isAutoChangingItemsCheckState());
    clickCheckBox(m_tree, find(QStringLiteral("Dev0")));
    QCOMPARE(states(m_tree), QStringLiteral("UCUUUUUUUUUUU"));
    QCOMPARE(spy.count(), 1);

    m_tree->setAutoChangingItemsCheckState(true);
    clickCheckBox(m_tree, find(QStringLiteral("Ch1.0")));
    QCOMPARE(states(m_tree), QStringLiteral("PCUUUPCUUUUUU"));
    QCOMPARE(spy.count(), 2);
}

void tst_TamTreeWidget::receiversChangesAreNotPropagated()
{
    // A receiver that unchecks a channel by code, as a panel shielding its
    // own batch changes would.
    QTreeWidgetItem *channel = find(QStringLiteral("Ch0.2"));
    connect(m_tree, &TamTreeWidget::signalItemsCheckStateChanged, this,
            [channel] { channel->setCheckState(0, Qt::Unchecked); });
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    clickCheckBox(m_tree, find(QStringLiteral("Dev0")));
    QCOMPARE(states(m_tree), QStringLiteral("PCCCUUUUUUUUU"));
    QCOMPARE(spy.count(), 1);
}

void tst_TamTreeWidget::updateParentItemsCheckState_data()
{
    QTest::addColumn<QString>("leaves");
    QTest::addColumn<QString>("ancestors");

    // A chain of five levels, each with the next level and one leaf sibling;
    // "leaves" gives the deepest leaf, then the siblings from the bottom up.
    QTest::newRow("all checked") << "CCCCC"
                                 << "CCCCC";
    QTest::newRow("all unchecked") << "UUUUU"
                                   << "UUUUU";
    QTest::newRow("deepest differs") << "CUUUU"
                                     << "CPPPP";
    QTest::newRow("top sibling differs") << "CCCCU"
                                         << "CCCCP";
    QTest::newRow("middle sibling differs") << "UUCUU"
                                            << "UUPPP";
}

void tst_TamTreeWidget::updateParentItemsCheckState()
{
    QFETCH(QString, leaves);
    QFETCH(QString, ancestors);
    auto stateOf = [](QChar c) {
        return c == QLatin1Char('C') ? Qt::Checked : Qt::Unchecked;
    };

    m_tree->clear();
    // Ancestors start in the state opposite to the answer, as after a batch
    // of programmatic changes.
    QVector<QTreeWidgetItem *> chain;
    auto *top = new QTreeWidgetItem(QStringList(QStringLiteral("L0")));
    top->setCheckState(0, Qt::PartiallyChecked);
    m_tree->addTopLevelItem(top);
    chain.append(top);
    for (int level = 1; level < 5; ++level)
        chain.append(addItem(chain.last(), QStringLiteral("L%1").arg(level), Qt::PartiallyChecked));
    QTreeWidgetItem *deepest = addItem(chain.last(), QStringLiteral("leaf"), stateOf(leaves.at(0)));
    for (int level = 4; level >= 1; --level)
        addItem(chain.at(level - 1), QStringLiteral("side%1").arg(level),
                stateOf(leaves.at(5 - level)));

    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    m_tree->updateParentItemsCheckState(deepest);

    QString result;
    for (int level = 4; level >= 0; --level) {
        const Qt::CheckState state = chain.at(level)->checkState(0);
        result += state == Qt::Checked     ? QLatin1Char('C')
                  : state == Qt::Unchecked ? QLatin1Char('U')
                                           : QLatin1Char('P');
    }
    QCOMPARE(result, ancestors);
    QCOMPARE(spy.count(), 0);
}

void tst_TamTreeWidget::updateChildItemsCheckState()
{
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    QTreeWidgetItem *device = find(QStringLiteral("Dev1"));
    device->setCheckState(0, Qt::Checked);
    m_tree->updateChildItemsCheckState(device);
    QCOMPARE(states(m_tree), QStringLiteral("UUUUUCCCCUUUU"));
    m_tree->updateParentItemsCheckState(device->child(0));
    QCOMPARE(states(m_tree), QStringLiteral("PUUUUCCCCUUUU"));
    QCOMPARE(spy.count(), 0);
}

void tst_TamTreeWidget::collapsedSubtreeFollows()
{
    find(QStringLiteral("Dev0"))->setExpanded(false);
    find(QStringLiteral("Dev2"))->setExpanded(false);
    QSignalSpy spy(m_tree, &TamTreeWidget::signalItemsCheckStateChanged);
    clickCheckBox(m_tree, m_folder);
    QCOMPARE(states(m_tree), QStringLiteral("CCCCCCCCCCCCC"));
    QCOMPARE(spy.count(), 1);
    // The view still shows the rows it had, expanded as before.
    QVERIFY(!find(QStringLiteral("Dev0"))->isExpanded());
    QVERIFY(find(QStringLiteral("Dev1"))->isExpanded());
}

QTEST_MAIN(tst_TamTreeWidget)
#include "tst_TamTreeWidget.moc"
