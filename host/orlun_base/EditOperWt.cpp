#include "EditOperWt.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHash>
#include <QPainter>
#include <QPair>
#include <QPushButton>

#include "BaseIcons.h"

namespace orlun_base {

namespace {

constexpr int ButtonSide = 18;
constexpr int IconSide = 14;

// Tables make one operation widget per row, tens of thousands at a time:
// each icon is looked up once per pixel ratio and then shared. The
// application's list-button images win; the library's own stand in for them.
QIcon buttonIcon(const QString &imageBase, BaseIcon fallback, qreal dpr)
{
    static QHash<QPair<QString, qreal>, QIcon> icons;
    const QPair<QString, qreal> key(imageBase, dpr);
    auto it = icons.find(key);
    if (it == icons.end()) {
        const QString normal = imageBase + QStringLiteral("_n.png");
        it = icons.insert(key, QFile::exists(normal) ? QIcon(normal) : baseIcon(fallback, dpr));
    }
    return it.value();
}

// A flat icon button that paints its own hover mark. Tables hold one pair
// per row, tens of thousands at a time: a style sheet per button (or per
// pair) would be parsed, polished and torn down for each of them.
class OperButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (underMouse() && isEnabled()) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0x2A, 0x3B, 0x57));
            painter.drawRoundedRect(QRectF(rect()), 2, 2);
        }
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pixmap = icon().pixmap(iconSize(), mode);
        const QSize logical = pixmap.size() / pixmap.devicePixelRatio();
        painter.drawPixmap(
            QRect(QPoint((width() - logical.width()) / 2, (height() - logical.height()) / 2),
                  logical),
            pixmap);
    }
};

// Made without a parent and set up before it joins its cell: under a style
// sheet, a button asks the style for its margins and icon size as it is made
// and as it changes, and the style sheet's rules are matched for each button
// that asks.
QPushButton *makeButton(const char *objectName, const QIcon &icon, const QString &toolTip)
{
    auto *bt = new OperButton;
    // Repaints the hover mark on entering and leaving.
    bt->setAttribute(Qt::WA_Hover);
    bt->setObjectName(QLatin1String(objectName));
    bt->setFlat(true);
    bt->setFixedSize(ButtonSide, ButtonSide);
    bt->setIcon(icon);
    bt->setIconSize(QSize(IconSide, IconSide));
    bt->setToolTip(toolTip);
    bt->setFocusPolicy(Qt::NoFocus);
    bt->setCursor(Qt::PointingHandCursor);
    return bt;
}

} // namespace

EditOperWt::EditOperWt(const QString &id, QWidget *parent)
    : TableOperWt(id, parent)
{}

EditOperWt::~EditOperWt() = default;

bool EditOperWt::event(QEvent *event)
{
    // Polished as it is about to be shown: children made now are polished
    // right after it and laid out before it shows.
    if (event->type() == QEvent::Polish)
        makeWantedButtons();
    return TableOperWt::event(event);
}

void EditOperWt::makeWantedButtons()
{
    const bool needEdit = m_editWanted && !m_editBt;
    const bool needDelete = m_deleteWanted && !m_deleteBt;
    if (!needEdit && !needDelete)
        return;
    if (!m_layout) {
        // Filled before it is set: a layout made on its widget asks for a
        // layout pass through the event queue.
        m_layout = new QHBoxLayout;
        m_layout->setContentsMargins(0, 0, 0, 0);
        m_layout->setSpacing(10);
        m_layout->addStretch(1);
        m_layout->addStretch(1);
        setLayout(m_layout);
    }
    const qreal dpr = devicePixelRatioF();
    if (needEdit) {
        m_editBt = makeButton(
            "editBt",
            buttonIcon(QStringLiteral(":/images/images/edit_listWt"), BaseIcon::Edit, dpr),
            tr("Edit"));
        // Before the delete button, whenever either came.
        m_layout->insertWidget(1, m_editBt);
        connect(m_editBt, &QPushButton::clicked, this,
                [this]() { emit signalEditBtClicked(this->id()); });
    }
    if (needDelete) {
        m_deleteBt = makeButton(
            "deleteBt",
            buttonIcon(QStringLiteral(":/images/images/delete_listWt"), BaseIcon::Delete, dpr),
            tr("Delete"));
        m_layout->insertWidget(m_layout->count() - 1, m_deleteBt);
        connect(m_deleteBt, &QPushButton::clicked, this,
                [this]() { emit signalDeleteBtClicked(this->id()); });
    }
}

void EditOperWt::setEditBtVisible(bool visible)
{
    m_editWanted = visible;
    if (m_editBt)
        m_editBt->setVisible(visible);
    else if (visible && testAttribute(Qt::WA_WState_Polished))
        makeWantedButtons();
}

void EditOperWt::setDeleteBtVisible(bool visible)
{
    m_deleteWanted = visible;
    if (m_deleteBt)
        m_deleteBt->setVisible(visible);
    else if (visible && testAttribute(Qt::WA_WState_Polished))
        makeWantedButtons();
}

} // namespace orlun_base
