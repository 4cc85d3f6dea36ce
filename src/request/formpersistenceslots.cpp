#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "request/formfile.h"
#include "request/requestvalidation.h"

#include "ui_mainwindow.h"

#include <QDir>

#include <algorithm>
#include <iterator>

namespace {

struct SavedField
{
    const char *key;
    QLineEdit *Ui::MainWindow::*edit;
};

// In the order the fields are copied when saving.
const SavedField savedFields[] = {
    {"SN", &Ui::MainWindow::lineEdit_SN},
    {"G", &Ui::MainWindow::lineEdit_G},
    {"I", &Ui::MainWindow::lineEdit_I},
    {"CN", &Ui::MainWindow::lineEdit_CN},
    {"OID.1.2.840.113549.1.9.2", &Ui::MainWindow::lineEdit_UN},
    {"T", &Ui::MainWindow::lineEdit_T},
    {"OU", &Ui::MainWindow::lineEdit_OU},
    {"O", &Ui::MainWindow::lineEdit_O},
    {"STREET", &Ui::MainWindow::lineEdit_Street},
    {"E", &Ui::MainWindow::lineEdit_E},
    {"SNILS", &Ui::MainWindow::lineEdit_Snils},
    {"INN", &Ui::MainWindow::lineEdit_INN},
    {"OGRN", &Ui::MainWindow::lineEdit_OGRN},
    {"L", &Ui::MainWindow::lineEdit_L},
    {"passportser", &Ui::MainWindow::lineEdit_pasp_ser},
    {"passport", &Ui::MainWindow::lineEdit_pasport},
    {"data", &Ui::MainWindow::lineEdit_data},
    {"issued", &Ui::MainWindow::lineEdit_issued},
    {"authorized", &Ui::MainWindow::lineEdit_authorized},
    {"authorfull", &Ui::MainWindow::lineEdit_author_full},
    {"authorT", &Ui::MainWindow::lineEdit_authorized_r},
    {"authorPs", &Ui::MainWindow::lineEdit_pasp_ser_aut},
    {"authorP", &Ui::MainWindow::lineEdit_paspaut},
    {"authorD", &Ui::MainWindow::lineEdit_pasdata},
    {"authorIs", &Ui::MainWindow::lineEdit_pasissued},
    {"post", &Ui::MainWindow::lineEdit_post},
    {"boss", &Ui::MainWindow::lineEdit_boss},
};

// The order the fields are filled when loading. CN comes before O because setting CN copies it
// into O in organisation mode; O is then set to its own saved value.
const char *const loadOrder[] = {
    "SN",       "CN",       "G",       "I",          "OID.1.2.840.113549.1.9.2",
    "T",        "OU",       "O",       "STREET",     "E",
    "SNILS",    "INN",      "OGRN",    "L",          "passportser",
    "passport", "data",     "issued",  "authorized", "authorfull",
    "authorT",  "authorPs", "authorP", "authorD",    "authorIs",
    "post",     "boss",
};

// What a field saves: its text, and the SNILS without the separators people type it with.
QString savedText(const Ui::MainWindow &ui, const SavedField &f)
{
    const QString text = (ui.*(f.edit))->text();
    return qstrcmp(f.key, "SNILS") == 0 ? snilsDigits(text) : text;
}

} // namespace

bool MainWindow::date_Set()
{
    for (const SavedField &f : savedFields)
        formData.insert(QString::fromLatin1(f.key), savedText(*ui, f));
    const QString path = formFilePath(homeDir);
    QString error;
    // Nothing is saved where it would not be the user's alone.
    if (makePrivateDirectory(formFileDir(homeDir), &error) &&
        saveFormFile(path, formData, &error)) {
        savedFormData = formData;
        return true;
    }
    MessageSpec box;
    box.parent = this;
    box.title = QStringLiteral("Velmora");
    box.icon = QMessageBox::Warning;
    box.text = QStringLiteral("Данные формы не сохранены:\n") + path;
    box.informativeText = error;
    Dialogs::current().message(box);
    return false;
}

bool MainWindow::offerToSaveForm()
{
    const bool changed =
        std::any_of(std::begin(savedFields), std::end(savedFields), [this](const SavedField &f) {
            return savedText(*ui, f) != savedFormData.value(QString::fromLatin1(f.key));
        });
    if (!changed)
        return true;
    MessageSpec question;
    question.parent = this;
    question.title = QStringLiteral("Velmora");
    question.text = QStringLiteral("Сохранить данные формы?");
    question.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    question.defaultButton = QMessageBox::Yes;
    question.escapeButton = QMessageBox::Cancel;
    switch (Dialogs::current().message(question)) {
    case QMessageBox::Yes:
        date_Set();
        return true;
    case QMessageBox::No:
        return true;
    default:
        // Отмена, Escape or the box's close button: the window stays, nothing saved or lost.
        return false;
    }
}

void MainWindow::data_Read()
{
    formData = loadFormFile(formFilePath(homeDir));
    savedFormData = formData;
    for (const char *key : loadOrder) {
        for (const SavedField &f : savedFields) {
            if (qstrcmp(f.key, key) == 0)
                ((*ui).*(f.edit))->setText(formData.value(QString::fromLatin1(key)));
        }
    }
}
