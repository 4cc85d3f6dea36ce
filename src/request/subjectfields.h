#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Taking a certificate's subject apart into the fields of the request form.
namespace SubjectFields {

// The subject from a certmgr listing: the value of its last subject line, read as the
// certificate table reads it; empty when there is none.
QString subjectFromListing(const QString &listing);

struct Fields
{
    // Attribute (SN, G, I, T, UnstructuredName, O, E, SNILS, INN, OGRN, L) and value, in the
    // order they occur in the subject; a later one overrides an earlier one of the same name.
    QList<QPair<QString, QString>> values;
    // False for a subject of at most one component: then nothing at all is taken from it.
    bool streetSet = false;
    QString street;
};

// Splits a subject at ", " and takes the recognised attributes. An address that itself held
// ", " was cut apart by the split; its pieces (components without "=") are put back together
// in the street.
Fields split(const QString &subject);

} // namespace SubjectFields
