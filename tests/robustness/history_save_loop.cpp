// Saves two large history lists to the file given as the only argument, one
// after the other, until it is killed. Each save is announced on stdout before
// and after, so that the test knows whether a save was under way.
#include "SaveLoopLists.h"

#include "rules/LauncherSession.h"
#include "support/FakeDesktop.h"
#include "windows/HistoryList.h"

#include <QApplication>
#include <QListWidget>

#include <cstdio>

using namespace Nimbrel;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: history_save_loop <history file>\n");
        return 2;
    }
    FakeDesktop fake; // a failure must end the loop, not wait at a message box
    LauncherSession session;
    session.setHistoryFilePath(QString::fromLocal8Bit(argv[1]));

    QListWidget lists[2];
    for (int variant = 0; variant < 2; ++variant) {
        for (const QString &item : saveLoopItems(variant))
            lists[variant].addItem(makeHistoryItem(item));
    }
    for (unsigned long n = 0;; ++n) {
        std::printf("saving %lu\n", n);
        std::fflush(stdout);
        if (!saveHistoryList(session, lists[n % 2])) {
            std::fprintf(stderr, "%s\n", qUtf8Printable(fake.messages.value(0).text));
            return 1;
        }
        std::printf("saved %lu\n", n);
        std::fflush(stdout);
    }
}
