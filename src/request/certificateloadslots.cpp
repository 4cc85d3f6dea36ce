#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "request/subjectfields.h"
#include "ui_mainwindow.h"

#include <QHash>
#include <QLineEdit>

void MainWindow::on_pushButton_infile_clicked()
{
    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = tr("Выберите файл сертификата пользователя");
    spec.directory = homeDir;
    spec.filter = QStringLiteral("*.cer *.crt *.p7b");
    const QString path = Dialogs::current().openFileName(spec);
    if (path.isEmpty())
        return;

    ToolOptions options;
    options.label = QStringLiteral("Чтение сертификата…");
    const ToolResult result =
        ToolRunner::run(cspBinDir + QStringLiteral("certmgr"),
                        {QStringLiteral("-list"), QStringLiteral("-file"), path}, options);
    if (!result.ended()) {
        Dialogs::informResult(result);
        return;
    }

    const QString subject = SubjectFields::subjectFromListing(result.output);
    const SubjectFields::Fields fields = SubjectFields::split(subject);
    // Every field that is loaded from the certificate is set, to nothing when the certificate
    // lacks its attribute, so that no value of an earlier person stays beside the new ones.
    const QList<QPair<QString, QLineEdit *>> edits{
        {QStringLiteral("SN"), ui->lineEdit_SN},
        {QStringLiteral("G"), ui->lineEdit_G},
        {QStringLiteral("I"), ui->lineEdit_I},
        {QStringLiteral("T"), ui->lineEdit_T},
        {QStringLiteral("UnstructuredName"), ui->lineEdit_UN},
        {QStringLiteral("O"), ui->lineEdit_O},
        {QStringLiteral("E"), ui->lineEdit_E},
        {QStringLiteral("SNILS"), ui->lineEdit_Snils},
        {QStringLiteral("INN"), ui->lineEdit_INN},
        {QStringLiteral("OGRN"), ui->lineEdit_OGRN},
        {QStringLiteral("L"), ui->lineEdit_L},
    };
    if (fields.streetSet) {
        QHash<QString, QString> values;
        for (const auto &value : fields.values)
            values.insert(value.first, value.second);
        for (const auto &edit : edits)
            edit.second->setText(values.value(edit.first));
        ui->lineEdit_Street->setText(fields.street);
    }

    Dialogs::inform(subject);
}
