#include "RemoteChangeBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// Enough names to recognise the accounts without the bar growing wide.
constexpr int ShownNames = 5;

} // namespace

RemoteChangeBar::RemoteChangeBar(QWidget *parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("remoteChangeBar"));
    setStyleSheet(QStringLiteral("#remoteChangeBar { background: #213147; }"
                                 " QLabel { color: #FFFFFF; }"));
    auto *reload = new QPushButton(tr("Reload"), this);
    reload->setObjectName(QStringLiteral("reloadBt"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->addWidget(m_text, 1);
    layout->addWidget(reload);
    connect(reload, &QPushButton::clicked, this, [this] {
        m_names.clear();
        hide();
        emit reloadRequested();
    });
    // The form has its own layout; the bar lies over its bottom edge.
    if (parent)
        parent->installEventFilter(this);
    hide();
}

bool RemoteChangeBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}

void RemoteChangeBar::place()
{
    const QWidget *form = parentWidget();
    if (!form)
        return;
    const int height = sizeHint().height();
    setGeometry(0, form->height() - height, form->width(), height);
}

void RemoteChangeBar::addChangedAccounts(const QStringList &userNames)
{
    for (const QString &name : userNames) {
        if (!m_names.contains(name))
            m_names.append(name);
    }
    QStringList shown = m_names.mid(0, ShownNames);
    if (m_names.size() > ShownNames)
        shown.append(QStringLiteral("…"));
    m_text->setText(tr("Accounts were changed at another workstation: %1. Reload to see them.")
                        .arg(shown.join(QStringLiteral(", "))));
    place();
    raise();
    show();
}
