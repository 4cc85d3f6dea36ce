#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QQueue>

// Records every dialog the program would show and answers from queues instead of opening one.
// Installed for its lifetime. An empty queue answers: the default button (or OK), or cancel.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Message, OpenFile, OpenFiles, Directory };
    struct Shown
    {
        Kind kind;
        MessageSpec message; // for Kind::Message
        FileDialogSpec file; // for the two file dialogs
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override { Dialogs::install(nullptr); }

    QQueue<QMessageBox::StandardButton> buttons;
    QQueue<QString> files;         // answers to openFileName
    QQueue<QStringList> fileLists; // answers to openFileNames; an empty queue takes one of files
    QQueue<QString> directories;   // answers to existingDirectory
    QList<Shown> shown;
    // Message boxes are recorded, then shown for real (QtDialogs), for tests of real windows.
    bool realMessages = false;

    // The texts of all message boxes shown, in order.
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Shown &s : shown)
            if (s.kind == Kind::Message)
                texts << s.message.text;
        return texts;
    }

    QMessageBox::StandardButton message(const MessageSpec &spec) override
    {
        shown.append({Kind::Message, spec, {}});
        if (realMessages)
            return QtDialogs().message(spec);
        if (!buttons.isEmpty())
            return buttons.dequeue();
        return spec.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
    }
    QString openFileName(const FileDialogSpec &spec) override
    {
        shown.append({Kind::OpenFile, {}, spec});
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QStringList openFileNames(const FileDialogSpec &spec) override
    {
        shown.append({Kind::OpenFiles, {}, spec});
        if (!fileLists.isEmpty())
            return fileLists.dequeue();
        const QString file = files.isEmpty() ? QString() : files.dequeue();
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    QString existingDirectory(const FileDialogSpec &spec) override
    {
        shown.append({Kind::Directory, {}, spec});
        return directories.isEmpty() ? QString() : directories.dequeue();
    }
};
