#include "support/VellixTest.h"

#include "platform/PartialName.h"
#include "platform/ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <memory>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// What a folder holds, links marked with "@": no temporary file may stay behind.
static QStringList entries(const QString &folder)
{
    QStringList names;
    const QFileInfoList found = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : found)
        names << entry.fileName() + (entry.isSymLink() ? u"@"_s : QString());
    return names;
}

TEST_F(VellixTest, ReplacingFileTakesTheNameItselfOnceCommitted)
{
    const QString folder = tempPath(u"in"_s);
    const QString nothing = tempPath(u"nothing.txt"_s);
    const QFile::Permissions kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    // What stands at the name: a link to linkTo (if any), an old file with permissions the new
    // one keeps (if any), or nothing. A link to a file is the downloads' case in the CLI tests.
    const std::tuple<const char *, QString, QString, QFile::Permissions> cases[] = {
        {"a new name", u"new.txt"_s, {}, {}},
        {"an old file, whose permissions stay", u"old.txt"_s, {}, kept},
        {"a link to nothing", u"dangling.txt"_s, nothing, {}},
    };
    for (const auto &[title, name, linkTo, permissions] : cases) {
        SCOPED_TRACE(title);
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString path = folder + u'/' + name;
        if (!linkTo.isEmpty())
            QFile::link(linkTo, path);
        if (permissions) {
            writeFile(path, "old");
            QFile::setPermissions(path, permissions);
        }

        Platform::ReplacingFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
        EXPECT_EQ(file.fileName(), path);
        ASSERT_EQ(file.write("new"), 3);
        ASSERT_TRUE(file.commit()) << file.errorString().toStdString();

        EXPECT_EQ(entries(folder), QStringList{name});
        EXPECT_EQ(readFile(path), "new");
        if (permissions) {
            const QFile::Permissions ours = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
            EXPECT_EQ(QFile::permissions(path) & ~ours, permissions);
        }
        EXPECT_FALSE(QFile::exists(nothing));
    }
}

TEST_F(VellixTest, ResumableFileKeepsWhatArrivedForTheSameOriginOnly)
{
    const QString folder = tempPath(u"kept"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = writeFile(folder + u"/lesson.mp4"_s, "old copy");
    // A read-only copy: the partial stays writable, so that a cut copy can be continued by a user
    // whom the permissions bind, and every new copy is read-only again.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const auto modeOf = [](const QString &file) {
        struct stat status = {};
        return ::stat(QFile::encodeName(file).constData(), &status) == 0 ? status.st_mode & 0777
                                                                         : 0u;
    };
    const QByteArray origin = "ftp://host/lesson.mp4 10 1700000000";
    const auto cutAfter = [&](const QByteArray &from, const QByteArray &bytes) {
        Platform::ReplacingFile cut(path, from);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly)) << cut.errorString().toStdString();
        ASSERT_EQ(cut.write(bytes), bytes.size());
        EXPECT_EQ(modeOf(PartialName::pathFor(path)), 0644u);
        // One partial has one writer.
        Platform::ReplacingFile second(path, from);
        EXPECT_FALSE(second.open(QIODevice::WriteOnly));
    };

    // After a cut: the origin the next copy is for (empty: a whole copy, not resumable), where
    // it resumes, what it writes, whether it is committed (else discarded), and the file then.
    const std::tuple<QByteArray, qint64, QByteArray, bool, QByteArray> cases[] = {
        {origin, 5, "56789", true, "0123456789"},
        // The server's file changed since: what was kept is no part of it.
        {"ftp://host/lesson.mp4 10 1700000099", 0, "abc", false, "0123456789"},
        // A whole copy made without resuming leaves no partial behind either.
        {{}, 0, "new", true, "new"},
    };
    // A cut before the first byte leaves nothing to continue.
    cutAfter(origin, {});
    EXPECT_EQ(entries(folder), QStringList{u"lesson.mp4"_s});
    for (const auto &[from, resumedAt, bytes, committed, content] : cases) {
        SCOPED_TRACE(from.toStdString());
        const QByteArray before = readFile(path);
        cutAfter(origin, "01234");
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(entries(folder).size(), 3) << entries(folder).join(u' ').toStdString();
        auto next = from.isEmpty() ? std::make_unique<Platform::ReplacingFile>(path)
                                   : std::make_unique<Platform::ReplacingFile>(path, from);
        ASSERT_TRUE(next->open(QIODevice::WriteOnly)) << next->errorString().toStdString();
        EXPECT_EQ(next->resumedAt(), resumedAt);
        ASSERT_EQ(next->write(bytes), bytes.size());
        if (committed)
            ASSERT_TRUE(next->commit()) << next->errorString().toStdString();
        else
            next->discard();
        next.reset();
        EXPECT_EQ(entries(folder), QStringList{u"lesson.mp4"_s});
        EXPECT_EQ(readFile(path), content);
        EXPECT_EQ(modeOf(path), 0444u);
    }
}

// What someone else put under the name of the partial or of its note is never written into nor
// continued: a pipe is refused at once, as its open would wait for its other end for good, deaf
// to Ctrl+C; another user's file or a second name of a file elsewhere, which the download would
// fill and hand over as its own, is replaced by a file of the user's own.
TEST_F(VellixTest, WhatOthersPutWhereThePartialOrItsNoteGoesIsNeverWrittenInto)
{
    const QString path = tempPath(u"lesson.mp4"_s);
    const QByteArray origin = "an origin";
    const QString elsewhere = writeFile(tempPath(u"elsewhere.txt"_s), origin);
    // How it is put there, and the refusal it meets (none: it is replaced).
    const std::tuple<const char *, std::function<bool(const QString &)>, QString> cases[] = {
        {"a pipe", [](const QString &name) { return ::mkfifo(QFile::encodeName(name), 0600) == 0; },
         u" is no regular file."_s},
        {"another user's file",
         [&](const QString &name) {
             return ::chown(QFile::encodeName(writeFile(name, origin)), 65534, 65534) == 0;
         },
         QString()},
        {"a second name of a file",
         [&](const QString &name) {
             return ::link(QFile::encodeName(elsewhere), QFile::encodeName(name)) == 0;
         },
         QString()},
    };
    const QString partial = PartialName::pathFor(path);
    const QString note = PartialName::originPathFor(path);
    for (const auto &[title, plant, refusal] : cases) {
        for (const auto &[inTheWay, ours] : {std::pair(partial, note), std::pair(note, partial)}) {
            SCOPED_TRACE(title + (u' ' + inTheWay).toStdString());
            ASSERT_TRUE(plant(inTheWay));
            // The other one is the user's own and fits: only what was put there could make the
            // download continue.
            writeFile(ours, origin);
            Platform::ReplacingFile file(path, origin);
            ASSERT_EQ(file.open(QIODevice::WriteOnly), refusal.isEmpty())
                << file.errorString().toStdString();
            if (refusal.isEmpty()) {
                EXPECT_EQ(file.resumedAt(), 0);
                struct stat status = {};
                ASSERT_EQ(::lstat(QFile::encodeName(inTheWay).constData(), &status), 0);
                EXPECT_EQ(status.st_uid, ::geteuid());
                EXPECT_EQ(status.st_nlink, 1u);
            } else {
                EXPECT_TRUE(file.errorString().endsWith(refusal))
                    << file.errorString().toStdString();
            }
            file.discard();
            EXPECT_FALSE(QFile::exists(path));
            EXPECT_EQ(readFile(elsewhere), origin);
            QFile::remove(partial);
            QFile::remove(note);
        }
    }
}

// All that came through a pipe's reading end, once the writer has closed its end; closes it.
static QByteArray drain(int fd)
{
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t read; (read = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, read);
    ::close(fd);
    return bytes;
}

// Only a regular file is replaced: a device is written into and stays what it was; a pipe
// nobody reads, a socket, a block device and a folder are refused.
TEST_F(VellixTest, DevicesAndPipesAreWrittenIntoAndOtherSpecialFilesRefused)
{
    const QString folder = tempPath(u"special"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto node = [](mode_t type, dev_t device) {
        return [type, device](const QString &path) {
            return ::mknod(QFile::encodeName(path).constData(), type | 0666, device) == 0;
        };
    };
    // How to make the file (false: this machine cannot), and whether it is written into (else
    // refused). A pipe with a reader is the download tests' case, over every channel.
    const std::tuple<const char *, std::function<bool(const QString &path)>, bool> cases[] = {
        {"a null device", node(S_IFCHR, makedev(1, 3)), true},
        {"a pipe nobody reads", node(S_IFIFO, 0), false},
        // A device number that no driver has: a write would fail, never reach a disk.
        {"a block device", node(S_IFBLK, makedev(250, 250)), false},
        {"a socket", node(S_IFSOCK, 0), false},
        {"a folder", [](const QString &path) { return QDir().mkdir(path); }, false},
    };
    for (const auto &[title, make, written] : cases) {
        SCOPED_TRACE(title);
        const QString path = folder + u"/target"_s;
        QFile::remove(path);
        QDir(path).removeRecursively();
        if (!make(path))
            GTEST_SKIP() << "cannot make " << title << " here";
        struct stat before = {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &before), 0);

        Platform::ReplacingFile file(path, "an origin, which a device or pipe does not keep");
        ASSERT_EQ(file.open(QIODevice::WriteOnly), written) << file.errorString().toStdString();
        if (written) {
            ASSERT_EQ(file.write("arrived"), 7);
            EXPECT_TRUE(file.commit()) << file.errorString().toStdString();
        } else {
            EXPECT_FALSE(file.errorString().isEmpty());
        }
        struct stat after = {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &after), 0);
        EXPECT_EQ(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        EXPECT_EQ(after.st_rdev, before.st_rdev);
        EXPECT_EQ(entries(folder), QStringList{u"target"_s});
    }

    // The program's own open files, which /dev/stdout names, are written into, never replaced.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    Platform::ReplacingFile output(u"/dev/fd/%1"_s.arg(ends[1]));
    ASSERT_TRUE(output.open(QIODevice::WriteOnly)) << output.errorString().toStdString();
    ASSERT_EQ(output.write("arrived"), 7);
    EXPECT_TRUE(output.commit());
    ::close(ends[1]);
    EXPECT_EQ(drain(ends[0]), "arrived");
}
