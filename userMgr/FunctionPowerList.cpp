#include "FunctionPowerList.h"

#include <QListWidgetItem>

#include "SystemWorker.h"
#include "UserRights.h"

#include "ui_FunctionPowerList.h"

namespace orlun_userMgr {

namespace {
constexpr int AllFunctionsId = orlun_data::AllFunctions;
}

FunctionPowerList::FunctionPowerList(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::FunctionPowerList)
{
    ui->setupUi(this);
    // Screen readers name the list after its caption; item views take no
    // name from a buddy label.
    ui->label->setBuddy(ui->listWidget);
    ui->listWidget->setAccessibleName(ui->label->text());
    initItems();
    connect(ui->listWidget, &QListWidget::itemChanged, this, &FunctionPowerList::slotItemChanged);
}

FunctionPowerList::~FunctionPowerList()
{
    delete ui;
}

void FunctionPowerList::setEditable(bool editable)
{
    // Every flag change below is reported through itemChanged and runs the
    // handler, which spreads or recomputes "All" and so scrambles the marks;
    // the mask read now is shown again afterwards.
    const int mask = getMask();
    for (int row = 0; row < ui->listWidget->count(); ++row) {
        QListWidgetItem *item = ui->listWidget->item(row);
        item->setFlags(editable ? item->flags() | Qt::ItemIsUserCheckable
                                : item->flags() & ~Qt::ItemIsUserCheckable);
    }
    setMask(mask);
}

void FunctionPowerList::setMask(int mask)
{
    QListWidgetItem *all = ui->listWidget->item(0);
    // For the two extreme masks the handler carries "All" down to every row.
    if (mask == -1) {
        all->setCheckState(Qt::Checked);
        return;
    }
    if (mask == 0) {
        all->setCheckState(Qt::Unchecked);
        return;
    }

    disconnect(ui->listWidget, &QListWidget::itemChanged, this,
               &FunctionPowerList::slotItemChanged);
    const int count = ui->listWidget->count();
    for (int row = 1; row < count; ++row) {
        QListWidgetItem *item = ui->listWidget->item(row);
        const int id = item->data(Qt::UserRole).toInt();
        item->setCheckState((id & mask) != 0 ? Qt::Checked : Qt::Unchecked);
    }
    connect(ui->listWidget, &QListWidget::itemChanged, this, &FunctionPowerList::slotItemChanged);

    // Any function row makes the handler recompute "All" from the rows.
    if (count > 1)
        slotItemChanged(ui->listWidget->item(count - 1));
}

int FunctionPowerList::getMask()
{
    const Qt::CheckState allState = ui->listWidget->item(0)->checkState();
    if (allState == Qt::Checked)
        return -1;
    if (allState == Qt::Unchecked)
        return 0;

    int mask = 0;
    for (int row = 1; row < ui->listWidget->count(); ++row) {
        const QListWidgetItem *item = ui->listWidget->item(row);
        if (item->checkState() == Qt::Checked)
            mask |= item->data(Qt::UserRole).toInt();
    }
    return mask;
}

void FunctionPowerList::initItems()
{
    addFunctionItem(AllFunctionsId, QObject::tr("All"));
    addFunctionItem(orlun_data::FunctionVideoPreview, QObject::tr("Video Preview"));
    addFunctionItem(orlun_data::FunctionVideoPlayback, QObject::tr("Video Playback"));
    addFunctionItem(orlun_data::FunctionCapture, QObject::tr("Capture"));
    addFunctionItem(orlun_data::FunctionLocalRecord, QObject::tr("Local Record"));
    addFunctionItem(orlun_data::FunctionDownloadRecording, QObject::tr("Download Recording"));
    addFunctionItem(orlun_data::FunctionTurningPlan, QObject::tr("Turning Plan"));
    addFunctionItem(orlun_data::FunctionLocalView, QObject::tr("Local View"));
    addFunctionItem(orlun_data::FunctionTalkSpeak, QObject::tr("Talk/Speak"));
    addFunctionItem(orlun_data::FunctionAudioMonitor, QObject::tr("Audio Monitor"));
    addFunctionItem(orlun_data::FunctionPtzControl, QObject::tr("PTZ Control"));
    addFunctionItem(orlun_data::FunctionLog, QObject::tr("Log"));

    // The rows are never rebuilt: the configuration read here decides the
    // offered functions for the panel's whole life.
    using Worker = orlun_worker::SystemWorker;
    const int project = Worker::_instance().getUserProject();
    if (project & Worker::ProjectTvWall)
        addFunctionItem(orlun_data::FunctionTv, QObject::tr("TV"));
    if (project & Worker::ProjectPerson)
        addFunctionItem(orlun_data::FunctionPersonManagement, QObject::tr("Person Management"));
    if (project & Worker::ProjectAttendance)
        addFunctionItem(orlun_data::FunctionAttendanceManagement,
                        QObject::tr("Attendance Management"));
    if (project & Worker::ProjectAlarm) {
        addFunctionItem(orlun_data::FunctionAlarmCenter, QObject::tr("Alarm Center"));
        addFunctionItem(orlun_data::FunctionAlarmConfigure, QObject::tr("Alarm Configure"));
        addFunctionItem(orlun_data::FunctionEMap, QObject::tr("E-Map"));
    }
    if (project & Worker::ProjectParking)
        addFunctionItem(orlun_data::FunctionParking, QObject::tr("Parking"));
    if (project & Worker::ProjectAccessControl)
        addFunctionItem(orlun_data::FunctionAccessControl, QObject::tr("Access Control"));
    if (project & Worker::ProjectDataChart)
        addFunctionItem(orlun_data::FunctionDataChart, QObject::tr("Data Chart"));
    if (project & Worker::ProjectTemperature)
        addFunctionItem(orlun_data::FunctionTemperatureMeasure, QObject::tr("Temperature Measure"));
    if (project & Worker::ProjectPlateRecognition)
        addFunctionItem(orlun_data::FunctionPlateRecognition,
                        QObject::tr("License Plate Recognition"));
    if (project & Worker::ProjectFaceRecognition)
        addFunctionItem(orlun_data::FunctionFaceRecognition, QObject::tr("Face Recognition"));
}

void FunctionPowerList::addFunctionItem(int id, const QString &text)
{
    auto *item = new QListWidgetItem(text);
    item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsSelectable);
    item->setData(Qt::UserRole, id);
    item->setCheckState(Qt::Checked);
    ui->listWidget->addItem(item);
}

void FunctionPowerList::slotItemChanged(QListWidgetItem *item)
{
    // The check marks set here must not come back into this handler.
    disconnect(ui->listWidget, &QListWidget::itemChanged, this,
               &FunctionPowerList::slotItemChanged);

    QListWidgetItem *all = ui->listWidget->item(0);
    const int count = ui->listWidget->count();
    if (item->data(Qt::UserRole).toInt() == AllFunctionsId) {
        const Qt::CheckState state = all->checkState();
        for (int row = 1; row < count; ++row)
            ui->listWidget->item(row)->setCheckState(state);
    } else {
        int checked = 0;
        for (int row = 1; row < count; ++row) {
            if (ui->listWidget->item(row)->checkState() == Qt::Checked)
                ++checked;
        }
        if (checked == 0)
            all->setCheckState(Qt::Unchecked);
        else if (checked == count - 1)
            all->setCheckState(Qt::Checked);
        else
            all->setCheckState(Qt::PartiallyChecked);
    }

    connect(ui->listWidget, &QListWidget::itemChanged, this, &FunctionPowerList::slotItemChanged);
}

} // namespace orlun_userMgr
