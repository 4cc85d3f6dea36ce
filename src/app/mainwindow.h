#pragma once

#include <QMainWindow>
#include <QMap>
#include <QString>

#include <memory>

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

private slots:
    void on_pushButton_quit_clicked();
    void on_pushButton_infile_clicked();

private:
    std::unique_ptr<Ui::MainWindow> ui;
    QMap<QString, QString> formData;
    QString cspBinDir;
    QString homeDir;
};
