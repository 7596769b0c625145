// The record locks name their holder so that the refused user knows whom to ask.
#include "TempDataDir.h"
#include "engine/Exception.h"
#include "engine/RecordLocks.h"

#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestLocks : public QObject
{
    Q_OBJECT

private slots:
    void holderNamedFromAccount_data();
    void holderNamedFromAccount();
};

void TestLocks::holderNamedFromAccount_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::newRow("no USER in the environment") << QByteArray();
    QTest::newRow("USER says something else") << QByteArray("somebody-else");
}

void TestLocks::holderNamedFromAccount()
{
    QFETCH(QByteArray, user);
    const struct passwd *account = ::getpwuid(::geteuid());
    if (!account)
        QSKIP("this account has no entry in the system's user list");
    const QString expected = QString::fromLocal8Bit(account->pw_name);

    const QByteArray savedUser = qgetenv("USER");
    const QByteArray savedUserName = qgetenv("USERNAME");
    qunsetenv("USERNAME");
    if (user.isEmpty())
        qunsetenv("USER");
    else
        qputenv("USER", user);

    TempDataDir dir;
    auto mine = RecordLocks::open(dir.path());
    auto theirs = RecordLocks::open(dir.path());
    qputenv("USER", savedUser);
    if (!savedUserName.isEmpty())
        qputenv("USERNAME", savedUserName);

    QCOMPARE(mine->userName(), expected);
    mine->acquire(u"Quotes.DB"_s, 7);
    try {
        theirs->acquire(u"Quotes.DB"_s, 7);
        QFAIL("a record held by another copy was taken");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(u"unknown user"_s), qPrintable(error.message()));
    }
    mine->release(u"Quotes.DB"_s, 7);
}

QTEST_GUILESS_MAIN(TestLocks)
#include "tst_locks.moc"
