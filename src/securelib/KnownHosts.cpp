#include "securelib/KnownHosts.h"

#include "platform/Prefix.h"
#include "platform/RegularFile.h"
#include "platform/WholeFile.h"

namespace {

// The key type bits of a known-hosts entry for a host key type of the session.
int knownHostKeyBit(int hostKeyType)
{
    switch (hostKeyType) {
    case LIBSSH2_HOSTKEY_TYPE_RSA:
        return LIBSSH2_KNOWNHOST_KEY_SSHRSA;
    case LIBSSH2_HOSTKEY_TYPE_DSS:
        return LIBSSH2_KNOWNHOST_KEY_SSHDSS;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_256:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_256;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_384:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_384;
    case LIBSSH2_HOSTKEY_TYPE_ECDSA_521:
        return LIBSSH2_KNOWNHOST_KEY_ECDSA_521;
    case LIBSSH2_HOSTKEY_TYPE_ED25519:
        return LIBSSH2_KNOWNHOST_KEY_ED25519;
    default:
        return LIBSSH2_KNOWNHOST_KEY_UNKNOWN;
    }
}

// The host key types a server may show.
constexpr int HostKeyTypes[] = {
    LIBSSH2_HOSTKEY_TYPE_ED25519,   LIBSSH2_HOSTKEY_TYPE_ECDSA_256, LIBSSH2_HOSTKEY_TYPE_ECDSA_384,
    LIBSSH2_HOSTKEY_TYPE_ECDSA_521, LIBSSH2_HOSTKEY_TYPE_RSA,       LIBSSH2_HOSTKEY_TYPE_DSS,
};

int entryType(int keyType)
{
    return LIBSSH2_KNOWNHOST_TYPE_PLAIN | LIBSSH2_KNOWNHOST_KEYENC_RAW | knownHostKeyBit(keyType);
}

// An entry type without key type bits: the SSH library then compares a key with the host's
// keys of every type.
constexpr int AnyKeyType = LIBSSH2_KNOWNHOST_TYPE_PLAIN | LIBSSH2_KNOWNHOST_KEYENC_RAW;

} // namespace

KnownHosts::KnownHosts(LIBSSH2_SESSION *session)
    : m_hosts(libssh2_knownhost_init(session))
{}

KnownHosts::~KnownHosts()
{
    if (m_hosts)
        libssh2_knownhost_free(m_hosts);
}

QString KnownHosts::filePath()
{
    return Platform::Prefix::path(QStringLiteral("known_hosts"));
}

QString KnownHosts::hostSpec(const QString &host, quint16 port)
{
    if (port == 22)
        return host;
    return QLatin1Char('[') + host + QLatin1String("]:") + QString::number(port);
}

void KnownHosts::load()
{
    if (m_loaded || !m_hosts)
        return;
    m_loaded = true;
    const QByteArray content = Platform::readRegularFile(filePath()).value_or(QByteArray());
    // Line by line, so that one entry of a kind the library does not know spoils nothing.
    for (const QByteArray &read : content.split('\n')) {
        const QByteArray line = read.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        libssh2_knownhost_readline(m_hosts, line.constData(), size_t(line.size()),
                                   LIBSSH2_KNOWNHOST_FILE_OPENSSH);
    }
}

QList<int> KnownHosts::recordedKeyTypes(const QString &host, quint16 port)
{
    load();
    QList<int> types;
    if (!m_hosts)
        return types;
    // A key that no server has is "changed" against every recorded key of its type. Asking
    // so also finds the entries whose host names are hashed.
    const QByteArray noKey(1, '\0');
    for (const int type : HostKeyTypes) {
        if (libssh2_knownhost_checkp(m_hosts, host.toUtf8().constData(), port, noKey.constData(),
                                     size_t(noKey.size()), entryType(type),
                                     nullptr) == LIBSSH2_KNOWNHOST_CHECK_MISMATCH)
            types << type;
    }
    return types;
}

KnownHosts::Verdict KnownHosts::check(const QString &host, quint16 port, const QByteArray &key)
{
    load();
    if (!m_hosts)
        return Verdict::Unknown;
    const int result =
        libssh2_knownhost_checkp(m_hosts, host.toUtf8().constData(), port, key.constData(),
                                 size_t(key.size()), AnyKeyType, nullptr);
    switch (result) {
    case LIBSSH2_KNOWNHOST_CHECK_MATCH:
        return Verdict::Known;
    case LIBSSH2_KNOWNHOST_CHECK_MISMATCH:
        return Verdict::Changed;
    default:
        return Verdict::Unknown;
    }
}

bool KnownHosts::record(const QString &host, quint16 port, const QByteArray &key, int keyType,
                        QString *why)
{
    load();
    libssh2_knownhost *entry = nullptr;
    const QByteArray name = hostSpec(host, port).toUtf8();
    if (!m_hosts ||
        libssh2_knownhost_addc(m_hosts, name.constData(), nullptr, key.constData(),
                               size_t(key.size()), nullptr, 0, entryType(keyType), &entry) != 0) {
        *why = QStringLiteral("the host key cannot be recorded");
        return false;
    }
    QByteArray line(4096, '\0');
    size_t length = 0;
    if (libssh2_knownhost_writeline(m_hosts, entry, line.data(), size_t(line.size()), &length,
                                    LIBSSH2_KNOWNHOST_FILE_OPENSSH) != 0) {
        *why = QStringLiteral("the host key cannot be written");
        return false;
    }
    line.truncate(qsizetype(length));
    line = line.trimmed() + '\n';

    // The file is rewritten whole and replaced at once, so a crash never leaves half a line;
    // one that cannot be read is not rewritten without the keys it holds.
    std::optional<QByteArray> content = Platform::readRegularFile(filePath());
    if (!content) {
        *why = filePath() + QStringLiteral(": the file cannot be read");
        return false;
    }
    if (!content->isEmpty() && !content->endsWith('\n'))
        content->append('\n');
    content->append(line);
    if (const auto error = Platform::writeWholeFile(
            filePath(), *content, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        *why = filePath() + QStringLiteral(": ") + *error;
        return false;
    }
    return true;
}
