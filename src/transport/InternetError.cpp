#include "InternetError.h"

#include "ListingLimit.h"

#include <cerrno>

namespace Ftp::InternetError {

QString text(quint32 code)
{
    switch (code) {
    case FileNotFound:
        return QStringLiteral("The system cannot find the file specified.");
    case TooManyEntries:
        return ListingLimit::tooManyEntriesText();
    case NoMoreFiles:
        return QStringLiteral("There are no more files.");
    case InvalidParameter:
        return QStringLiteral("The parameter is incorrect.");
    case Timeout:
        return QStringLiteral("The operation timed out");
    case ExtendedError:
        return QStringLiteral("An extended error was returned from the server. This is typically a "
                              "string or buffer containing a verbose error message. Call "
                              "InternetGetLastResponseInfo to retrieve the error text.");
    case InternalError:
        return QStringLiteral("An internal error occurred in the Internet extensions");
    case NameNotResolved:
        return QStringLiteral("The server name or address could not be resolved");
    case OperationCancelled:
        return QStringLiteral("The operation was canceled");
    case IncorrectHandleState:
        return QStringLiteral("The requested operation cannot be carried out because the handle "
                              "supplied is not in the correct state");
    case CannotConnect:
        return QStringLiteral("A connection with the server could not be established");
    case ConnectionAborted:
        return QStringLiteral("The connection with the server was terminated abnormally");
    case ConnectionReset:
        return QStringLiteral("The connection with the server was reset");
    case FtpTransferInProgress:
        return QStringLiteral("The requested operation cannot be made on the FTP session handle "
                              "because an operation is already in progress");
    case FtpDropped:
        return QStringLiteral(
            "The FTP operation was not completed because the session was aborted");
    case InvalidServerResponse:
        return QStringLiteral("The server response could not be parsed");
    case SecureChannelError:
        return QStringLiteral("An error occurred in the secure channel support");
    default:
        return {};
    }
}

quint32 ofSystemError(int error)
{
    switch (error) {
    case ECONNREFUSED:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EADDRNOTAVAIL:
        return CannotConnect;
    case ETIMEDOUT:
        return Timeout;
    case ECONNRESET:
    case EPIPE:
        return ConnectionReset;
    case ECANCELED:
        return OperationCancelled;
    default:
        return ConnectionAborted;
    }
}

} // namespace Ftp::InternetError
