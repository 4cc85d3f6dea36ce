#include "documents/documentcontent.h"

#include "request/mytranslit.h"

#include <QSaveFile>

namespace {

constexpr int keep = DocumentStep::keep;
constexpr int centre = Qt::AlignCenter;
constexpr int justify = Qt::AlignJustify;

QString ownerFileBase(const QString &surname, const QString &givenNames)
{
    QString owner = surname + givenNames;
    QString base;
    mytranslit().myTranslit(owner, base);
    return base;
}

} // namespace

QList<DocumentStep> applicationOpening()
{
    return {
        {true, centre, keep, 100, keep,
         QStringLiteral("Заявление на изготовление Квалифицированного Сертификата\n")},
        {true, justify, 30.0, 0, keep,
         QStringLiteral(
             "\nПросим создать ключ электронной подписи, ключ проверки электронной подписи, "
             "изготовить квалифицированный сертификат ключа проверки электронной подписи в "
             "соответствии с указанными в настоящем заявлении данными:\n")},
    };
}

QList<DocumentTableRow> applicationTable()
{
    return {
        {QStringLiteral("Фамилия Имя Отчество (CN)"), QStringLiteral("{SN} {G}")},
        {QStringLiteral("Фамилия (SN)"), QStringLiteral("{SN}")},
        {QStringLiteral("Имя и Отчество (G)"), QStringLiteral("{G}")},
        {QStringLiteral("СНИЛС (SNILS)"), QStringLiteral("{SNILS}")},
        {QStringLiteral("Должность (T)"), QStringLiteral("{T}")},
        {QStringLiteral("Наименование организации (O)"), QStringLiteral("{O}")},
        {QStringLiteral("Наименование подразделения"), QStringLiteral("{OU}")},
        {QStringLiteral("Тип Участника"), QString(), true},
        {QStringLiteral("Полномочия"), QString(), true},
        {QStringLiteral("Улица, Дом, Корпус, Помещение(Street adress)"),
         QStringLiteral("{STREET}")},
        {QStringLiteral("Город (L)"), QStringLiteral("{L}")},
        {QStringLiteral("Область (S)"), QStringLiteral("64 Саратовская область")},
        {QStringLiteral("Страна (С)"), QStringLiteral("RU")},
        {QStringLiteral("Адрес электронной почты (E)"), QStringLiteral("{E}")},
        {QStringLiteral("ИНН (INN)"), QStringLiteral("{INN}")},
        {QStringLiteral("ОГРН (OGRN)"), QStringLiteral("{OGRN}")},
        {QStringLiteral("Неструктурированное имя"), QStringLiteral("{OID.1.2.840.113549.1.9.2}")},
    };
}

QList<DocumentStep> applicationClosing()
{
    return {
        {true, justify, 0.0, keep, keep,
         QStringLiteral("\nНастоящим {CN} паспорт, серия и номер:\t{passportser}\t{passport} дата "
                        "выдачи: {data} кем выдан: {issued} соглашается с обработкой своих "
                        "персональных данных Удостоверяющим центром и признает, что персональные "
                        "данные, заносимые ИСПОЛНИТЕЛЕМ в квалифицированный Сертификат, владельцем "
                        "которого он является, относятся к общедоступным персональным "
                        "данным.\n\nУполномоченный представитель\t\t\t\t{authorized}\n")},
        {true, justify, 300.0, keep, 8.0, QStringLiteral("(подпись)\t\t(расшифровка подписи)\n")},
        {true, justify, 0.0, keep, 12.0,
         QStringLiteral(
             "\nНастоящим ЗАКАЗЧИК соглашается, что ИСПОЛНИТЕЛЬ не несет ответственности за "
             "действия владельцев информационных систем, приведших к невозможности использования "
             "квалифицированных сертификатов в этих информационных системах.\nНастоящим ЗАКАЗЧИК "
             "присоединяется к Регламенту Удостоверяющего центра, опубликованном на сайте "
             "Удостоверяющего центра, по адресу: ") +
             QLatin1String(regulationsAddress) + QStringLiteral(".\n\nЗАКАЗЧИК\n")},
        {true, keep, keep, keep, keep, QStringLiteral("\n{post}\t\t\t\t\t{boss}\n")},
        {true, keep, keep, keep, 8.0,
         QStringLiteral("(должность руководителя)\t\t\t(подпись)\t\t(расшифровка подписи)\n")},
        {false, keep, keep, keep, 12.0, QStringLiteral("\n\tМП\n")},
    };
}

QStringList powersList()
{
    return {
        QStringLiteral("вместо меня присутствовать при создании моего сертификата ключа проверки "
                       "электронной подписи (ЭП);"),
        QStringLiteral("получить ключевой носитель, содержащий:"),
        QStringLiteral("\t- ключевые файлы в контейнере;"),
        QStringLiteral("\t- сертификат ключа проверки ЭП;"),
        QStringLiteral("получить мой сертификат ключа проверки ЭП;"),
        QStringLiteral("расписаться за меня в сертификате ключа проверки ЭП  и актах;"),
        QStringLiteral("расписаться за меня в журнале поэкземплярного учёта СКЗИ."),
    };
}

QList<DocumentStep> powerOfAttorney()
{
    QString powers;
    for (const QString &line : powersList())
        powers += line + QLatin1Char('\n');
    return {
        {true, centre, keep, 100, keep, QStringLiteral("ДОВЕРЕННОСТЬ № ________\n\n")},
        {true, justify, 300.0, 0, keep,
         QStringLiteral("Дата выдачи\t\"____\" __________ 20___г.\nДействительна по\t\"____\" "
                        "__________ 20___г.\n\n")},
        {true, justify, 0.0, 100, keep, QStringLiteral("Я, {SN} {G}\n")},
        {true, centre, 0.0, 0, 8.0,
         QStringLiteral("(фамилия, имя, отчество Уполномоченного, ответственного лица)\n")},
        {true, justify, keep, 0, 12.0, QStringLiteral("{T} {O}\n")},
        {true, centre, keep, keep, 8.0, QStringLiteral("(должность название организации)\n")},
        {true, justify, keep, 0, 12.0,
         QStringLiteral("Паспорт\t{passportser}\t{passport}\n\tКем выдан:\t{issued}\n\tДата "
                        "выдачи:\t{data}\n")},
        {true, justify, keep, 100, 12.0, QStringLiteral("ДОВЕРЯЮ {authorfull} {authorT} {O}\n")},
        {false, keep, keep, 0, 8.0,
         QStringLiteral("\t(фамилия, имя, отчество, должность, название организации)\n")},
        {true, justify, keep, keep, 12.0,
         QStringLiteral("Паспорт\t{authorPs}\t{authorP}\n\tКем выдан:\t{authorIs}\n\tДата "
                        "выдачи:\t{authorD}\n")},
        {false, keep, keep, 100, 12.0, QStringLiteral("ВЫПОЛНИТЬ СЛЕДУЮЩЕЕ:\n")},
        {true, justify, 32.0, 0, 12.0, powers},
        {true, keep, 32.0, 100, 12.0, QStringLiteral("Без права передоверия.\n\n\n")},
        {true, justify, 0.0, 0, 12.0,
         QStringLiteral(
             "Подпись лица, получившего доверенность _____________________\t{authorized}")},
        {false, keep, keep, keep, 8.0,
         QStringLiteral("\n\t\t\t\t\t(подпись)\t\t(Фамилия, И.О.)\n")},
        {false, keep, keep, 0, 12.0,
         QStringLiteral("\nПодпись лица, выдавшего доверенность\t_____________________\t{SN} {I}")},
        {false, keep, keep, keep, 8.0,
         QStringLiteral("\n\t\t\t\t\t(подпись)\t\t(Фамилия, И.О.)\n")},
        {false, keep, keep, 0, 12.0,
         QStringLiteral("\nУДОСТОВЕРЯЮ\n\n{post} {O}\t\t___________________\t{boss}")},
        {false, keep, keep, keep, 8.0,
         QStringLiteral("\n(должность руководителя, название "
                        "организации)\t\t\t(подпись)\t\t(Фамилия, И.О.)\n")},
        {false, keep, keep, keep, 12.0,
         QStringLiteral("\n\n\t\t\t\t\tМП\n\n\t\t\t\t\"______\"__________________ 20___г.\n")},
    };
}

QString fillIn(const QString &text, const QMap<QString, QString> &form)
{
    QString filled;
    int from = 0;
    for (;;) {
        const int open = text.indexOf(QLatin1Char('{'), from);
        const int close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
        if (close < 0)
            return filled + text.mid(from);
        filled += text.mid(from, open - from) + form.value(text.mid(open + 1, close - open - 1));
        from = close + 1;
    }
}

QString applicationFileName(const QString &surname, const QString &givenNames)
{
    const QString base = ownerFileBase(surname, givenNames);
    return mytranslit::holdsLetter(base) ? base + QStringLiteral(".odt") : QString();
}

QString powerOfAttorneyFileName(const QString &surname, const QString &givenNames)
{
    const QString base = ownerFileBase(surname, givenNames);
    return mytranslit::holdsLetter(base) ? QStringLiteral("trast_") + base + QStringLiteral(".odt")
                                         : QString();
}

bool saveDocumentFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    bool saved = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A write cut short (a full disk, a file size limit) reports the bytes it wrote without an
    // error; writing the rest then gives the reason.
    for (qint64 done = 0; saved && done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        saved = written > 0;
        done += written;
    }
    // commit() renames even after a failed flush, so that is checked first; without commit()
    // the temporary file is removed and the old file stays.
    saved = saved && file.flush() && file.commit();
    if (!saved && error)
        *error = file.errorString();
    return saved;
}

QString applicationCreatedMessage(const QString &path)
{
    return QStringLiteral("Фаил заявки создан в:\n  ") + path + QStringLiteral("\n");
}

QString powerOfAttorneyCreatedMessage(const QString &path)
{
    return QStringLiteral("Фаил доверенности создан в:\n  ") + path + QStringLiteral("\n");
}

QString documentWriteFailedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось записать файл:\n  ") + path + QStringLiteral("\n") + reason;
}
