#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QAbstractItemView;
class QWidget;

namespace TAMCOMMON {

// Spares the item widgets of a view that lie outside its viewport the
// repaints that nobody can see. An item view keeps every item widget shown,
// wherever its row is; a change that touches them all (the view disabled or
// enabled with an ancestor, a style change) then marks thousands of widgets
// dirty, and painting walks all siblings for each of them. Widgets out of
// view keep their state; they paint it when scrolling brings them in.
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

    // The viewport, not the view: the filter still sees events while the
    // view is being destroyed, when it is no longer a QAbstractItemView.
    QPointer<QWidget> m_port;
};

} // namespace TAMCOMMON
