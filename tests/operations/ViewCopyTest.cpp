// The viewer's copy of a server file: the file's own name, inside the copy's private folder
// whatever the server calls it.

#include "support/VellixTest.h"

#include "operations/ViewCopy.h"
#include "platform/DosPath.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

TEST_F(VellixTest, ViewCopyKeepsAPlainNameAndStaysInItsFolder)
{
    // the server's name, a pattern of the local one
    const std::tuple<QString, QString> cases[] = {
        {u"lesson 1.htm"_s, u"lesson 1\\.htm"_s},
        {u"..\\..\\x.htm"_s, u"rad[0-9A-F]{5}"_s},
        {u".."_s, u"rad[0-9A-F]{5}"_s},
    };
    for (const auto &[serverName, localName] : cases) {
        SCOPED_TRACE(serverName.toStdString());
        const ViewCopy copy(serverName);
        ASSERT_TRUE(copy.isValid()) << copy.errorString().toStdString();
        const QFileInfo file(Platform::DosPath::toLinux(copy.dosPath()));
        EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(localName))
                        .match(file.fileName())
                        .hasMatch())
            << file.fileName().toStdString();
        EXPECT_TRUE(QFileInfo(file.path()).fileName().startsWith(u"vellix-view-"_s))
            << file.path().toStdString();
    }
}
