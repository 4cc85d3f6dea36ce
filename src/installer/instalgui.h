#pragma once

#include <QDialog>

#include <memory>

QT_BEGIN_NAMESPACE
namespace Ui {
class Instalgui;
}
QT_END_NAMESPACE

// The installer: unpacks the downloaded archives of the CSP and its browser plug-in and starts
// the system's installation script in a terminal.
class Instalgui : public QDialog
{
    Q_OBJECT

public:
    explicit Instalgui(QWidget *parent = nullptr);
    ~Instalgui() override;

private slots:
    void on_pushButton_2_clicked();
    void on_pushButton_scp_clicked();
    void on_pushButton_cades_clicked();
    void on_pushButton_clicked();

private:
    // Asks for the archive of that name and unpacks it; true when it was unpacked.
    bool unpackArchive(const QString &caption, const QString &archiveName);

    std::unique_ptr<Ui::Instalgui> ui;
};
