#pragma once

#include <QString>

namespace Ftp {

// The error numbers the engine reports. They keep the Internet client library's numbering,
// so the client's error texts read the way users of the control have always seen them.
namespace InternetError {

enum Code : quint32 {
    NoError = 0,
    FileNotFound = 2,
    // The number the system gives when what is asked does not fit in memory: here a folder
    // that holds more entries than a listing may (see ListingLimit).
    TooManyEntries = 8,
    NoMoreFiles = 18,
    InvalidParameter = 87,
    Timeout = 12002,
    ExtendedError = 12003, // the server refused; its reply is the last response
    InternalError = 12004,
    NameNotResolved = 12007,
    OperationCancelled = 12017,
    IncorrectHandleState = 12019,
    CannotConnect = 12029,
    ConnectionAborted = 12030,
    ConnectionReset = 12031,
    FtpTransferInProgress = 12110,
    FtpDropped = 12111,
    InvalidServerResponse = 12152,
    SecureChannelError = 12157, // TLS failed; the session keeps the TLS library's words
};

// The message text of a number, empty for a number the table does not know.
QString text(quint32 code);

// The number for a failure of a socket call, given the system's error number (errno).
quint32 ofSystemError(int error);

} // namespace InternetError
} // namespace Ftp
