// The rules that place a session's server paths around its connect.

#include "course/ConnectionPaths.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConnectionPathsTest, BeforeConnectingTheSiteNamesHostAndWebRoot)
{
    // A course's month folder below the host product's folder "DV".
    const QString Month = u"/DV/smith/algebra/May"_s, PubMonth = u"/pub"_s + Month;
    // site, remote directory: host, site name ("entered": as entered), web root
    const std::tuple<QString, QString, QString, QString, QString> cases[] = {
        // A site with a path: the host alone is connected to; the web root is the path's DV.
        {u"ftphost/www"_s, Month, u"ftphost"_s, u"ftphost"_s, u"/www/DV"_s},
        {u"ftphost:21/www/site"_s, Month, u"ftphost:21"_s, u"ftphost:21"_s, u"/www/site/DV"_s},
        // A plain host: the web root lies before the remote directory's "/DV/".
        {u"ftphost"_s, PubMonth, u"ftphost"_s, u"entered"_s, u"/pub"_s},
        {u"ftphost"_s, Month, u"ftphost"_s, u"entered"_s, u"/"_s},
        // A trailing "/" is no path: the host stays as it is.
        {u"ftphost/"_s, PubMonth, u"ftphost/"_s, u"entered"_s, u"/pub"_s},
        // No "/DV/" (it is looked for case-sensitively): the root until the server says more.
        {u"ftphost"_s, u"/pub/dv/smith/algebra/May"_s, u"ftphost"_s, u"entered"_s, u"/"_s},
    };
    for (const auto &[host, remoteDir, wantHost, wantSite, wantWebRoot] : cases) {
        const auto site = ConnectionPaths::beforeConnect(host, u"entered"_s, remoteDir);
        EXPECT_EQ(QStringList({site.host, site.siteName, site.webRoot}),
                  QStringList({wantHost, wantSite, wantWebRoot}))
            << host.toStdString() << " " << remoteDir.toStdString();
    }
}

TEST(ConnectionPathsTest, AfterConnectingPathsLieUnderTheLoginFolder)
{
    const QString Month = u"/DV/smith/algebra/May"_s, PubMonth = u"/pub"_s + Month;
    const QString home = u"/home/smith"_s;
    // login folder, remote directory: web root, remote directory
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {home, PubMonth, home + u"/pub"_s, home + PubMonth},
        // The login folder already begins the remote directory, in another case.
        {u"/Home/Smith"_s, home + PubMonth, home + u"/pub"_s, home + PubMonth},
        {u"/"_s, Month, u"/"_s, Month},
        {home, Month, u"/home/smith/"_s, home + Month},
        {home, Month.mid(1), u"/home/smith/"_s, home + Month},
        // No "/DV/": the login folder is the web root.
        {home, u"/pub/algebra/May"_s, home, u"/home/smith/pub/algebra/May"_s},
        // A server that named no login folder leaves the paths as the remote directory has them.
        {QString(), PubMonth, u"/pub"_s, PubMonth},
    };
    for (const auto &[homeDir, remoteDir, wantWebRoot, wantRemoteDir] : cases) {
        const auto paths = ConnectionPaths::afterConnect(homeDir, remoteDir);
        EXPECT_EQ(QStringList({paths.webRoot, paths.remoteDir}),
                  QStringList({wantWebRoot, wantRemoteDir}))
            << homeDir.toStdString() << " " << remoteDir.toStdString();
    }
}
