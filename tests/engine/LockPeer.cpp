// Another copy of the program holding record locks on a server, for the tests of the server's
// locks between processes:
//
//   lock_peer KEYWORDS LOCK...   takes each LOCK ("Quotes.DB:7", "Lines.DB:*") on the server that
//                                the connection keywords name; prints "held", or the refusal and
//                                exits 3; lets go and exits when stdin closes
#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/ServerConnection.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int holdUntilStdinCloses(QCoreApplication &app, const QString &keywords, const QStringList &locks)
{
    const QSqlDatabase db =
        ServerConnection::fromText(keywords, u"the arguments"_s).open(u"peer"_s);
    const auto held = RecordLocks::openOnServer(db);
    for (const QString &lock : locks) {
        const QString table = lock.section(u':', 0, 0);
        const QString record = lock.section(u':', 1);
        try {
            held->acquire(table, record == u"*"_s ? RecordLocks::wholeTable : record.toLongLong());
        } catch (const EDatabaseError &error) {
            say(error.message());
            return 3;
        }
    }
    say(u"held"_s);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    app.exec();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        say(u"usage: lock_peer KEYWORDS LOCK..."_s);
        return 2;
    }
    int code = 0;
    try {
        code = holdUntilStdinCloses(app, args.at(1), args.mid(2));
    } catch (const Exception &error) {
        say(u"error: "_s + error.message());
        code = 4;
    }
    QSqlDatabase::removeDatabase(u"peer"_s);
    if (code == 0)
        say(u"released"_s);
    return code;
}
