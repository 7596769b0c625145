#pragma once

#include <QString>

// A client's contact name in its parts: split from the name as typed, composed back for lists,
// documents and searches.
struct ContactName
{
    QString title;
    QString first;
    QString middle;
    QString last;

    // "Mr. Alpha Beta Gamma": title, first, middle and last. A first word is a title only when it
    // is one of Dr, Miss, Mr, Ms, Mrs, Prof or Sir (with or without a full stop), so "Adrian" stays
    // a first name. One word is a first name, a title and one word a last name; of four or more words the second and third are the
    // middle name. Lower-case particles before the last word (van, de, von...) belong to the last
    // name. Runs of blanks count as one.
    static ContactName split(const QString &contact);

    // The parts that are not empty, one blank between them.
    QString compose() const;

    static bool isTitle(const QString &word);
};
