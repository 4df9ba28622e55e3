#include "transport/FailureRecorder.h"

#include "platform/DosPath.h"
#include "transport/ChannelOwner.h"
#include "transport/InternetError.h"
#include "transport/Session.h"

#include <QFileDevice>

namespace InternetError = Ftp::InternetError;

FailureRecorder::FailureRecorder(const Ftp::Session &session, ChannelOwner &owner)
    : m_session(session)
    , m_owner(owner)
{}

QString FailureRecorder::record(quint32 code, const QString &operation)
{
    // A refusal by the server is best told in the server's own words.
    if (code == InternetError::ExtendedError) {
        m_owner.recordErrorText(m_session.lastResponse());
        return m_session.lastResponse();
    }
    QString text = operation + QLatin1String(" error code: ") + QString::number(code) +
                   QLatin1String(" Message: ") + InternetError::text(code);
    // What went wrong in the secure channel is told in the TLS library's own words.
    if (code == InternetError::SecureChannelError)
        text += QLatin1String(": ") + m_session.lastResponse();
    m_owner.recordErrorText(text);
    return text;
}

QString FailureRecorder::recordLast(const QString &operation)
{
    return record(m_session.lastError(), operation);
}

bool FailureRecorder::check(bool succeeded, const QString &operation)
{
    if (!succeeded)
        recordLast(operation);
    return succeeded;
}

void FailureRecorder::recordText(const QString &text)
{
    m_owner.recordErrorText(text);
}

void FailureRecorder::recordLocal(const QFileDevice &file)
{
    recordLocal(file, file.errorString());
}

void FailureRecorder::recordLocal(const QFileDevice &file, const QString &why)
{
    m_owner.recordErrorText(
        QStringLiteral("Local file %1: %2").arg(Platform::DosPath::toDos(file.fileName()), why));
}
