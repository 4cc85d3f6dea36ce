#pragma once

#include "csp/toolrunner.h"

#include <QList>
#include <QString>

// The same operation run for several items one after another (a file each, a container each),
// and the one box the user sees at the end instead of a box per item.
namespace RunBatch {

struct Item
{
    // How the progress window and the summary name the item (a file's name, a container).
    QString name;
    // The run; its label is replaced by the batch's step text.
    ToolJob job;
    // Why the item is not run at all; it then counts as failed with this as its details.
    QString refusal;
    // The file the run writes, named in brackets after the item once the run succeeded and the
    // file is there.
    QString written;
    // What the details say of the item when its run succeeded ("Файл подписан.").
    QString successSentence;
};

// What the box shows: a line per item ("отчёт.pdf (отчёт.pdf.sig) — готово"), "Готово." or
// "Не выполнено: N из M.", and per item its name, its verdict and what its run printed.
struct Summary
{
    QString text;
    QString informativeText;
    QString detailedText;
    bool warn = false;
};

// The first line of the progress window for one of several items: "Подписание файла 2 из 5:
// отчёт.pdf".
QString stepLabel(const QString &step, int number, int count, const QString &name);

// Runs the items in turn under their step texts. Отмена during one run stops the batch: that
// item and every one after it are "отменено".
Summary run(const QString &step, const QList<Item> &items);

} // namespace RunBatch
