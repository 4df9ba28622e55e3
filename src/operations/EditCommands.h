#pragma once

#include "course/EditorFolders.h"

#include <QString>

// Opens a local file in the browser, Notepad, WordPad or Word, as the lists' edit menus offer:
// builds the program's command line and starts it without waiting for it.
class EditCommands
{
public:
    enum class Program { Browser, Notepad, WordPad, Word };

    // browserPath: the browser program's DOS path.
    EditCommands(const QString &browserPath, EditorFolders folders);

    // The command line that opens the file; empty when the program's folder is not known.
    QString commandLine(Program program, const QString &filePath) const;
    // Starts the command line. A program whose folder is not known, or that cannot start, is
    // reported in a box.
    void open(Program program, const QString &filePath) const;

private:
    QString m_browserPath;
    EditorFolders m_folders;
};
