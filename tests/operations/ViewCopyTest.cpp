// The viewer's copy of a server file stays inside its private folder whatever the server calls
// it.

#include "support/VellixTest.h"

#include "operations/ViewCopy.h"
#include "platform/DosPath.h"

#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

// A name that would leave the copy's folder gets one of the viewer's own; a plain name is
// the remote list's view test's.
TEST_F(VellixTest, ViewCopyOfANameLeavingItsFolderStaysInIt)
{
    for (const QString &serverName : {u"..\\..\\x.htm"_s, u".."_s}) {
        SCOPED_TRACE(serverName.toStdString());
        const ViewCopy copy(serverName);
        ASSERT_TRUE(copy.isValid()) << copy.errorString().toStdString();
        const QFileInfo file(Platform::DosPath::toLinux(copy.dosPath()));
        EXPECT_TRUE(QRegularExpression(u"^rad[0-9A-F]{5}$"_s).match(file.fileName()).hasMatch())
            << file.fileName().toStdString();
        EXPECT_TRUE(QFileInfo(file.path()).fileName().startsWith(u"vellix-view-"_s))
            << file.path().toStdString();
    }
}
