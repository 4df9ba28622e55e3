#include "operations/EditCommands.h"

#include "platform/Launcher.h"
#include "platform/Ui.h"

using Platform::Ui;

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A program in a folder found in the registry: the folder may come with its opening quote.
QString programInFolder(const QString &folder, const QLatin1String program, const QString &filePath)
{
    QString line = (folder + program).trimmed() + QLatin1String("\" ") + quoted(filePath).trimmed();
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
        return quoted(m_browserPath.trimmed()) + QLatin1Char(' ') + quoted(filePath).trimmed();
    case Program::Notepad:
        return QLatin1String("notepad.exe ") + quoted(filePath);
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
