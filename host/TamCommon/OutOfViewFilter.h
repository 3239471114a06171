#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

#include "HeldEvents.h"

class QAbstractItemView;
class QWidget;

namespace TAMCOMMON {

// Spares the item widgets of a view that lie outside its viewport the work
// that nobody can see. An item view keeps every item widget shown, wherever
// its row is; a change that touches them all (the view disabled or enabled
// with an ancestor, a style change) then reaches thousands of widgets, and
// painting walks all siblings for each of them.
//
// - Repaints: widgets out of view keep their state; they paint it when
//   scrolling brings them in.
// - Enabling: an item widget out of view (and without the focus) rests
//   disabled, so that disabling or enabling an ancestor passes over it; it
//   takes its ancestors' state again as it comes into view. Only the
//   widgets this filter disabled are enabled again.
//
// Made with the view as parent; works through event filters only, so any
// item view can have one.
class OutOfViewFilter : public QObject
{
public:
    explicit OutOfViewFilter(QAbstractItemView *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *widget);
    bool isOutOfView(QWidget *widget) const;
    void updateRest(QWidget *itemWidget);
    QWidget *itemWidgetOf(QObject *watched) const;
    static bool isPlaced(const QWidget *itemWidget);
    void replayPolish(QObject *itemWidget);

    // Kept apart from the view: the view's own members must not be reached
    // while it is being destroyed, which events to its children may be.
    QPointer<QWidget> m_viewport;
    QSet<QObject *> m_resting;
    QSet<QObject *> m_inView;
    QHash<QObject *, HeldEvents> m_unpolished;
    bool m_replaying = false;
};

} // namespace TAMCOMMON
