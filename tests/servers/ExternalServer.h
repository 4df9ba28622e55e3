#pragma once

#include <QString>

#include <optional>

// A server that the tests use but do not start, named in an environment variable as
// "host:port:user:password:root-folder".
struct ExternalServer
{
    QString host;
    quint16 port = 0;
    QString user;
    QString password;
    // Server path of the folder the tests work in.
    QString rootFolder;

    // Reads the server from the variable, whose name the messages give. The host may be
    // "[v6 address]", and the password may hold ":" (the root folder is what follows the last
    // one). Nothing, with the reason in *why, when the value does not read so.
    static std::optional<ExternalServer> fromEnvironment(const char *variable, QString *why);
};
