// The copyright and licence notices of Parlo and of every library it ships
// with, as the copyright companion shows them: a short notice of our own for
// each, and where the system keeps them, the library's full copyright file
// and the full text of its licence.
#pragma once

#include <QList>
#include <QString>

namespace CopyrightNotices
{

struct Notice {
    QString name; // as listed
    QString version; // of the copy in use; empty when it cannot be told
    QString role; // what it does in Parlo
    QString holders;
    QString licence; // its name, with the SPDX identifier
    QString homepage;
    QString copyrightFile; // the distribution's copyright file of the library
    QString licenceFile; // the full licence text
};

// Parlo first, then the libraries in the order the reader uses them.
QList<Notice> all();

// The notice as rich text: our summary, then the copyright file and the
// licence text when they can be read (files larger than a few megabytes are
// not shown).
QString html(const Notice &notice);

} // namespace CopyrightNotices
