#pragma once

#include <QString>

// What the request form holds when it is validated, read off the widgets by the window.
struct RequestFormValues
{
    QString sn;
    QString g;
    QString i;
    QString t;
    QString o;
    QString street;
    QString e;
    QString snils;
    QString inn;
    QString ogrn;
    QString l;
    bool privatePerson = false; // checkBox_fiz
    bool makeKey = true;        // checkBox_makekey
    QString container;          // current text of comboBox_seakeys
};

// The SNILS as it is saved and sent: what was typed without the blanks and dashes people write
// it with ("112-233-445 95", "112 233 445 95").
QString snilsDigits(const QString &typed);

// Runs every rule of the request form in order, appends one line per failed rule to `messages`
// and returns true only when none failed. Each message goes through the main window's
// translation lookup.
bool inspectRequestForm(const RequestFormValues &values, QString &messages);
