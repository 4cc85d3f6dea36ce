#include "systemcheck/checks.h"

#include "certificates/certlisting.h"
#include "containers/keycontainers.h"
#include "csp/csperrors.h"
#include "installer/csplicense.h"

#include <QRegularExpression>

namespace SystemChecks {

namespace {

const QString cspCheck = QStringLiteral("КриптоПро CSP");
const QString licenseCheck = QStringLiteral("Лицензия");
const QString serviceCheck = QStringLiteral("Служба смарт-карт");
const QString readersCheck = QStringLiteral("Считыватели");
const QString containersCheck = QStringLiteral("Контейнеры");
const QString rootCheck = QStringLiteral("Корневой сертификат Минцифры");
const QString personalCheck = QStringLiteral("Личные сертификаты");
const QString xtermCheck = QStringLiteral("xterm");

const QString installCsp = QStringLiteral("Установите КриптоПро CSP кнопкой «КриптоПро (amd64):».");
const QString reinstallCsp =
    QStringLiteral("Переустановите КриптоПро CSP кнопкой «КриптоПро (amd64):».");
const QString notFound = QStringLiteral("не найдено ни одного");

// What a listing that did not come to an end says instead of a count.
Row notChecked(const QString &check, const ToolResult &run)
{
    return {check, QStringLiteral("не удалось проверить: ") + run.errorText,
            QStringLiteral("Повторите проверку; если ошибка не пройдёт, переустановите "
                           "КриптоПро CSP."),
            State::Warning};
}

// The result of a run that failed, with what the CSP's error code means and the code itself on
// lines of their own. The step to take stands in the row's own column.
QString withExplanation(const QString &result, const ToolResult &run)
{
    const CspErrors::Verdict verdict = CspErrors::verdict(run);
    if (!verdict.failed)
        return result;
    QStringList lines{result};
    for (const QString &line : verdict.lines.mid(1))
        if (!line.startsWith(QStringLiteral("Что сделать: ")))
            lines << line;
    return lines.join(QLatin1Char('\n'));
}

QString thumbprintKey(QString thumbprint)
{
    if (thumbprint.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        thumbprint.remove(0, 2);
    return thumbprint.toUpper();
}

} // namespace

QString bannerVersion(const QString &output)
{
    static const QRegularExpression release(QStringLiteral("Release Ver:\\s*(\\d+(?:\\.\\d+)*)"));
    return release.match(output).captured(1);
}

Row cspRow(bool installed, const ToolResult &banner, const QStringList &missingUtilities)
{
    if (!installed)
        return {cspCheck, QStringLiteral("не установлен"), installCsp, State::Failure};
    const QString partly = QStringLiteral("установлен не полностью");
    if (!banner.ended())
        return {cspCheck, partly + QStringLiteral(": ") + banner.errorText, reinstallCsp,
                State::Failure};
    if (CspErrors::verdict(banner).failed)
        return {cspCheck, withExplanation(partly, banner), reinstallCsp, State::Failure};
    if (!missingUtilities.isEmpty())
        return {cspCheck,
                partly + QStringLiteral(": нет ") + missingUtilities.join(QStringLiteral(", ")),
                reinstallCsp, State::Failure};
    const QString version = bannerVersion(banner.output);
    return {cspCheck,
            version.isEmpty() ? QStringLiteral("установлен")
                              : QStringLiteral("установлен, версия ") + version,
            {},
            State::Fine};
}

Row licenseRow(const ToolResult &view)
{
    if (!view.ended())
        return notChecked(licenseCheck, view);
    if (CspLicense::isExpired(view.output))
        return {licenseCheck, QStringLiteral("срок истёк или ещё не начался"),
                QStringLiteral("Введите серийный номер действующей лицензии: от имени root "
                               "cpconfig -license -set НОМЕР."),
                State::Warning};
    if (CspErrors::verdict(view).failed)
        return {licenseCheck, withExplanation(QStringLiteral("не удалось проверить"), view),
                reinstallCsp, State::Warning};
    const int days = CspLicense::daysLeft(view.output);
    return {licenseCheck,
            days < 0 ? QStringLiteral("действует")
                     : QStringLiteral("действует, осталось дней: %1").arg(days),
            {},
            State::Fine};
}

QString pcscSocketPath()
{
    const QString set = qEnvironmentVariable("PCSCLITE_CSOCK_NAME");
    return set.isEmpty() ? QStringLiteral("/run/pcscd/pcscd.comm") : set;
}

Row smartCardServiceRow(bool socketExists)
{
    if (socketExists)
        return {serviceCheck, QStringLiteral("работает"), {}, State::Fine};
    return {serviceCheck, QStringLiteral("не найдена"),
            QStringLiteral("Установите пакеты pcscd и libccid и включите службу: "
                           "systemctl enable --now pcscd.socket"),
            State::Failure};
}

Row readersRow(const ToolResult &listing)
{
    if (!listing.ended())
        return notChecked(readersCheck, listing);
    const QStringList readers = KeyContainers::readerNames(listing.output);
    if (readers.isEmpty())
        return {readersCheck, withExplanation(notFound, listing),
                QStringLiteral("Подключите токен или смарт-карту и проверьте службу смарт-карт."),
                State::Warning};
    return {readersCheck,
            QStringLiteral("найдено: %1 (%2)")
                .arg(readers.size())
                .arg(readers.join(QStringLiteral(", "))),
            {},
            State::Fine};
}

Row containersRow(const ToolResult &listing)
{
    if (!listing.ended())
        return notChecked(containersCheck, listing);
    const int count = KeyContainers::containerNames(listing.output).size();
    if (count == 0)
        return {containersCheck, withExplanation(notFound, listing),
                QStringLiteral("Подключите носитель с ключом или создайте ключ в «Генераторе "
                               "запросов»."),
                State::Warning};
    return {containersCheck, QStringLiteral("найдено: %1").arg(count), {}, State::Fine};
}

bool holdsHeadRoot(const QString &listing)
{
    // The head centre's root of 2022–2040, and the one it replaced.
    const QStringList roots{QStringLiteral("2F0CB09BE3550EF17EC4F29C90ABD18BFCAAD63A"),
                            QStringLiteral("8CAE88BBFD404A7A53630864F9033606E1DC45E2")};
    const QList<CertificateRecord> certificates =
        CertListing::parse(listing, QStringLiteral("uRoot"));
    for (const CertificateRecord &c : certificates)
        if (roots.contains(thumbprintKey(c.thumbprint)))
            return true;
    return false;
}

Row rootRow(const ToolResult &listing)
{
    if (!listing.ended())
        return notChecked(rootCheck, listing);
    if (holdsHeadRoot(listing.output))
        return {rootCheck, QStringLiteral("установлен"), {}, State::Fine};
    return {rootCheck, QStringLiteral("не установлен"),
            QStringLiteral("Скачайте корневой сертификат Минцифры и установите его кнопкой "
                           "«Установить корневой сертификат»."),
            State::Warning};
}

PersonalCounts personalCounts(const QString &listing, const QDate &today)
{
    PersonalCounts counts;
    for (const CertificateRecord &c : CertListing::parse(listing, QStringLiteral("uMy"), today)) {
        if (!c.container)
            continue;
        ++counts.withKey;
        const int days = CertListing::daysLeft(c.notAfter, today);
        // A date that cannot be read gives 0 whatever the day; it is neither.
        if (days == 0 && CertListing::daysLeft(c.notAfter, today.addDays(1)) == 0)
            continue;
        if (days < 0)
            ++counts.expired;
        else if (days <= 30)
            ++counts.expiring;
    }
    return counts;
}

Row personalRow(const ToolResult &listing, const QDate &today)
{
    if (!listing.ended())
        return notChecked(personalCheck, listing);
    const PersonalCounts counts = personalCounts(listing.output, today);
    if (counts.withKey == 0)
        return {personalCheck, QStringLiteral("нет сертификатов с закрытым ключом"),
                QStringLiteral("Установите свой сертификат кнопкой «Установить сертификаты "
                               "контейнера»."),
                State::Warning};
    const QString result =
        QStringLiteral(
            "с закрытым ключом: %1, из них истекают в ближайшие 30 дней: %2, истекли: %3")
            .arg(counts.withKey)
            .arg(counts.expiring)
            .arg(counts.expired);
    if (counts.expiring == 0 && counts.expired == 0)
        return {personalCheck, result, {}, State::Fine};
    return {personalCheck, result,
            QStringLiteral("Получите новый сертификат до конца срока действия старого."),
            State::Warning};
}

Row xtermRow(bool found)
{
    if (found)
        return {xtermCheck, QStringLiteral("установлен"), {}, State::Fine};
    return {xtermCheck, QStringLiteral("не установлен"),
            QStringLiteral("Установите пакет xterm: в нём установщик запускает свои сценарии."),
            State::Warning};
}

Row withoutCsp(const QString &check)
{
    return {check, QStringLiteral("нет КриптоПро CSP"),
            QStringLiteral("Сначала установите КриптоПро CSP."), State::Warning};
}

QStringList checkNames()
{
    return {cspCheck,        licenseCheck, serviceCheck,  readersCheck,
            containersCheck, rootCheck,    personalCheck, xtermCheck};
}

QString report(const QList<Row> &rows)
{
    QStringList lines;
    for (const Row &row : rows) {
        QStringList cells{row.check, row.result};
        if (!row.step.isEmpty())
            cells << row.step;
        lines << cells.join(QStringLiteral(" — ")).replace(QLatin1Char('\n'), QStringLiteral("; "));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace SystemChecks
