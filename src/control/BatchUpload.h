#pragma once

#include <QString>

// Hands a single file to the external secure transfer tool hvsftp.exe: a two-line command
// script ("cd" into the month folder, "put -u" the file) written into the host product's
// folder, and the tool started on it without waiting. The tool does the transfer; nothing
// here talks to the server.
class BatchUpload
{
public:
    // The month folder path without its leading "/" characters (at most three of them), as
    // the tool's "cd" takes it.
    static QString targetFolder(const QString &monthFolderPath);

    // The script's two commands, each line ending in CR LF.
    static QString script(const QString &targetFolder, const QString &localPath);

    // The tool's command line; every value is enclosed in double quotes, with the quotes and
    // backslashes inside escaped by the Windows rules.
    static QString commandLine(const QString &userId, const QString &password,
                               const QString &scriptPath, const QString &siteName);

    // A fresh script file name in the host product's folder.
    static QString newScriptPath(const QString &hostFolder);

    // Writes the script, followed by one more CR LF, into a new file (replacing any of that
    // name) in the system's 8-bit code page. False when the file cannot be written.
    static bool writeScript(const QString &scriptPath, const QString &script);

    // Writes the script for the local file and the month folder of the shared state, starts
    // the tool with the shared login data and tells the user. A script that cannot be written
    // or a tool that cannot be started is reported instead.
    static void run(const QString &localPath);
};
