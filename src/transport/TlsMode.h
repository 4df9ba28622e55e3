#pragma once

#include <QString>

#include <optional>

namespace Ftp {

// Whether a session protects itself with TLS (AUTH TLS): when the server offers it, always,
// or never.
enum class TlsMode { Auto, Require, Off };

// The mode's name as a setting and an option write it: "auto", "require", "off".
QString tlsModeName(TlsMode mode);
// The mode a name gives, regardless of case; nothing for any other text.
std::optional<TlsMode> tlsModeFromName(const QString &name);

} // namespace Ftp
