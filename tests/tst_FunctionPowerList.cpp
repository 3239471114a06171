#include <QListWidget>
#include <QStyledItemDelegate>
#include <QtTest>

#include "FunctionPowerList.h"
#include "SystemWorker.h"
#include "TestSupport.h"

#include <memory>

using orlun_userMgr::FunctionPowerList;

namespace {

// The eleven functions every configuration offers, in display order.
const QStringList baseTexts = {"Video Preview",      "Video Playback", "Capture",    "Local Record",
                               "Download Recording", "Turning Plan",   "Local View", "Talk/Speak",
                               "Audio Monitor",      "PTZ Control",    "Log"};
const QList<int> baseIds = {0x1,     0x2,  0x4,      0x8,  0x800000, 0x20000,
                            0x40000, 0x10, 0x400000, 0x20, 0x80};
const int baseMask = [] {
    int mask = 0;
    for (int id : baseIds)
        mask |= id;
    return mask;
}();
const int alarmMask = 0x400 | 0x800 | 0x200000;

// Exposes the delegate's own option set-up so the test clicks where the view
// itself looks for the check box.
class OptionProbe : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::initStyleOption;
};

// One letter per row, "All" first: C checked, P partially checked, U unchecked.
QString checkStates(const QListWidget *list)
{
    QString states;
    for (int row = 0; row < list->count(); ++row) {
        switch (list->item(row)->checkState()) {
        case Qt::Checked:
            states += QLatin1Char('C');
            break;
        case Qt::PartiallyChecked:
            states += QLatin1Char('P');
            break;
        case Qt::Unchecked:
            states += QLatin1Char('U');
            break;
        }
    }
    return states;
}

QStringList rowTexts(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QList<int> rowIds(const QListWidget *list)
{
    QList<int> ids;
    for (int row = 0; row < list->count(); ++row)
        ids << list->item(row)->data(Qt::UserRole).toInt();
    return ids;
}

// "All" followed by `functionStates` for the function rows.
QString states(QChar all, const QString &functionStates)
{
    return QString(all) + functionStates;
}

} // namespace

class tst_FunctionPowerList : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FunctionPowerList> makePanel(int project)
    {
        orlun_worker::SystemWorker::_instance().setUserProject(project);
        auto panel = std::make_unique<FunctionPowerList>(nullptr);
        m_list = panel->findChild<QListWidget *>(QStringLiteral("listWidget"));
        return panel;
    }

    void showPanel(FunctionPowerList *panel)
    {
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
    }

    QRect checkIndicatorRect(int row)
    {
        QListWidgetItem *item = m_list->item(row);
        m_list->scrollToItem(item);
        QStyleOptionViewItem opt;
        opt.initFrom(m_list);
        opt.widget = m_list;
        opt.rect = m_list->visualItemRect(item);
        opt.font = m_list->font();
        opt.fontMetrics = QFontMetrics(opt.font);
        OptionProbe probe;
        probe.initStyleOption(&opt, m_list->model()->index(row, 0));
        return m_list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, m_list);
    }

    void clickCheckBox(int row)
    {
        const QRect rect = checkIndicatorRect(row);
        QVERIFY(rect.isValid());
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    QListWidget *m_list = nullptr;

private slots:
    void init()
    {
        resetHostForTest();
        m_list = nullptr;
    }

    void freshPanel_data()
    {
        QTest::addColumn<int>("project");
        QTest::newRow("no options") << 0;
        QTest::newRow("alarm") << 0x4;
        QTest::newRow("everything") << 0xFFF;
    }

    void freshPanel()
    {
        QFETCH(int, project);
        auto panel = makePanel(project);
        QVERIFY(m_list);
        QCOMPARE(panel->getMask(), -1);
        QVERIFY(!checkStates(m_list).contains(QLatin1Char('U')));
        QVERIFY(!checkStates(m_list).contains(QLatin1Char('P')));
        for (int row = 0; row < m_list->count(); ++row) {
            const QListWidgetItem *item = m_list->item(row);
            QCOMPARE(item->type(), int(QListWidgetItem::Type));
            QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
            QVERIFY(!(item->flags() & Qt::ItemIsSelectable));
            QVERIFY(item->flags() & Qt::ItemIsEnabled);
        }
    }

    // Each optional row appears for exactly its configuration bit, in its
    // fixed place among the others.
    void offeredRows_data()
    {
        QTest::addColumn<int>("project");
        QTest::addColumn<QStringList>("optionalTexts");
        QTest::addColumn<QList<int>>("optionalIds");

        QTest::newRow("none") << 0 << QStringList() << QList<int>();
        QTest::newRow("temperature 0x1")
            << 0x1 << QStringList{"Temperature Measure"} << QList<int>{0x8000};
        QTest::newRow("attendance 0x2")
            << 0x2 << QStringList{"Attendance Management"} << QList<int>{0x200};
        QTest::newRow("alarm 0x4") << 0x4 << QStringList{"Alarm Center", "Alarm Configure", "E-Map"}
                                   << QList<int>{0x400, 0x800, 0x200000};
        QTest::newRow("data chart 0x8") << 0x8 << QStringList{"Data Chart"} << QList<int>{0x4000};
        QTest::newRow("tv 0x10") << 0x10 << QStringList{"TV"} << QList<int>{0x40};
        QTest::newRow("person 0x20")
            << 0x20 << QStringList{"Person Management"} << QList<int>{0x100};
        QTest::newRow("access 0x100")
            << 0x100 << QStringList{"Access Control"} << QList<int>{0x2000};
        QTest::newRow("parking 0x200") << 0x200 << QStringList{"Parking"} << QList<int>{0x1000};
        QTest::newRow("plate 0x400")
            << 0x400 << QStringList{"License Plate Recognition"} << QList<int>{0x80000};
        QTest::newRow("face 0x800")
            << 0x800 << QStringList{"Face Recognition"} << QList<int>{0x100000};
        QTest::newRow("bits of no row")
            << (0x40 | 0x80 | 0x1000 | 0x40000000) << QStringList() << QList<int>();
        QTest::newRow("alarm between attendance and parking")
            << (0x200 | 0x4 | 0x2)
            << QStringList{"Attendance Management", "Alarm Center", "Alarm Configure", "E-Map",
                           "Parking"}
            << QList<int>{0x200, 0x400, 0x800, 0x200000, 0x1000};
        QTest::newRow("everything")
            << 0xFFF
            << QStringList{"TV",
                           "Person Management",
                           "Attendance Management",
                           "Alarm Center",
                           "Alarm Configure",
                           "E-Map",
                           "Parking",
                           "Access Control",
                           "Data Chart",
                           "Temperature Measure",
                           "License Plate Recognition",
                           "Face Recognition"}
            << QList<int>{0x40,   0x100,  0x200,  0x400,  0x800,   0x200000,
                          0x1000, 0x2000, 0x4000, 0x8000, 0x80000, 0x100000};
    }

    void offeredRows()
    {
        QFETCH(int, project);
        QFETCH(QStringList, optionalTexts);
        QFETCH(QList<int>, optionalIds);
        const auto panel = makePanel(project);
        QCOMPARE(rowTexts(m_list), QStringList{"All"} + baseTexts + optionalTexts);
        QCOMPARE(rowIds(m_list), QList<int>{-1} + baseIds + optionalIds);
    }

    void rowsKeepTheirConfiguration()
    {
        auto panel = makePanel(0x4);
        orlun_worker::SystemWorker::_instance().setUserProject(0);
        panel->setMask(0x3);
        QCOMPARE(m_list->count(), 15);
        QCOMPARE(m_list->item(14)->text(), QStringLiteral("E-Map"));
    }

    void setMask_data()
    {
        QTest::addColumn<int>("project");
        QTest::addColumn<int>("startMask");
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("expectedStates");
        QTest::addColumn<int>("expectedMask");

        QTest::newRow("preview and playback")
            << 0 << -1 << 0x3 << states('P', "CCUUUUUUUUU") << 0x3;
        QTest::newRow("log only") << 0 << -1 << 0x80 << states('P', "UUUUUUUUUUC") << 0x80;
        QTest::newRow("rows apart in bit order")
            << 0 << 0 << (0x800000 | 0x10) << states('P', "UUUUCUUCUUU") << (0x800000 | 0x10);
        QTest::newRow("every offered row, no options")
            << 0 << 0 << baseMask << states('C', "CCCCCCCCCCC") << -1;
        QTest::newRow("every offered row, alarm")
            << 0x4 << 0x3 << (baseMask | alarmMask) << states('C', "CCCCCCCCCCCCCC") << -1;
        QTest::newRow("base rows only, alarm offered")
            << 0x4 << -1 << baseMask << states('P', "CCCCCCCCCCCUUU") << baseMask;
        QTest::newRow("e-map only")
            << 0x4 << -1 << 0x200000 << states('P', "UUUUUUUUUUUUUC") << 0x200000;
        QTest::newRow("bit of no row") << 0 << -1 << 0x10000 << states('U', "UUUUUUUUUUU") << 0;
        QTest::newRow("bits above every row from partial")
            << 0 << 0x3 << 0x7F000000 << states('U', "UUUUUUUUUUU") << 0;
        QTest::newRow("bits of rows not offered are dropped")
            << 0 << -1 << (0x1 | 0x40 | 0x400 | 0x100000) << states('P', "CUUUUUUUUUU") << 0x1;
        QTest::newRow("rows not offered add to all offered")
            << 0 << 0x3 << (baseMask | 0x400 | 0x10000) << states('C', "CCCCCCCCCCC") << -1;
        QTest::newRow("sign bit with preview")
            << 0 << -1 << int(0x80000001u) << states('P', "CUUUUUUUUUU") << 0x1;
        QTest::newRow("partial to other partial")
            << 0 << 0x3 << 0x4 << states('P', "UUCUUUUUUUU") << 0x4;
        QTest::newRow("zero from partial") << 0 << 0x3 << 0 << states('U', "UUUUUUUUUUU") << 0;
        QTest::newRow("zero from all") << 0x4 << -1 << 0 << states('U', "UUUUUUUUUUUUUU") << 0;
        QTest::newRow("all from partial") << 0 << 0x3 << -1 << states('C', "CCCCCCCCCCC") << -1;
        QTest::newRow("all from none") << 0x4 << 0 << -1 << states('C', "CCCCCCCCCCCCCC") << -1;
    }

    void setMask()
    {
        QFETCH(int, project);
        QFETCH(int, startMask);
        QFETCH(int, mask);
        QFETCH(QString, expectedStates);
        QFETCH(int, expectedMask);

        auto panel = makePanel(project);
        panel->setMask(startMask);
        QCOMPARE(panel->getMask(), startMask);
        panel->setMask(mask);
        QCOMPARE(checkStates(m_list), expectedStates);
        QCOMPARE(panel->getMask(), expectedMask);
    }

    void setMaskZeroWhenNoneChecked()
    {
        auto panel = makePanel(0);
        panel->setMask(0);
        int changed = 0;
        const auto counter =
            connect(m_list, &QListWidget::itemChanged, this, [&changed] { ++changed; });
        panel->setMask(0);
        QCOMPARE(changed, 0);
        QCOMPARE(checkStates(m_list), states('U', "UUUUUUUUUUU"));
        QCOMPARE(panel->getMask(), 0);
        // The counter does see changes: "All" and the eleven rows.
        panel->setMask(-1);
        QCOMPARE(changed, 12);
        disconnect(counter);
    }

    // Makes sure the click helper hits the check box and nothing else: a click
    // on the row's text leaves it alone, a click on the box toggles it.
    void clickLandsOnCheckBox()
    {
        auto panel = makePanel(0);
        showPanel(panel.get());
        const QRect rowRect = m_list->visualItemRect(m_list->item(1));
        const QRect box = checkIndicatorRect(1);
        QVERIFY(rowRect.contains(box));
        QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(box.right() + 40, box.center().y()));
        QCOMPARE(m_list->item(1)->checkState(), Qt::Checked);
        clickCheckBox(1);
        QCOMPARE(m_list->item(1)->checkState(), Qt::Unchecked);
        clickCheckBox(1);
        QCOMPARE(m_list->item(1)->checkState(), Qt::Checked);
    }

    void click_data()
    {
        QTest::addColumn<int>("project");
        QTest::addColumn<int>("startMask");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("expectedStates");
        QTest::addColumn<int>("expectedMask");

        QTest::newRow("uncheck preview from all")
            << 0 << -1 << 1 << states('P', "UCCCCCCCCCC") << (baseMask & ~0x1);
        QTest::newRow("check the last unchecked row")
            << 0 << (baseMask & ~0x80) << 11 << states('C', "CCCCCCCCCCC") << -1;
        QTest::newRow("check the last unchecked row, alarm")
            << 0x4 << (baseMask | 0x400 | 0x200000) << 13 << states('C', "CCCCCCCCCCCCCC") << -1;
        QTest::newRow("uncheck the only checked row")
            << 0 << 0x1 << 1 << states('U', "UUUUUUUUUUU") << 0;
        QTest::newRow("check a row when none is")
            << 0x4 << 0 << 14 << states('P', "UUUUUUUUUUUUUC") << 0x200000;
        QTest::newRow("partial all becomes checked")
            << 0 << 0x3 << 0 << states('C', "CCCCCCCCCCC") << -1;
        QTest::newRow("checked all clears every row")
            << 0x4 << -1 << 0 << states('U', "UUUUUUUUUUUUUU") << 0;
        QTest::newRow("unchecked all checks every row")
            << 0 << 0 << 0 << states('C', "CCCCCCCCCCC") << -1;
    }

    void click()
    {
        QFETCH(int, project);
        QFETCH(int, startMask);
        QFETCH(int, row);
        QFETCH(QString, expectedStates);
        QFETCH(int, expectedMask);

        auto panel = makePanel(project);
        showPanel(panel.get());
        panel->setMask(startMask);
        clickCheckBox(row);
        QCOMPARE(checkStates(m_list), expectedStates);
        QCOMPARE(panel->getMask(), expectedMask);
    }

    void notEditable_data()
    {
        QTest::addColumn<int>("startMask");
        QTest::addColumn<QString>("startStates");
        QTest::newRow("all") << -1 << states('C', "CCCCCCCCCCCCCC");
        QTest::newRow("none") << 0 << states('U', "UUUUUUUUUUUUUU");
        QTest::newRow("partial") << (0x3 | 0x800) << states('P', "CCUUUUUUUUUUCU");
    }

    void notEditable()
    {
        QFETCH(int, startMask);
        QFETCH(QString, startStates);

        auto panel = makePanel(0x4);
        showPanel(panel.get());
        panel->setMask(startMask);
        panel->setEditable(false);
        QCOMPARE(checkStates(m_list), startStates);
        QCOMPARE(panel->getMask(), startMask);

        for (int row : {0, 1, 11, 13}) {
            clickCheckBox(row);
            QCOMPARE(checkStates(m_list), startStates);
        }
        for (int row = 0; row < m_list->count(); ++row) {
            QVERIFY(!(m_list->item(row)->flags() & Qt::ItemIsUserCheckable));
            QVERIFY(m_list->item(row)->flags() & Qt::ItemIsEnabled);
        }

        panel->setMask(0x2);
        QCOMPARE(checkStates(m_list), states('P', "UCUUUUUUUUUUUU"));
        QCOMPARE(panel->getMask(), 0x2);
        panel->setMask(-1);
        QCOMPARE(checkStates(m_list), states('C', "CCCCCCCCCCCCCC"));
    }

    void editableAgain_data()
    {
        QTest::addColumn<int>("startMask");
        QTest::addColumn<QString>("startStates");
        QTest::newRow("all") << -1 << states('C', "CCCCCCCCCCC");
        QTest::newRow("none") << 0 << states('U', "UUUUUUUUUUU");
        QTest::newRow("preview and playback") << 0x3 << states('P', "CCUUUUUUUUU");
        QTest::newRow("log only") << 0x80 << states('P', "UUUUUUUUUUC");
        QTest::newRow("all but log") << (baseMask & ~0x80) << states('P', "CCCCCCCCCCU");
    }

    void editableAgain()
    {
        QFETCH(int, startMask);
        QFETCH(QString, startStates);

        auto panel = makePanel(0);
        showPanel(panel.get());
        panel->setMask(startMask);
        panel->setEditable(false);
        QCOMPARE(checkStates(m_list), startStates);
        panel->setEditable(true);
        QCOMPARE(checkStates(m_list), startStates);
        QCOMPARE(panel->getMask(), startMask);
        panel->setEditable(true);
        QCOMPARE(checkStates(m_list), startStates);

        // The boxes answer the mouse again.
        const Qt::CheckState before = m_list->item(1)->checkState();
        clickCheckBox(1);
        QVERIFY(m_list->item(1)->checkState() != before);
    }
};

QTEST_MAIN(tst_FunctionPowerList)
#include "tst_FunctionPowerList.moc"
