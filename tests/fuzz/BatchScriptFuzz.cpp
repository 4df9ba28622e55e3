// The hvsftp script reader. Every line it gives is a non-blank line of the script, trimmed,
// counted in order; and the upload script the control writes for any local path reads back
// with that path.

#include "FuzzInput.h"

#include "hvsftp/BatchScript.h"
#include "platform/Windows1252.h"

using namespace Qt::StringLiterals;
namespace Windows1252 = Platform::Windows1252;

namespace {

void checkLines(const QList<BatchScript::Line> &lines, QByteArrayView script)
{
    int previous = 0;
    for (const BatchScript::Line &line : lines) {
        FUZZ_CHECK(line.number > previous, line.number);
        FUZZ_CHECK(!line.text.isEmpty() && line.text == line.text.trimmed() &&
                       !line.text.contains(u'\n'),
                   line.text);
        previous = line.number;
    }
    FUZZ_CHECK(previous <= script.count('\n') + 1, previous);
}

void checkUploadScriptReadsBack(const QString &localPath)
{
    // A line break would end the command, and a written "&#...;" reads as the character it
    // names: the script format cannot carry either in a path.
    if (localPath.contains(u'\n') || localPath.contains(u"&#"_s))
        return;
    const QString upload = u"put -u \""_s + localPath + u'"';
    const QByteArray script = Windows1252::encodeWithCharacterReferences(
        u"cd \"DV/biology/2006_2007/May_2007\"\r\n"_s + upload + u"\r\n\r\n"_s);
    // Nor can it tell Windows-1252 bytes that happen to form UTF-8 from UTF-8.
    if (BatchScript::decode(script) != Windows1252::decode(script))
        return;
    const QList<BatchScript::Line> lines = BatchScript::lines(script);
    FUZZ_CHECK(lines.size() == 2 && lines.at(1).text == upload, upload, " reads ",
               lines.size() == 2 ? lines.at(1).text : QString());
}

} // namespace

FUZZ_TARGET(input)
{
    checkLines(BatchScript::lines(input), input);
    checkUploadScriptReadsBack(QString::fromUtf8(input));
}
