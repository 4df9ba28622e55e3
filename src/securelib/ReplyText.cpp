#include "securelib/ReplyText.h"

#include <cstdlib>
#include <cstring>

namespace {

void copyWithNul(char *buffer, const QByteArray &text, qsizetype length)
{
    std::memcpy(buffer, text.constData(), size_t(length));
    buffer[length] = '\0';
}

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

void ReplyText::write(char *buffer, int size, const QByteArray &text)
{
    if (!buffer || size <= 0)
        return;
    qsizetype length = std::min<qsizetype>(text.size(), size - 1);
    if (length < text.size()) {
        // Step back to the first byte of the character that does not fit.
        while (length > 0 && isContinuationByte(text.at(length)))
            --length;
    }
    copyWithNul(buffer, text, length);
}

void ReplyText::writeWholeLines(char *buffer, int size, const QByteArray &lines)
{
    if (!buffer || size <= 0)
        return;
    qsizetype length = lines.size();
    if (length > size - 1) {
        const qsizetype lastEnd = lines.lastIndexOf("\r\n", size - 3);
        length = lastEnd < 0 ? 0 : lastEnd + 2;
    }
    copyWithNul(buffer, lines, length);
}

bool ReplyText::writeGrowing(char **buffer, size_t *size, const QByteArray &text)
{
    const size_t needed = size_t(text.size()) + 1;
    if (!*buffer || *size < needed) {
        char *grown = static_cast<char *>(std::realloc(*buffer, needed));
        if (!grown)
            return false;
        *buffer = grown;
        *size = needed;
    }
    copyWithNul(*buffer, text, text.size());
    return true;
}
