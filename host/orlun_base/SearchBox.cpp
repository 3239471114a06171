#include "SearchBox.h"

#include <QAction>
#include <QPainter>

namespace orlun_base {

namespace {

// A magnifier drawn at run time, so the box needs no image resource.
QIcon searchIcon(qreal dpr)
{
    const int side = 16;
    QPixmap pixmap(QSize(side, side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(QRgb(0x6C7586)), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(2, 2, 9, 9));
    painter.drawLine(QPointF(10, 10), QPointF(14, 14));
    return QIcon(pixmap);
}

const char *const SearchStyleSheet = R"(
QLineEdit {
    background-color: #0B1321;
    border: 1px solid #213147;
    border-radius: 2px;
    color: #ffffff;
    font-family: microsoft yahei;
    font-size: 13px;
    padding: 0 2px;
    selection-background-color: #2D80D4;
}
QLineEdit[focused="true"] {
    border: 1px solid #2D80D4;
}
)";

} // namespace

SearchBox::SearchBox(QWidget *parent)
    : TAMCOMMON::TamLineEdit(parent)
{
    setStyleSheet(QLatin1String(SearchStyleSheet));
    setPlaceholderText(tr("Search"));
    setClearButtonEnabled(true);

    QAction *searchAction = addAction(searchIcon(devicePixelRatioF()), QLineEdit::LeadingPosition);
    searchAction->setObjectName(QStringLiteral("searchAction"));

    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &text) { emit signalSearchByKeyword(text); });
}

SearchBox::~SearchBox() = default;

} // namespace orlun_base
