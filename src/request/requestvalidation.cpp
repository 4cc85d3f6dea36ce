#include "request/requestvalidation.h"

#include "request/testinn.h"

#include <QCoreApplication>

QString snilsDigits(const QString &typed)
{
    QString digits;
    for (const QChar c : typed) {
        // A pasted number may bring a no-break space or a typographic hyphen with it.
        if (!c.isSpace() && c != QLatin1Char('-') && c != QChar(0x2010) && c != QChar(0x2011) &&
            c != QChar(0x2013))
            digits += c;
    }
    return digits;
}

bool inspectRequestForm(const RequestFormValues &v, QString &messages)
{
    bool passed = true;
    auto fail = [&passed](QString &list, const char *text) {
        list += QCoreApplication::translate("MainWindow", text);
        passed = false;
    };
    const bool organisation = !v.privatePerson;
    testinn check;

    if (v.sn.isEmpty())
        fail(messages, "Нет фамилии (SN)!\n");
    if (v.g.isEmpty())
        fail(messages, "Нет имени и отчества (G)!\n");
    if (v.i.isEmpty())
        fail(messages, "Нет инициаллов (I)!\n");
    if (v.t.isEmpty())
        fail(messages, "Нет должности (T)!\n");
    if (organisation && v.o.isEmpty())
        fail(messages, "Нет орнанизации (O)!\n");
    if (organisation && v.street.isEmpty())
        fail(messages, "Нет адреса (STREET)!\n");
    if (v.e.isEmpty())
        fail(messages, "Нет email (E)!\n");
    if (!v.e.contains(QLatin1Char('@')))
        fail(messages, "Некорректный email (E)!\n");
    // The check digits are looked at only once the length is right.
    const QString snils = snilsDigits(v.snils);
    if (snils.size() != 11 || !check.testsnils(snils))
        fail(messages, "Некорректный намер пенсионного страхования (SNILS)!\n");
    if (v.inn.size() <= 11 || !check.testinns(v.inn))
        fail(messages, "Некорректный ИНН (INN)! Ожидаются 12 цифр ИНН физического лица или "
                       "10 цифр ИНН организации с «00» впереди.\n");
    if (organisation && v.ogrn.size() <= 12)
        fail(messages, "Некорректный ОГРН (OGRN)!\n");
    if (v.l.isEmpty())
        fail(messages, "Нет города (L)!\n");
    if (!v.makeKey && v.container == QLatin1String("none"))
        fail(messages, "Нет доступныйх контейнеров!\n");

    return passed;
}
