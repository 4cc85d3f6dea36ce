#pragma once

#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

class ProgressWindow;
struct CertificateRecord;
struct ToolJob;
struct ToolResult;

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr,
                        const QString &cspBinDir = QStringLiteral("/opt/cprocsp/bin/amd64/"));
    ~MainWindow() override;

    // True when the CSP is installed: the file cryptcp exists in cspBinDir.
    bool TestCryptopro();
    // The key-store names of the reader listing; empties comboBox_fd for the caller to fill.
    QStringList searchTokens();
    // Loads the saved form into formData and the fields of the request and documents tabs.
    void data_Read();
    // Copies those fields into formData and saves it. A failed save is shown in a box; false then.
    bool date_Set();
    // Validates the request form; appends one line per fault to `messages`, true when none.
    bool ErrorsInspection(QString &messages);

protected:
    // Not while a run is being waited for; asks about unsaved form fields first.
    void closeEvent(QCloseEvent *event) override;
    // On the first show only: warns of one's own certificates that are about to expire.
    void showEvent(QShowEvent *event) override;

private slots:
    void on_pushButton_quit_clicked();
    void on_pushButton_req_clicked();
    void on_lineEdit_SN_textChanged(const QString &text);
    void on_lineEdit_G_textChanged(const QString &text);
    void on_pushButton_keys_clicked();
    void on_pushButton_delkey_clicked();
    void on_pushButton_infile_clicked();
    void on_pushButton_copykey_clicked();
    void on_checkBox_fiz_clicked();
    void on_lineEdit_CN_textChanged(const QString &text);

    // Signing, encrypting, checking and recovering documents (src/signing/).
    void on_pushButton_crypt_clicked();
    void on_pushButton_verifile_clicked();
    void on_pushButton_clicked();
    void on_checkBox_crypt_toggled(bool checked);

    // The application and the power of attorney (src/documents/).
    void on_pushButton_apply_clicked();
    void on_pushButton_trast_clicked();

    // The CSP installer (src/installer/).
    void on_pushButton_cryptopro_clicked();

    // Certificates: the table, installing certificates and CRLs, the certificate dialog.
    void on_pushButton_sysser_clicked();
    void on_pushButton_usercer_clicked();
    void on_pushButton_cerkeys_clicked();
    void on_pushButton_rootkey_clicked();
    void on_pushButton_CRL_clicked();
    void on_pushButton_seakeys_clicked();
    void on_tableWidgetCert_doubleClicked(const QModelIndex &index);
    void on_lineEdit_certfilter_textChanged(const QString &text);
    void on_pushButton_allcerts_clicked();

    // The CSP's licence (src/installer/).
    void on_pushButton_license_clicked();

    // The system check (src/systemcheck/).
    void on_pushButton_syscheck_clicked();

private:
    // The two certificate listings of the table (uRoot, then uMy), and filling the table from
    // their results in that order; a listing that did not end gets its box instead of rows.
    // Gives the certificates the table now shows.
    QList<ToolJob> certificateListings() const;
    QList<CertificateRecord> fillCertificateTable(const QList<ToolResult> &listings);
    // The container listing, and filling the list "Контейнеры:" from its result.
    ToolJob containerListing() const;
    void showContainers(const ToolResult &listing);
    // Start-up: the table's listings and the container listing run together; the reader listing,
    // which polls the same readers and tokens, after them.
    void listEverything();
    // Documents: saves the form, asks for a directory and writes the application or the power
    // of attorney there.
    void writeDocument(bool powerOfAttorney);
    // The file dialog of the certificate buttons: parent this window, start in homeDir.
    QString openCertificateFile(const QString &caption, const QString &filter);
    // The box about the personal certificates with a key that expire within 30 days, if any:
    // the text is made from the certificates read at start-up.
    void warnOfExpiringCertificates();
    // Asked before a container copy is stopped half-way (Отмена).
    bool askToStopCopy();
    // No container chosen: says so, then reads the container list again.
    void askForContainer(const QString &text = QStringLiteral("Не выбран контейнер"));
    // On a close other than "Выход": asks whether to save the request and documents fields when
    // they differ from what was saved, and saves them on Yes. False when the user chose to stay
    // (Отмена, Escape).
    bool offerToSaveForm();

    std::unique_ptr<Ui::MainWindow> ui;
    QMap<QString, QString> formData;
    // What the form file holds as far as this window knows: what was read at start-up or saved
    // last. The values count as saved only once a save succeeded.
    QMap<QString, QString> savedFormData;
    QString cspBinDir;
    QString homeDir;
    std::unique_ptr<ProgressWindow> progress;
    bool shownBefore = false;
    QString expiryWarning;
};
