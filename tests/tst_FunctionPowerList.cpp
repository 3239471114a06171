#include <QListWidget>
#include <QtTest>

#include "FunctionPowerList.h"
#include "SystemWorker.h"
#include "TestSupport.h"

#include <memory>

using orlun_userMgr::FunctionPowerList;

namespace {

// The eleven rows every configuration offers as "text:id", then the optional
// rows, each after the configuration bit that offers it, in display order.
const QStringList kBaseRows =
    QString("Video Preview:1, Video Playback:2, Capture:4, Local Record:8, "
            "Download Recording:800000, Turning Plan:20000, Local View:40000, Talk/Speak:10, "
            "Audio Monitor:400000, PTZ Control:20, Log:80")
        .split(", ");
const QStringList kOptionalRows =
    QString("10 TV:40, 20 Person Management:100, 2 Attendance Management:200, "
            "4 Alarm Center:400, 4 Alarm Configure:800, 4 E-Map:200000, 200 Parking:1000, "
            "100 Access Control:2000, 8 Data Chart:4000, 1 Temperature Measure:8000, "
            "400 License Plate Recognition:80000, 800 Face Recognition:100000")
        .split(", ");
const int kBaseMask =
    0x1 | 0x2 | 0x4 | 0x8 | 0x800000 | 0x20000 | 0x40000 | 0x10 | 0x400000 | 0x20 | 0x80;
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

    // "All" then the function rows: C checked, P partially, U unchecked.
    QString checkStates() const
    {
        QString states;
        for (int row = 0; row < m_list->count(); ++row)
            states += "UPC"[m_list->item(row)->checkState()] + QString(row ? "" : "|");
        return states;
    }

    void clickCheckBox(int row) { ::clickCheckBox(m_list, m_list->item(row)); }

    QListWidget *m_list = nullptr;

private slots:
    void init() { resetHostForTest(); }

    // Each optional row appears for exactly its configuration bit, in its
    // fixed place among the others.
    void offeredRows_data()
    {
        QTest::addColumn<int>("project");
        for (int bit : {0, 0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x100, 0x200, 0x400, 0x800, 0xFFF})
            QTest::addRow("0x%x", bit) << bit;
        QTest::newRow("bits of no row") << (0x40 | 0x80 | 0x1000 | 0x40000000);
    }

    void offeredRows()
    {
        QFETCH(int, project);
        const auto panel = makePanel(project);
        QStringList expected = QStringList{"All:-1"} + kBaseRows;
        for (const QString &optional : kOptionalRows) {
            if (project & optional.section(' ', 0, 0).toInt(nullptr, 16))
                expected << optional.section(' ', 1);
        }
        QStringList rows;
        for (int row = 0; row < m_list->count(); ++row) {
            const int id = m_list->item(row)->data(Qt::UserRole).toInt();
            rows << m_list->item(row)->text() + ":" + (id < 0 ? "-1" : QString::number(id, 16));
        }
        QCOMPARE(rows, expected);
    }

    void setMaskAndClick_data()
    {
        QTest::addColumn<int>("project");
        QTest::addColumn<int>("startMask");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("click"); // the row clicked, -1 for none
        QTest::addColumn<QString>("states");
        QTest::addColumn<int>("readBack");

        const int alarm = 0x400 | 0x800 | 0x200000, all = kBaseMask;
        QTest::newRow("preview and playback") << 0 << -1 << 0x3 << -1 << "P|CCUUUUUUUUU" << 0x3;
        QTest::newRow("every offered row")
            << 0x4 << 0x3 << (all | alarm) << -1 << "C|CCCCCCCCCCCCCC" << -1;
        QTest::newRow("base rows only, alarm offered")
            << 0x4 << -1 << all << -1 << "P|CCCCCCCCCCCUUU" << all;
        QTest::newRow("bit of no row") << 0 << -1 << 0x10000 << -1 << "U|UUUUUUUUUUU" << 0;
        QTest::newRow("bits of rows not offered are dropped")
            << 0 << -1 << (0x1 | 0x40 | 0x400 | 0x100000) << -1 << "P|CUUUUUUUUUU" << 0x1;
        QTest::newRow("sign bit with preview")
            << 0 << -1 << int(0x80000001u) << -1 << "P|CUUUUUUUUUU" << 0x1;
        QTest::newRow("zero from partial") << 0 << 0x3 << 0 << -1 << "U|UUUUUUUUUUU" << 0;
        QTest::newRow("all from partial") << 0 << 0x3 << -1 << -1 << "C|CCCCCCCCCCC" << -1;
        QTest::newRow("uncheck preview from all")
            << 0 << -1 << -1 << 1 << "P|UCCCCCCCCCC" << (all & ~0x1);
        QTest::newRow("check the last unchecked row")
            << 0 << -1 << (all & ~0x80) << 11 << "C|CCCCCCCCCCC" << -1;
        // "All" is not tristate: a click on its partial state checks it.
        QTest::newRow("partial all becomes checked")
            << 0 << -1 << 0x3 << 0 << "C|CCCCCCCCCCC" << -1;
        QTest::newRow("checked all clears every row") << 0 << 0 << -1 << 0 << "U|UUUUUUUUUUU" << 0;
    }

    void setMaskAndClick()
    {
        QFETCH(int, project);
        QFETCH(int, startMask);
        QFETCH(int, mask);
        QFETCH(int, click);
        QFETCH(QString, states);
        QFETCH(int, readBack);

        auto panel = makePanel(project);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        QCOMPARE(panel->getMask(), -1);
        panel->setMask(startMask);
        QCOMPARE(panel->getMask(), startMask);
        const QString before = checkStates();
        int changes = 0;
        connect(m_list, &QListWidget::itemChanged, this, [&changes] { ++changes; });
        panel->setMask(mask);
        QCOMPARE(changes > 0, checkStates() != before);
        if (click >= 0)
            clickCheckBox(click);
        QCOMPARE(checkStates(), states);
        QCOMPARE(panel->getMask(), readBack);
    }

    void editable_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("states");
        QTest::newRow("all") << -1 << "C|CCCCCCCCCCCCCC";
        QTest::newRow("none") << 0 << "U|UUUUUUUUUUUUUU";
        QTest::newRow("partial") << (0x3 | 0x800) << "P|CCUUUUUUUUUUCU";
    }

    void editable()
    {
        QFETCH(int, mask);
        QFETCH(QString, states);

        auto panel = makePanel(0x4);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
        panel->setMask(mask);
        panel->setEditable(false);
        QCOMPARE(checkStates(), states);
        QCOMPARE(panel->getMask(), mask);
        for (int row : {0, 1, 13})
            clickCheckBox(row);
        QCOMPARE(checkStates(), states);
        // Code still shows masks on a locked list, whose boxes answer the
        // mouse again once it is editable.
        panel->setMask(0x2);
        QCOMPARE(checkStates(), QStringLiteral("P|UCUUUUUUUUUUUU"));
        panel->setEditable(true);
        clickCheckBox(0);
        QCOMPARE(panel->getMask(), -1);
    }
};

QTEST_MAIN(tst_FunctionPowerList)
#include "tst_FunctionPowerList.moc"
