#pragma once

#include "support/VellixTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::StringLiterals;

// What `vellix ftp` must keep as it is over either channel: the names of the server's files,
// which `ls` prints whatever they hold, and the files behind local symbolic links, which a
// download replaces rather than writes through.
namespace NamesAndLinks {

// Lays out server files whose names a chained QString::arg would garble ("%2" taken for a
// place holder) or that would read as other names (a right-to-left override, a zero-width
// space).
inline void layOutServerNames(const QString &serverRoot)
{
    const std::pair<QString, QByteArray> files[] = {
        {u"grades 100%2 final.txt"_s, "12345"},
        {u"%1%3%4.txt"_s, "abc"},
        {u"invoice\u202Efdp.exe"_s, "x"},
        {u"zero\u200Bwidth.txt"_s, "zw"},
    };
    for (const auto &[name, content] : files)
        VellixTest::writeFile(serverRoot + u'/' + name, content);
}

// Each line's name and size as ls printed them, sorted.
inline QStringList listedNames(const QString &out)
{
    QStringList lines;
    for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts))
        lines << line.section(u'|', 0, 1);
    lines.sort();
    return lines;
}

// What ls prints of them.
inline QStringList expectedNames()
{
    return {u"%1%3%4.txt|3"_s, u"grades 100%2 final.txt|5"_s, u"invoice\\u{202E}fdp.exe|1"_s,
            u"zero\\u{200B}width.txt|2"_s};
}

// A local folder with two symbolic links to one file outside it, and the downloads onto them:
// one onto a link's name, one onto a name that matches a link's only without regard to case.
class LocalLinks
{
public:
    LocalLinks(const QString &serverRoot, const QString &localRoot)
        : m_folder(localRoot + u"/in"_s)
        , m_target(localRoot + u"/target.txt"_s)
    {
        VellixTest::writeFile(serverRoot + u"/a.txt"_s, "abc");
        VellixTest::writeFile(serverRoot + u"/b.txt"_s, "12345");
        VellixTest::writeFile(m_target, "the links' target");
        QDir().mkpath(m_folder);
        QFile::link(m_target, m_folder + u"/exact.txt"_s);
        QFile::link(m_target, m_folder + u"/case.txt"_s);
    }

    QStringList script() const
    {
        return {u"get a.txt \""_s + m_folder + u"/exact.txt\""_s,
                u"get b.txt \""_s + m_folder + u"/CASE.TXT\""_s};
    }

    // The links became the downloaded files; the file they pointed to stayed as it was.
    void expectReplaced() const
    {
        for (const auto &[name, content] : {std::pair{u"exact.txt"_s, QByteArray("abc")},
                                            std::pair{u"case.txt"_s, QByteArray("12345")}}) {
            SCOPED_TRACE(name.toStdString());
            const QFileInfo file(m_folder + u'/' + name);
            EXPECT_FALSE(file.isSymLink());
            EXPECT_EQ(VellixTest::readFile(file.filePath()), content);
        }
        EXPECT_EQ(QDir(m_folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                           QDir::NoDotAndDotDot),
                  QStringList({u"case.txt"_s, u"exact.txt"_s}));
        EXPECT_EQ(VellixTest::readFile(m_target), "the links' target");
    }

private:
    QString m_folder;
    QString m_target;
};

} // namespace NamesAndLinks
