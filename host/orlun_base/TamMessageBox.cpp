#include "TamMessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "BaseIcons.h"

namespace orlun_base {

namespace {

// Scripted answers and recorded questions of headless tests; process-wide like
// the message box itself.
struct TestSeam
{
    QList<int> answers;
    QList<TamMessageBox::Question> asked;
    bool testMode = false;
};

TestSeam &testSeam()
{
    static TestSeam seam;
    return seam;
}

// Buttons in their row, the agreeing and confirming ones first.
constexpr MessageBoxButton ButtonOrder[] = {Ok,      Yes, Save,   Retry, Ignore,
                                            Discard, No,  Cancel, Close};

const char *buttonObjectName(MessageBoxButton button)
{
    switch (button) {
    case Ok:
        return "okBt";
    case Cancel:
        return "cancelBt";
    case Close:
        return "closeBt";
    case Retry:
        return "retryBt";
    case Ignore:
        return "ignoreBt";
    case Abort:
        return "abortBt";
    case No:
        return "noBt";
    case Yes:
        return "yesBt";
    case Save:
        return "saveBt";
    case Discard:
        return "discardBt";
    case NoButton:
        break;
    }
    return "";
}

QString buttonText(MessageBoxButton button)
{
    switch (button) {
    case Ok:
        return TamMessageBox::tr("OK");
    case Cancel:
        return TamMessageBox::tr("Cancel");
    case Close:
        return TamMessageBox::tr("Close");
    case Retry:
        return TamMessageBox::tr("Retry");
    case Ignore:
        return TamMessageBox::tr("Ignore");
    case Abort:
        return TamMessageBox::tr("Abort");
    case No:
        return TamMessageBox::tr("No");
    case Yes:
        return TamMessageBox::tr("Yes");
    case Save:
        return TamMessageBox::tr("Save");
    case Discard:
        return TamMessageBox::tr("Discard");
    case NoButton:
        break;
    }
    return QString();
}

const char *const BoxStyleSheet = R"(
QDialog#tamMessageBox { background-color: #101928; border: 1px solid #213147; }
QWidget#titleBar { background-color: #172236; }
QLabel#titleLabel { background: transparent; color: #ffffff;
    font-family: microsoft yahei; font-size: 14px; }
QLabel#textLabel { background: transparent; color: #D0D6E0;
    font-family: microsoft yahei; font-size: 13px; }
QPushButton#titleCloseBt { border: none; background: transparent; }
QPushButton#titleCloseBt:hover { background-color: #E5484D; }
QPushButton[answerBt="true"] { min-width: 80px; min-height: 28px; padding: 0 12px;
    border: 1px solid #2D80D4; border-radius: 2px; background-color: transparent;
    color: #ffffff; font-family: microsoft yahei; font-size: 13px; }
QPushButton[answerBt="true"]:hover { background-color: #213147; }
QPushButton[answerBt="true"]:default { background-color: #2D80D4; }
)";

} // namespace

TamMessageBox::TamMessageBox(QWidget *parent, const QString &text, short buttons, bool warning)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("tamMessageBox"));
    setModal(true);
    setStyleSheet(QLatin1String(BoxStyleSheet));
    setMinimumWidth(380);

    // Until a button is pressed the answer is the one Esc or closing gives.
    m_buttons = buttons;
    m_answer = decliningAnswer(buttons);

    auto *rootLayout = new QVBoxLayout(this);
    rootLayout->setContentsMargins(1, 1, 1, 1);
    rootLayout->setSpacing(0);

    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("titleBar"));
    m_titleBar->setAttribute(Qt::WA_StyledBackground);
    m_titleBar->setFixedHeight(36);
    auto *titleLayout = new QHBoxLayout(m_titleBar);
    titleLayout->setContentsMargins(15, 0, 6, 0);
    titleLayout->setSpacing(6);
    m_titleLabel = new QLabel(m_titleBar);
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLayout->addWidget(m_titleLabel, 1);
    auto *titleCloseBt = new QPushButton(m_titleBar);
    titleCloseBt->setObjectName(QStringLiteral("titleCloseBt"));
    titleCloseBt->setFixedSize(28, 28);
    titleCloseBt->setFocusPolicy(Qt::NoFocus);
    titleCloseBt->setAutoDefault(false);
    titleCloseBt->setIcon(baseIcon(BaseIcon::Close, devicePixelRatioF()));
    titleCloseBt->setToolTip(tr("Close"));
    connect(titleCloseBt, &QPushButton::clicked, this, &QDialog::reject);
    titleLayout->addWidget(titleCloseBt);
    rootLayout->addWidget(m_titleBar);
    m_titleBar->installEventFilter(this);
    m_titleLabel->installEventFilter(this);

    auto *contentLayout = new QHBoxLayout;
    contentLayout->setContentsMargins(24, 24, 24, 16);
    contentLayout->setSpacing(16);
    auto *iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    iconLabel->setPixmap(
        basePixmap(warning ? BaseIcon::Warning : BaseIcon::Question, devicePixelRatioF()));
    iconLabel->setAlignment(Qt::AlignTop);
    contentLayout->addWidget(iconLabel, 0, Qt::AlignTop);
    auto *textLabel = new QLabel(this);
    textLabel->setObjectName(QStringLiteral("textLabel"));
    // Messages carry user and channel names; they must not be read as markup.
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setWordWrap(true);
    textLabel->setMinimumWidth(260);
    textLabel->setText(text);
    contentLayout->addWidget(textLabel, 1);
    rootLayout->addLayout(contentLayout, 1);

    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->setContentsMargins(24, 8, 24, 20);
    m_buttonLayout->setSpacing(10);
    m_buttonLayout->addStretch(1);
    rootLayout->addLayout(m_buttonLayout);

    for (MessageBoxButton button : ButtonOrder) {
        if (buttons & button)
            addAnswerButton(button);
    }

    setWindowTitle(warning ? tr("Warning") : tr("Notice"));
    m_titleLabel->setText(windowTitle());
}

TamMessageBox::~TamMessageBox() = default;

void TamMessageBox::addAnswerButton(MessageBoxButton button)
{
    auto *bt = new QPushButton(buttonText(button), this);
    bt->setObjectName(QLatin1String(buttonObjectName(button)));
    bt->setProperty("answerBt", true);
    bt->setCursor(Qt::PointingHandCursor);
    // Questions ask before deleting or discarding something, so a stray Enter
    // must keep the data: the declining button is the default and has the
    // focus. Confirming takes a click, or Tab to it and Enter or Space.
    // Without a declining button the first one is the default.
    const MessageBoxButton declining = decliningAnswer(m_buttons);
    const bool isDefault =
        declining != NoButton ? button == declining : m_buttonLayout->count() == 1;
    bt->setAutoDefault(true);
    if (isDefault) {
        bt->setDefault(true);
        bt->setFocus();
    }
    connect(bt, &QPushButton::clicked, this, [this, button]() {
        m_answer = button;
        accept();
    });
    m_buttonLayout->addWidget(bt);
}

void TamMessageBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange && m_titleLabel)
        m_titleLabel->setText(windowTitle());
    QDialog::changeEvent(event);
}

bool TamMessageBox::eventFilter(QObject *watched, QEvent *event)
{
    // The box has no system frame, so its title bar moves it.
    if (watched == m_titleBar || watched == m_titleLabel) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_dragging = true;
                m_dragOffset = mouse->globalPos() - frameGeometry().topLeft();
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (m_dragging) {
                move(static_cast<QMouseEvent *>(event)->globalPos() - m_dragOffset);
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

MessageBoxButton TamMessageBox::question(QWidget *parent, QString text, short buttons, bool warning)
{
    TestSeam &seam = testSeam();
    if (!seam.answers.isEmpty() || seam.testMode) {
        Question asked;
        asked.parent = parent;
        asked.text = text;
        asked.buttons = buttons;
        asked.warning = warning;
        seam.asked.append(asked);
        if (!seam.answers.isEmpty())
            return static_cast<MessageBoxButton>(seam.answers.takeFirst());
        return decliningAnswer(buttons);
    }

    // The parent may die while the box runs its own event loop (for example a
    // form closed by the client); the box dies with it then.
    QPointer<TamMessageBox> box = new TamMessageBox(parent, text, buttons, warning);
    box->exec();
    if (!box)
        return decliningAnswer(buttons);
    const MessageBoxButton answer = box->m_answer;
    box->deleteLater();
    return answer;
}

void TamMessageBox::setNextAnswers(const QList<int> &answers)
{
    testSeam().answers = answers;
}

void TamMessageBox::pushNextAnswer(int answer)
{
    testSeam().answers.append(answer);
}

void TamMessageBox::setTestMode(bool on)
{
    testSeam().testMode = on;
}

QList<TamMessageBox::Question> TamMessageBox::askedQuestions()
{
    return testSeam().asked;
}

void TamMessageBox::clearAskedQuestions()
{
    testSeam().asked.clear();
}

MessageBoxButton TamMessageBox::decliningAnswer(short buttons)
{
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return NoButton;
}

} // namespace orlun_base
