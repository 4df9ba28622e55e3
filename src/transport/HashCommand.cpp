#include "transport/HashCommand.h"

#include <array>

namespace Ftp {

namespace {

struct Algorithm
{
    QLatin1StringView hashName; // in HASH's list
    QByteArrayView olderVerb;
    QCryptographicHash::Algorithm algorithm;
};

// Strongest first.
constexpr std::array<Algorithm, 3> Known{{
    {QLatin1StringView("SHA-256"), "XSHA256", QCryptographicHash::Sha256},
    {QLatin1StringView("SHA-1"), "XSHA1", QCryptographicHash::Sha1},
    {QLatin1StringView("MD5"), "XMD5", QCryptographicHash::Md5},
}};

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

HashCommand::HashCommand(QByteArray verb, QCryptographicHash::Algorithm algorithm,
                         QString selection)
    : m_verb(std::move(verb))
    , m_algorithm(algorithm)
    , m_selection(std::move(selection))
{}

std::optional<HashCommand> HashCommand::fromFeatures(const QStringList &features)
{
    QStringList hashList; // "SHA-256*", "SHA-1", ...
    QStringList verbs;
    for (const QString &line : features) {
        const QString feature = line.trimmed().section(u' ', 0, 0).toUpper();
        if (feature == u"HASH")
            hashList = line.trimmed().section(u' ', 1).toUpper().split(u';', Qt::SkipEmptyParts);
        else
            verbs.append(feature);
    }
    for (const Algorithm &known : Known) {
        for (const QString &offered : std::as_const(hashList)) {
            if (offered == known.hashName)
                return HashCommand("HASH", known.algorithm, QStringLiteral("HASH ") + offered);
            if (offered == known.hashName + u'*')
                return HashCommand("HASH", known.algorithm, {});
        }
    }
    for (const Algorithm &known : Known) {
        if (verbs.contains(QLatin1StringView(known.olderVerb)))
            return HashCommand(known.olderVerb.toByteArray(), known.algorithm, {});
    }
    return std::nullopt;
}

QByteArray HashCommand::digestIn(const QString &reply) const
{
    // HASH answers "213 SHA-256 0-49 <hex> name", the older ones "250 <hex>" or "213 <hex>":
    // the hex word of the algorithm's length, wherever it stands.
    const qsizetype length = QCryptographicHash::hashLength(m_algorithm) * 2;
    const QStringList words = reply.section(u'\r', 0, 0).split(u' ', Qt::SkipEmptyParts);
    for (const QString &word : words.mid(1)) {
        if (word.size() == length && std::all_of(word.cbegin(), word.cend(), isHexDigit))
            return word.toLatin1().toLower();
    }
    return {};
}

} // namespace Ftp
