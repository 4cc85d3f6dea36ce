#include "csp/csperrors.h"

#include "csp/toolrunner.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

QList<CspErrors::Code> buildTable()
{
    // Codes of the CryptoAPI and PC/SC layers of the CSP, then cryptcp's own.
    return {
        {0x80090016, QStringLiteral("NTE_BAD_KEYSET"),
         QStringLiteral("контейнер закрытого ключа не найден: ключевой носитель не вставлен или "
                        "выбран другой контейнер."),
         QStringLiteral("вставьте носитель с этим контейнером или выберите другой контейнер.")},
        {0x8009000f, QStringLiteral("NTE_EXISTS"),
         QStringLiteral("контейнер с таким именем уже существует."),
         QStringLiteral("выберите другое имя контейнера или удалите существующий.")},
        {0x80090010, QStringLiteral("NTE_PERM"),
         QStringLiteral("доступ к ключу или носителю запрещён."),
         QStringLiteral("проверьте права на носитель и контейнер; носитель может быть защищён от "
                        "записи.")},
        {0x8009000d, QStringLiteral("NTE_NO_KEY"),
         QStringLiteral("в контейнере нет нужного ключа или сертификат не связан с закрытым "
                        "ключом."),
         QStringLiteral("выберите сертификат, закрытый ключ которого есть на носителе, или "
                        "установите сертификат из контейнера.")},
        {0x80090017, QStringLiteral("NTE_PROV_TYPE_NOT_DEF"),
         QStringLiteral("тип поставщика не определён: КриптоПро CSP установлен не полностью."),
         QStringLiteral("переустановите КриптоПро CSP кнопкой «КриптоПро (amd64):».")},
        {0x8009001a, QStringLiteral("NTE_KEYSET_ENTRY_BAD"),
         QStringLiteral("контейнер на носителе не читается или повреждён."),
         QStringLiteral("извлеките носитель, вставьте его снова и повторите; если не помогает, "
                        "используйте копию контейнера.")},
        {0x8009001f, QStringLiteral("NTE_BAD_KEYSET_PARAM"),
         QStringLiteral("контейнер не обнаружен: его имя указано неверно."),
         QStringLiteral("обновите список контейнеров и выберите контейнер снова.")},
        {0x80090020, QStringLiteral("NTE_FAIL"), QStringLiteral("внутренняя ошибка КриптоПро CSP."),
         QStringLiteral("повторите операцию; если ошибка повторяется, переустановите КриптоПро "
                        "CSP.")},
        {0x8010001d, QStringLiteral("SCARD_E_NO_SERVICE"),
         QStringLiteral("служба смарт-карт pcscd не запущена."),
         QStringLiteral("запустите её командой «sudo systemctl start pcscd» и повторите.")},
        {0x8010002e, QStringLiteral("SCARD_E_NO_READERS_AVAILABLE"),
         QStringLiteral("не найдено ни одного считывателя."),
         QStringLiteral("подключите токен или считыватель и повторите.")},
        {0x8010000c, QStringLiteral("SCARD_E_NO_SMARTCARD"),
         QStringLiteral("в считывателе нет смарт-карты."),
         QStringLiteral("вставьте смарт-карту или токен и повторите.")},
        {0x80100069, QStringLiteral("SCARD_W_REMOVED_CARD"),
         QStringLiteral("смарт-карта или токен извлечены во время операции."),
         QStringLiteral("вставьте носитель и повторите операцию.")},
        {0x8010006b, QStringLiteral("SCARD_W_WRONG_CHV"), QStringLiteral("неверный PIN-код."),
         QStringLiteral("введите правильный PIN-код; после нескольких неверных попыток носитель "
                        "блокируется.")},
        {0x8010006c, QStringLiteral("SCARD_W_CHV_BLOCKED"),
         QStringLiteral("PIN-код заблокирован после нескольких неверных попыток."),
         QStringLiteral("разблокируйте носитель PIN-кодом администратора или обратитесь в "
                        "удостоверяющий центр.")},
        {0x800b0101, QStringLiteral("CERT_E_EXPIRED"),
         QStringLiteral("срок действия сертификата истёк или ещё не начался."),
         QStringLiteral("используйте действующий сертификат и проверьте дату и время "
                        "компьютера.")},
        {0x800b0109, QStringLiteral("CERT_E_UNTRUSTEDROOT"),
         QStringLiteral("корневой сертификат удостоверяющего центра не является доверенным."),
         QStringLiteral("установите корневой сертификат удостоверяющего центра в хранилище "
                        "корневых сертификатов.")},
        {0x800b010a, QStringLiteral("CERT_E_CHAINING"),
         QStringLiteral("цепочку сертификатов не удалось построить до корневого сертификата."),
         QStringLiteral("установите корневой и промежуточные сертификаты удостоверяющего "
                        "центра.")},
        {0x80092010, QStringLiteral("CRYPT_E_REVOKED"), QStringLiteral("сертификат отозван."),
         QStringLiteral("получите новый сертификат в удостоверяющем центре.")},
        {0x80092012, QStringLiteral("CRYPT_E_NO_REVOCATION_CHECK"),
         QStringLiteral("не удалось проверить, не отозван ли сертификат."),
         QStringLiteral("установите список отзыва (CRL) удостоверяющего центра.")},
        {0x80092013, QStringLiteral("CRYPT_E_REVOCATION_OFFLINE"),
         QStringLiteral("список отзыва недоступен, отзыв сертификата не проверен."),
         QStringLiteral("установите список отзыва (CRL) удостоверяющего центра или проверьте "
                        "подключение к сети.")},
        {0x80092004, QStringLiteral("CRYPT_E_NOT_FOUND"),
         QStringLiteral("нужный сертификат или ключ не найден."),
         QStringLiteral("проверьте, что выбранный сертификат установлен и связан с закрытым "
                        "ключом.")},
        {0x8009200c, QStringLiteral("CRYPT_E_NO_DECRYPT_CERT"),
         QStringLiteral("нет сертификата с закрытым ключом, которым можно расшифровать файл."),
         QStringLiteral("выберите сертификат того получателя, для которого файл зашифрован, и "
                        "вставьте носитель с его ключом.")},
        {0x80091004, QStringLiteral("CRYPT_E_INVALID_MSG_TYPE"),
         QStringLiteral("файл не является подписанным или зашифрованным сообщением нужного "
                        "вида."),
         QStringLiteral("выберите подписанный или зашифрованный файл.")},
        {0x80091007, QStringLiteral("CRYPT_E_HASH_VALUE"),
         QStringLiteral("документ изменён после подписания."),
         QStringLiteral("получите подлинный документ у того, кто его подписал.")},
        {0x8010002c, QStringLiteral("SCARD_E_NO_SUCH_CERTIFICATE"),
         QStringLiteral("запрошенного сертификата нет."),
         QStringLiteral("обновите список сертификатов и выберите сертификат снова.")},
        {0x80070002, QStringLiteral("ERROR_FILE_NOT_FOUND"), QStringLiteral("файл не найден."),
         QStringLiteral("проверьте путь к файлу и что файл на месте.")},
        {0x80070005, QStringLiteral("E_ACCESSDENIED"), QStringLiteral("отказано в доступе."),
         QStringLiteral("проверьте права на файл, каталог или носитель.")},
        {0x80029c4a, QString(),
         QStringLiteral("не установлен пакет curl из состава КриптоПро CSP."),
         QStringLiteral("установите пакет curl из дистрибутива КриптоПро CSP.")},
        {0x200001f9, QString(),
         QStringLiteral("подпись недействительна или её цепочка сертификатов не проверена."),
         QStringLiteral("установите сертификаты и список отзыва удостоверяющего центра; если не "
                        "помогает, документ или подпись повреждены.")},
        {0x20000133, QString(), QStringLiteral("цепочка сертификатов не проверена."),
         QStringLiteral("установите корневой и промежуточные сертификаты удостоверяющего центра "
                        "и его список отзыва.")},
        {0x2000012d, QString(), QStringLiteral("не найден сертификат для операции."),
         QStringLiteral("выберите сертификат в таблице сертификатов; он должен быть установлен "
                        "в хранилище личных сертификатов.")},
        {0x20000131, QString(), QStringLiteral("корневой сертификат не является доверенным."),
         QStringLiteral("установите корневой сертификат удостоверяющего центра в хранилище "
                        "корневых сертификатов.")},
    };
}

// The CSP's utilities, as opposed to the program's scripts.
bool isCspUtility(const QString &program)
{
    static const QStringList names = {QStringLiteral("csptest"), QStringLiteral("certmgr"),
                                      QStringLiteral("cryptcp"), QStringLiteral("cpconfig")};
    return names.contains(QFileInfo(program).fileName());
}

} // namespace

const QList<CspErrors::Code> &CspErrors::table()
{
    static const QList<Code> codes = buildTable();
    return codes;
}

const CspErrors::Code *CspErrors::find(quint32 value)
{
    for (const Code &code : table())
        if (code.value == value)
            return &code;
    return nullptr;
}

QList<quint32> CspErrors::codesIn(const QString &output)
{
    // The labelled forms are bare codes with a label in front, so one pattern finds them all;
    // a longer run of hexadecimal digits (a thumbprint, a serial number) is not a code.
    static const QRegularExpression pattern(
        QStringLiteral("(?<![0-9a-z])0x([0-9a-f]{8})(?![0-9a-z])"),
        QRegularExpression::CaseInsensitiveOption);
    QList<quint32> codes;
    auto match = pattern.globalMatch(output);
    while (match.hasNext()) {
        const quint32 value = match.next().captured(1).toUInt(nullptr, 16);
        if (!codes.contains(value))
            codes << value;
    }
    return codes;
}

QString CspErrors::codeText(quint32 value)
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QStringList CspErrors::explanation(quint32 value)
{
    QStringList lines;
    if (const Code *code = find(value))
        lines << QStringLiteral("Причина: ") + code->meaning
              << QStringLiteral("Что сделать: ") + code->step;
    lines << QStringLiteral("Код ошибки: ") + codeText(value);
    return lines;
}

CspErrors::Verdict CspErrors::verdict(const ToolResult &result, const QString &successSentence)
{
    QList<quint32> errors = codesIn(result.shownText());
    errors.removeAll(0);

    Verdict v;
    if (result.succeeded() && errors.isEmpty()) {
        v.lines << (successSentence.isEmpty() ? QStringLiteral("Готово.") : successSentence);
        return v;
    }
    v.failed = true;
    v.lines << QStringLiteral("Не выполнено.");
    if (result.outcome == ToolResult::Outcome::FailedToStart && isCspUtility(result.program) &&
        !QFileInfo::exists(result.program)) {
        v.lines << QStringLiteral("КриптоПро CSP не найден: нет файла ") + result.program +
                       QStringLiteral(". Установите КриптоПро CSP кнопкой «КриптоПро (amd64):».");
        return v;
    }
    for (quint32 code : errors)
        v.lines << explanation(code);
    if (errors.isEmpty() && result.ended())
        v.lines << QStringLiteral("Код завершения: ") + QString::number(result.exitCode);
    return v;
}

CspErrors::BoxText CspErrors::boxText(const ToolResult &result, const QString &successSentence,
                                      const QString &existing)
{
    const Verdict v = verdict(result, successSentence);
    QStringList lines = v.lines;
    if (!existing.isEmpty())
        lines << existing;
    return {lines.join(QLatin1Char('\n')), v.failed};
}
