#pragma once

#include <QDialog>
#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
namespace Ui {
class Dialog;
}
QT_END_NAMESPACE

// Shows the certmgr description of one certificate: an installed one, chosen by thumbprint and
// store, which can be saved or deleted; or the one in a key container, which can be installed.
class Dialog : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog(QWidget *parent = nullptr);
    ~Dialog() override;

    // Thumbprint mode offers saving and deleting; container mode offers installing.
    void pushvisibel(const bool &thumbprintMode);
    // Lists the certificate of the mode with certmgr and shows the listing.
    void labelText(const bool &thumbprintMode);
    // True once "Удалить сертификат" has deleted it (certmgr ended with 0): the table that
    // listed it is out of date.
    bool certificateDeleted() const { return deleted; }

    // The directory of the CSP utilities, with its trailing slash.
    QString binDir;
    // Container mode: the fully qualified container name.
    QString containerName;
    // Thumbprint mode: the store ("uMy", "uRoot") and the thumbprint of the certificate.
    QString storeName;
    QString thumbprint;

private slots:
    void on_pushButton_quit_clicked();
    void on_pushButton_inst_clicked();
    void on_pushButton_export_clicked();
    void on_pushButton_delcer_clicked();

private:
    std::unique_ptr<Ui::Dialog> ui;
    bool deleted = false;
};
