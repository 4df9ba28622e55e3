#include "TlsMode.h"

namespace Ftp {

namespace {

constexpr TlsMode AllModes[] = {TlsMode::Auto, TlsMode::Require, TlsMode::Off};

} // namespace

QString tlsModeName(TlsMode mode)
{
    switch (mode) {
    case TlsMode::Auto:
        return QStringLiteral("auto");
    case TlsMode::Require:
        return QStringLiteral("require");
    case TlsMode::Off:
        return QStringLiteral("off");
    }
    return {};
}

std::optional<TlsMode> tlsModeFromName(const QString &name)
{
    for (const TlsMode mode : AllModes) {
        if (name.compare(tlsModeName(mode), Qt::CaseInsensitive) == 0)
            return mode;
    }
    return std::nullopt;
}

} // namespace Ftp
