#include "viewer/PageFolderHandler.h"

#include "viewer/ViewerScheme.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringDecoder>
#include <QWebEngineUrlRequestJob>

#include <algorithm>

void PageFolderHandler::setScope(const ViewScope &scope)
{
    m_scope = scope;
}

bool PageFolderHandler::serves(const QUrl &url) const
{
    return m_scope.allows(ViewerScheme::pathOf(url));
}

void PageFolderHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = ViewerScheme::pathOf(job->requestUrl());
    // A page reads the files it shows; a form sends nothing anywhere.
    if (job->requestMethod() != QByteArrayLiteral("GET") || !m_scope.allows(path)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // Regular files only: opening a pipe would wait for a writer.
    auto *file = new QFile(path, job);
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The browser reads the file from the device as it needs it.
    job->reply(contentType(*file), file);
}

QByteArray PageFolderHandler::contentType(QFile &file)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file.fileName());
    QByteArray name = type.name().toUtf8();
    if (!type.inherits(QStringLiteral("text/plain")))
        return name;
    // Text that holds UTF-8 is labelled so; left unlabelled, the browser would read it in the
    // Windows code page, as it reads the pages that the control writes (their own
    // declarations still count then).
    const QByteArray start = file.peek(SniffedBytes);
    if (std::all_of(start.begin(), start.end(), [](char c) { return c >= 0; }))
        return name; // ASCII reads alike either way
    QStringDecoder utf8(QStringDecoder::Utf8);
    [[maybe_unused]] const QString decoded = utf8(start); // decoding is what finds errors
    // A character cut off at the end of the bytes looked at is no error.
    return utf8.hasError() ? name : name + QByteArrayLiteral(";charset=utf-8");
}
