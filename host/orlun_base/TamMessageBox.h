#pragma once

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>

class QHBoxLayout;
class QLabel;

namespace orlun_base {

// Answer buttons; a button set is the OR of some of them.
enum MessageBoxButton {
    NoButton = 0x0,
    Ok = 0x1,     // confirms
    Cancel = 0x2, // declines
    Close = 0x4,
    Retry = 0x8,
    Ignore = 0x10,
    Abort = 0x20,
    No = 0x40,       // does not agree
    Yes = 0x80,      // agrees
    Save = 0x100,    // keeps pending changes by saving them
    Discard = 0x200, // drops pending changes
};

// The client's modal message box.
class TamMessageBox : public QDialog
{
    Q_OBJECT
public:
    // A question as a test recorded it.
    struct Question
    {
        QPointer<QWidget> parent;
        QString text;
        short buttons = 0;
        bool warning = false;
    };

    // Modal question over parent with one button per flag of buttons. Returns
    // the chosen button; closing the box (Esc, window close) returns the
    // declining answer of the set (Cancel, else No, else NoButton).
    // warning shows the warning icon instead of the question icon.
    static MessageBoxButton question(QWidget *parent, QString text, short buttons, bool warning);

    // Test seams. While answers are queued, question() shows nothing, records
    // the question and returns the next answer. With test mode on and the
    // queue empty it records and returns the declining answer, so a forgotten
    // answer cannot hang a headless test.
    static void setNextAnswers(const QList<int> &answers);
    static void pushNextAnswer(int answer);
    static void setTestMode(bool on);
    static QList<Question> askedQuestions();
    static void clearAskedQuestions();

    static MessageBoxButton decliningAnswer(short buttons);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TamMessageBox(QWidget *parent, const QString &text, short buttons, bool warning);
    ~TamMessageBox() override;

    void addAnswerButton(MessageBoxButton button);

    MessageBoxButton m_answer = NoButton;
    short m_buttons = 0;
    QLabel *m_titleLabel = nullptr;
    QWidget *m_titleBar = nullptr;
    QHBoxLayout *m_buttonLayout = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace orlun_base
