#include "reference/ContactName.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Blanks and control characters both ends; tabs inside a word stay part of it.
QString trimmedWord(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1) <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool isParticle(const QString &word)
{
    static const QStringList particles { u"van"_s, u"von"_s, u"der"_s, u"den"_s, u"de"_s,
        u"da"_s, u"di"_s, u"del"_s, u"della"_s, u"des"_s, u"du"_s, u"la"_s, u"le"_s, u"ter"_s,
        u"ten"_s, u"bin"_s, u"ibn"_s, u"al"_s, u"el"_s, u"dos"_s, u"das"_s, u"do"_s };
    return particles.contains(word); // as typed: "Van" may well be a given name
}

} // namespace

bool ContactName::isTitle(const QString &word)
{
    QString bare = word.toUpper();
    while (bare.endsWith(u'.'))
        bare.chop(1);
    static const QStringList titles { u"DR"_s, u"MISS"_s, u"MR"_s, u"MS"_s, u"MRS"_s, u"PROF"_s,
        u"SIR"_s };
    return titles.contains(bare);
}

ContactName ContactName::split(const QString &contact)
{
    ContactName name;
    QStringList words;
    for (const QString &piece : contact.split(u' ', Qt::SkipEmptyParts)) {
        const QString word = trimmedWord(piece);
        if (!word.isEmpty())
            words << word;
    }
    if (words.isEmpty())
        return name;
    if (words.size() > 1 && isTitle(words.first())) {
        name.title = words.takeFirst();
        // "Mr. Gamma" names the last name.
        if (words.size() == 1) {
            name.last = words.takeFirst();
            return name;
        }
    }
    name.first = words.takeFirst();
    if (words.isEmpty())
        return name;
    name.last = words.takeLast();
    // Particles just before the last word are part of it: "van der Berg".
    while (!words.isEmpty() && isParticle(words.last()))
        name.last = words.takeLast() + u' ' + name.last;
    if (words.isEmpty())
        return name;
    // Two middle words at most, as the name has always been split; the rest is the last name.
    const qsizetype middleWords = name.title.isEmpty() ? std::min<qsizetype>(2, words.size()) : 1;
    name.middle = words.mid(0, middleWords).join(u' ');
    const QStringList rest = words.mid(middleWords);
    if (!rest.isEmpty())
        name.last = rest.join(u' ') + u' ' + name.last;
    return name;
}

QString ContactName::compose() const
{
    QStringList parts;
    for (const QString &part : { title, first, middle, last }) {
        const QString word = part.trimmed();
        if (!word.isEmpty())
            parts << word;
    }
    return parts.join(u' ');
}
