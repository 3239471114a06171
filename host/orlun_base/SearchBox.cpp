#include "SearchBox.h"

#include <QAction>

#include "BaseIcons.h"

namespace orlun_base {

namespace {

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

    QAction *searchAction =
        addAction(baseIcon(BaseIcon::Search, devicePixelRatioF()), QLineEdit::LeadingPosition);
    searchAction->setObjectName(QStringLiteral("searchAction"));

    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &text) { emit signalSearchByKeyword(text); });
}

SearchBox::~SearchBox() = default;

} // namespace orlun_base
