#include "transport/SecureLibrary.h"

#include <QFileInfo>
#include <QLibrary>
#include <QString>

#include <dlfcn.h>

#include <memory>

namespace {

const QLatin1String ModuleName("HVSPFTPUTILS");

// The folder of the shared library this code is part of.
QString controlLibraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&SecureLibrary::load), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

template<typename Function>
bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

bool resolveAll(QLibrary &library, SecureLibrary &functions)
{
    return resolve(library, "FtpInit", functions.FtpInit) &&
           resolve(library, "FtpConnect", functions.FtpConnect) &&
           resolve(library, "FtpCmdEx", functions.FtpCmdEx) &&
           resolve(library, "FtpCmdProgress", functions.FtpCmdProgress) &&
           resolve(library, "FtpDir", functions.FtpDir) &&
           resolve(library, "FtpPwd", functions.FtpPwd) &&
           resolve(library, "FtpClose", functions.FtpClose) &&
           resolve(library, "FtpExit", functions.FtpExit) &&
           resolve(library, "FtpGetStatus", functions.FtpGetStatus) &&
           resolve(library, "FtpSetTimeout", functions.FtpSetTimeout);
}

// Loads the module from one place; QLibrary adds the platform's "lib" prefix and suffix.
std::unique_ptr<SecureLibrary> loadFrom(const QString &fileName)
{
    // The module stays loaded for the rest of the process, as a library loaded by name
    // does: the QLibrary object may go, the mapping stays.
    QLibrary library(fileName);
    auto functions = std::make_unique<SecureLibrary>();
    if (!library.load())
        return nullptr;
    if (!resolveAll(library, *functions)) {
        library.unload();
        return nullptr;
    }
    return functions;
}

} // namespace

const SecureLibrary *SecureLibrary::load()
{
    static std::unique_ptr<SecureLibrary> loaded;
    if (loaded)
        return loaded.get();

    const QString folder = controlLibraryFolder();
    if (!folder.isEmpty())
        loaded = loadFrom(folder + QLatin1Char('/') + ModuleName);
    if (!loaded)
        loaded = loadFrom(ModuleName);
    return loaded.get();
}
