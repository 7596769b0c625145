#include "ReferenceTests.h"
#include "reference/ContactName.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Splitting a contact name into title, first, middle and last name, and composing it again.
class TestContactName : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
};

void TestContactName::split_data()
{
    QTest::addColumn<QString>("contact");
    QTest::addColumn<QStringList>("parts"); // title, first, middle, last
    QTest::addColumn<QString>("composed");
    const auto row = [](const char *name, const QString &contact, const QStringList &parts,
                         const QString &composed) {
        QTest::newRow(name) << contact << parts << composed;
    };
    row("title, first, middle, last", u"Mr. Alpha Beta Gamma"_s,
        { u"Mr."_s, u"Alpha"_s, u"Beta"_s, u"Gamma"_s }, u"Mr. Alpha Beta Gamma"_s);
    row("four words: two middle names", u"Alpha Beta Gamma Delta"_s,
        { {}, u"Alpha"_s, u"Beta Gamma"_s, u"Delta"_s }, u"Alpha Beta Gamma Delta"_s);
    row("five words: the rest is the last name", u"Alpha Beta Gamma Delta Epsilon"_s,
        { {}, u"Alpha"_s, u"Beta Gamma"_s, u"Delta Epsilon"_s },
        u"Alpha Beta Gamma Delta Epsilon"_s);
    row("one word is the first name", u"Alpha"_s, { {}, u"Alpha"_s, {}, {} }, u"Alpha"_s);
    row("title and two words: no middle name", u"Mrs. Alpha Gamma"_s,
        { u"Mrs."_s, u"Alpha"_s, {}, u"Gamma"_s }, u"Mrs. Alpha Gamma"_s);
    row("title and one word: the last name", u"Mr. Gamma"_s, { u"Mr."_s, {}, {}, u"Gamma"_s },
        u"Mr. Gamma"_s);
    row("a title alone is a word", u"Dr"_s, { {}, u"Dr"_s, {}, {} }, u"Dr"_s);
    row("title without full stop", u"dr Alpha Gamma"_s, { u"dr"_s, u"Alpha"_s, {}, u"Gamma"_s },
        u"dr Alpha Gamma"_s);
    row("a name containing a title's letters is a name", u"Adrian Smith"_s,
        { {}, u"Adrian"_s, {}, u"Smith"_s }, u"Adrian Smith"_s);
    row("Sir is a title", u"Sir Alpha Gamma"_s, { u"Sir"_s, u"Alpha"_s, {}, u"Gamma"_s },
        u"Sir Alpha Gamma"_s);
    row("particles belong to the last name", u"Ludwig van Beethoven"_s,
        { {}, u"Ludwig"_s, {}, u"van Beethoven"_s }, u"Ludwig van Beethoven"_s);
    row("several particles", u"Jan Pieter van der Berg"_s,
        { {}, u"Jan"_s, u"Pieter"_s, u"van der Berg"_s }, u"Jan Pieter van der Berg"_s);
    row("a capitalised particle is a name", u"Alpha Van Gamma"_s,
        { {}, u"Alpha"_s, u"Van"_s, u"Gamma"_s }, u"Alpha Van Gamma"_s);
    row("extra blanks count once", u"  Alpha    Beta   Gamma  "_s,
        { {}, u"Alpha"_s, u"Beta"_s, u"Gamma"_s }, u"Alpha Beta Gamma"_s);
    row("tabs and line ends trimmed", u"\tAlpha\t Gamma\r\n"_s, { {}, u"Alpha"_s, {}, u"Gamma"_s },
        u"Alpha Gamma"_s);
    row("empty", QString(), { {}, {}, {}, {} }, QString());
    row("blanks only", u"    "_s, { {}, {}, {}, {} }, QString());
    row("company-like name", u"Acme & Sons Pty Ltd"_s,
        { {}, u"Acme"_s, u"& Sons"_s, u"Pty Ltd"_s }, u"Acme & Sons Pty Ltd"_s);
}

void TestContactName::split()
{
    QFETCH(QString, contact);
    QFETCH(QStringList, parts);
    QFETCH(QString, composed);
    const ContactName name = ContactName::split(contact);
    QCOMPARE((QStringList { name.title, name.first, name.middle, name.last }), parts);
    QCOMPARE(name.compose(), composed);
    // Splitting what was composed gives the same parts again.
    const ContactName again = ContactName::split(name.compose());
    QCOMPARE((QStringList { again.title, again.first, again.middle, again.last }), parts);
}

int runContactNameTests(int argc, char **argv)
{
    TestContactName test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_contactname.moc"
