// A copy of the dictionary as a separate process, for what only a process of
// its own can show:
//   addhelper add <folder> <english> <kurdish> [--as-nobody]
//     runs the program's windows in <folder>, adds the pair through the
//     add-word window with every question answered OK, prints each message
//     box as "box <flags> <prompt>", and once the added notice is up prints
//     "added" and waits there until it is killed; a failed add prints
//     "failed" and ends. --as-nobody drops root first, so that a read-only
//     file is read-only for the helper too.
//   addhelper lock <database>
//     holds the database's write lock, as another program writing it would,
//     prints "locked" and waits until it is killed.
#include "dictionary/varin2.h"
#include "editing/editwindow.h"
#include "editing/texts.h"
#include "editing/varin4.h"
#include "components/wordstore.h"
#include "runtime/forms.h"
#include "startup/module1.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace {

int Lock(const char* path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    const QByteArray key = QByteArrayLiteral("PRAGMA key = '") + WordStore::kPassword + "';";
    sqlite3_exec(db, key.constData(), nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr) != SQLITE_OK)
        return 1;
    std::puts("locked");
    std::fflush(stdout);
    for (;;)
        ::pause();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "lock")
        return Lock(argv[2]);
    if (argc < 5 || QByteArray(argv[1]) != "add")
        return 2;
    if (argc > 5 && QByteArray(argv[5]) == "--as-nobody" && ::geteuid() == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return 3;
    }
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[2])))
        return 4;
    QApplication app(argc, argv);
    SetModalShower([](QWidget* w) { w->show(); });
    SetMsgBoxPresenter([](const MsgBoxCall& call) {
        std::printf("box %d %s\n", int(call.flags), call.prompt.simplified().toUtf8().constData());
        std::fflush(stdout);
        if (call.prompt.startsWith(Varin4Text::kAddedBefore)) {
            // The user reads the notice; the test kills us here.
            std::puts("added");
            std::fflush(stdout);
            for (;;)
                ::pause();
        }
        if (call.flags & kMbIconError) {
            std::puts("failed");
            std::fflush(stdout);
        }
        return kIdOk;
    });

    Varin2& v2 = forms().Varin2();
    v2.show();
    v2.Command6_Click();
    Varin4& w = forms().Varin4();
    w.Text2->setText(QString::fromUtf8(argv[3]));
    w.Text1->setText(QString::fromUtf8(argv[4]));
    w.Command2_Click();
    QTimer::singleShot(5000, &app, &QApplication::quit);
    app.exec();
    std::puts("done");
    std::fflush(stdout);
    return 0;
}
