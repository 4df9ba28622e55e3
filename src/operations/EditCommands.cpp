#include "operations/EditCommands.h"

#include "platform/Launcher.h"
#include "platform/Ui.h"

using Platform::Ui;

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The file in double quotes. A Linux name may hold a quote, which no Windows name does: it is
// escaped, so that the program gets that file and not the one the name would read as.
QString quotedFile(const QString &filePath)
{
    return Platform::Launcher::quoteArgument(filePath);
}

// A program in a folder found in the registry: the folder may come with its opening quote.
QString programInFolder(const QString &folder, const QLatin1String program, const QString &filePath)
{
    QString line = (folder + program).trimmed() + QLatin1String("\" ") + quotedFile(filePath);
    if (!line.startsWith(QLatin1Char('"')))
        line.prepend(QLatin1Char('"'));
    return line;
}

} // namespace

EditCommands::EditCommands(const QString &browserPath, EditorFolders folders)
    : m_browserPath(browserPath)
    , m_folders(std::move(folders))
{}

QString EditCommands::commandLine(Program program, const QString &filePath) const
{
    switch (program) {
    case Program::Browser:
        return quoted(m_browserPath.trimmed()) + QLatin1Char(' ') + quotedFile(filePath);
    case Program::Notepad:
        return QLatin1String("notepad.exe ") + quotedFile(filePath);
    case Program::WordPad:
        if (m_folders.wordPad.isEmpty())
            return {};
        return programInFolder(m_folders.wordPad, QLatin1String("wordpad.exe"), filePath);
    case Program::Word:
        if (m_folders.word.isEmpty())
            return {};
        return programInFolder(m_folders.word, QLatin1String("winword.exe"), filePath);
    }
    return {};
}

void EditCommands::open(Program program, const QString &filePath) const
{
    const QString line = commandLine(program, filePath);
    if (line.isEmpty()) {
        Platform::messageBox(program == Program::Word
                                 ? QStringLiteral("Sorry, could not find Word")
                                 : QStringLiteral("Sorry, could not find Word Pad"),
                             Ui::Buttons::OK, Ui::Icon::Critical, QStringLiteral("Path Not Found"));
        return;
    }
    Platform::setMousePointer(Ui::Pointer::Hourglass);
    const Platform::Launcher::Result started = Platform::Launcher::start(line);
    Platform::setMousePointer(Ui::Pointer::Default);
    if (!started.started)
        Platform::messageBox(started.error, Ui::Buttons::OK, Ui::Icon::Critical);
}
