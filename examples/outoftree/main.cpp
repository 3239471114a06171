// Opens an empty store, asks the module's entry for the user management form
// and saves a picture of it: proof that the installed package is usable.
#include <QApplication>
#include <QPixmap>
#include <QTextStream>

#include "BaseForm.h"
#include "DataStore.h"
#include "TamSingleton.h"
#include "UserMgrInit.h"

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: outoftree <screenshot.png>\n";
        return 2;
    }
    if (!orlun_data::DataStore::_instance().open(QStringLiteral(":memory:"))) {
        QTextStream(stderr) << orlun_data::DataStore::_instance().lastErrorText() << '\n';
        return 1;
    }

    using Entry = TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>;
    const std::unique_ptr<orlun_base::BaseForm> form(Entry::_instance().createUserMgrForm());
    form->resize(1280, 800);
    form->show();
    QApplication::processEvents();
    if (!form->grab().save(args.at(1))) {
        QTextStream(stderr) << "cannot write " << args.at(1) << '\n';
        return 1;
    }
    return 0;
}
