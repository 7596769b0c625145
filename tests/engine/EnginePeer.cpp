// A second copy of the program for the multi-process tests and the benchmark: acts on a test data
// directory by one command-line verb and reports each event as one line on stdout.
//
//   DIR add-customer ID NAME       insert and post a customer; prints "added <ms since epoch>"
//   DIR hold HEADID                edit the header; prints "held"; cancels when stdin closes
//   DIR edit-total HEADID VALUE    edit, set Total, post; prints the refusal and exits 3
//   DIR add-total HEADID AMOUNT N  N times: edit (waiting out others' locks), add, post
//   DIR churn SEED                 saves lines forever, each in one operation
#include "RecordValues.h"
#include "TestTables.h"
#include "engine/Exception.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QThread>

#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

enum ExitCode
{
    Done = 0,
    Usage = 2,
    Refused = 3,
    Failed = 4
};

void say(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void findHead(TableView &heads, double id)
{
    if (!heads.findKey({ id }))
        throw EDatabaseError(u"No header %1"_s.arg(id));
}

int addCustomer(TQVDatabase &db, double id, const QString &name)
{
    auto customers = openView(db, u"Cust.DB"_s);
    customers->append();
    setNumber(customers, u"Client_ID", id);
    setText(customers, u"Name", name);
    customers->post();
    say(u"added %1"_s.arg(QDateTime::currentMSecsSinceEpoch()));
    return Done;
}

int hold(QCoreApplication &app, TQVDatabase &db, double headId)
{
    auto heads = openView(db, u"Head.DB"_s);
    findHead(*heads, headId);
    heads->edit();
    say(u"held"_s);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            app.quit();
    });
    app.exec();
    heads->cancel();
    say(u"released"_s);
    return Done;
}

int editTotal(TQVDatabase &db, double headId, double value)
{
    auto heads = openView(db, u"Head.DB"_s);
    findHead(*heads, headId);
    try {
        heads->edit();
    } catch (const EDatabaseError &error) {
        say(error.message());
        return Refused;
    }
    setNumber(heads, u"Total", value);
    heads->post();
    say(u"posted"_s);
    return Done;
}

int addTotal(TQVDatabase &db, double headId, double amount, int count)
{
    auto heads = openView(db, u"Head.DB"_s);
    for (int i = 1; i <= count; ++i) {
        for (;;) {
            try {
                findHead(*heads, headId);
                heads->edit();
                break;
            } catch (const EDatabaseError &) {
                // Another copy holds the header: try again shortly, as a user would.
                QThread::msleep(1 + QRandomGenerator::global()->bounded(5));
            }
        }
        Field *total = heads->fieldByName(u"Total"_s);
        total->setAsFloat(total->asFloat() + amount);
        heads->post();
        say(u"added %1"_s.arg(i));
    }
    return Done;
}

// Each pass saves one line the way the data module does: the key counter issues its number and
// the header's total takes its charge, all in the line's one operation.
int churn(TQVDatabase &db, quint32 seed)
{
    QRandomGenerator random(seed);
    auto heads = openView(db, u"Head.DB"_s);
    auto keys = openView(db, u"Keys.DB"_s);
    auto lines = openView(db, u"Line.DB"_s);
    double headId = 1;
    lines->beforePost = [&](TableView &line) {
        keys->first();
        keys->edit();
        Field *current = keys->fieldByName(u"Current"_s);
        current->setAsFloat(current->asFloat() + 1);
        setNumber(line, u"ID", current->asFloat());
        keys->post();
    };
    lines->afterPost = [&](TableView &line) {
        findHead(*heads, headId);
        heads->edit();
        Field *total = heads->fieldByName(u"Total"_s);
        total->setAsFloat(total->asFloat() + number(line, u"Charge"));
        heads->post();
    };
    say(u"running"_s);
    for (qint64 saved = 1;; ++saved) {
        headId = 1 + random.bounded(3);
        lines->insert();
        setText(lines, u"No", u"H%1"_s.arg(headId));
        setNumber(lines, u"Charge", 1 + random.bounded(100));
        lines->post();
        say(QString::number(saved));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        say(u"usage: engine_peer DIR VERB ARGS..."_s);
        return Usage;
    }
    const QString verb = args.at(2);
    auto arg = [&args](int i) { return i < args.size() ? args.at(i) : QString(); };
    auto number = [&arg](int i) { return arg(i).toDouble(); };
    try {
        TQVDatabase db;
        connectTestDatabase(db, args.at(1));
        if (verb == u"add-customer"_s && args.size() == 5)
            return addCustomer(db, number(3), arg(4));
        if (verb == u"hold"_s && args.size() == 4)
            return hold(app, db, number(3));
        if (verb == u"edit-total"_s && args.size() == 5)
            return editTotal(db, number(3), number(4));
        if (verb == u"add-total"_s && args.size() == 6)
            return addTotal(db, number(3), number(4), arg(5).toInt());
        if (verb == u"churn"_s && args.size() == 4)
            return churn(db, arg(3).toUInt());
        say(u"unknown verb or arguments: "_s + args.mid(2).join(u' '));
        return Usage;
    } catch (const Exception &error) {
        say(u"error: "_s + error.message());
        return Failed;
    }
}
