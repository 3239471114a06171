#pragma once

#include <QFrame>
#include <QStringList>

class QLabel;

// A strip along the bottom of the form that says another workstation changed accounts
// which the form does not follow by itself, and offers to reload them. It
// asks nothing and blocks nothing: the administrator may finish an edit
// first (a save over a changed account is refused anyway).
class RemoteChangeBar : public QFrame
{
    Q_OBJECT
public:
    explicit RemoteChangeBar(QWidget *parent = nullptr);

    // Adds names to those announced so far and shows the bar.
    void addChangedAccounts(const QStringList &userNames);

signals:
    void reloadRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QLabel *m_text = nullptr;
    QStringList m_names;
};
