// The rules that place a session's server paths around its connect.

#include "course/ConnectionPaths.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConnectionPathsTest, BeforeConnectingTheSiteNamesHostAndWebRoot)
{
    const std::tuple<QString, QString, QString, QString, QString> cases[] = {
        // A site with a path: the host alone is connected to; the web root is the path's DV.
        {u"ftphost/www"_s, u"/DV/smith/algebra/May"_s, u"ftphost"_s, u"ftphost"_s, u"/www/DV"_s},
        {u"ftphost:2121/www/site"_s, u"/DV/smith/algebra/May"_s, u"ftphost:2121"_s,
         u"ftphost:2121"_s, u"/www/site/DV"_s},
        // A plain host: the web root lies before the remote directory's "/DV/".
        {u"ftphost"_s, u"/pub/DV/smith/algebra/May"_s, u"ftphost"_s, u"site as entered"_s,
         u"/pub"_s},
        {u"ftphost"_s, u"pub/DV/smith/algebra/May"_s, u"ftphost"_s, u"site as entered"_s,
         u"/pub"_s},
        {u"ftphost"_s, u"/DV/smith/algebra/May"_s, u"ftphost"_s, u"site as entered"_s, u"/"_s},
        // A trailing "/" is no path: the host stays as it is.
        {u"ftphost/"_s, u"/pub/DV/smith/algebra/May"_s, u"ftphost/"_s, u"site as entered"_s,
         u"/pub"_s},
        // No "/DV/" (it is looked for case-sensitively): the root until the server says more.
        {u"ftphost"_s, u"/pub/dv/smith/algebra/May"_s, u"ftphost"_s, u"site as entered"_s, u"/"_s},
        {u"ftphost"_s, QString(), u"ftphost"_s, u"site as entered"_s, u"/"_s},
    };
    for (const auto &[host, remoteDir, wantHost, wantSite, wantWebRoot] : cases) {
        const auto site = ConnectionPaths::beforeConnect(host, u"site as entered"_s, remoteDir);
        EXPECT_EQ(QStringList({site.host, site.siteName, site.webRoot}),
                  QStringList({wantHost, wantSite, wantWebRoot}))
            << host.toStdString() << " " << remoteDir.toStdString();
    }
}

TEST(ConnectionPathsTest, AfterConnectingPathsLieUnderTheLoginFolder)
{
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {u"/home/smith"_s, u"/pub/DV/smith/algebra/May"_s, u"/home/smith/pub"_s,
         u"/home/smith/pub/DV/smith/algebra/May"_s},
        // The login folder already begins the remote directory, in another case.
        {u"/Home/Smith"_s, u"/home/smith/pub/DV/smith/algebra/May"_s, u"/home/smith/pub"_s,
         u"/home/smith/pub/DV/smith/algebra/May"_s},
        {u"/"_s, u"/DV/smith/algebra/May"_s, u"/"_s, u"/DV/smith/algebra/May"_s},
        {u"/home/smith"_s, u"/DV/smith/algebra/May"_s, u"/home/smith/"_s,
         u"/home/smith/DV/smith/algebra/May"_s},
        {u"/home/smith"_s, u"DV/smith/algebra/May"_s, u"/home/smith/"_s,
         u"/home/smith/DV/smith/algebra/May"_s},
        // No "/DV/": the login folder is the web root.
        {u"/home/smith"_s, u"/pub/algebra/May"_s, u"/home/smith"_s,
         u"/home/smith/pub/algebra/May"_s},
        {u"/"_s, u"/pub/algebra/May"_s, u"/"_s, u"/pub/algebra/May"_s},
        // A server that named no login folder leaves the paths as the remote directory has them.
        {QString(), u"/pub/DV/smith/algebra/May"_s, u"/pub"_s, u"/pub/DV/smith/algebra/May"_s},
    };
    for (const auto &[homeDir, remoteDir, wantWebRoot, wantRemoteDir] : cases) {
        const auto paths = ConnectionPaths::afterConnect(homeDir, remoteDir);
        EXPECT_EQ(QStringList({paths.webRoot, paths.remoteDir}),
                  QStringList({wantWebRoot, wantRemoteDir}))
            << homeDir.toStdString() << " " << remoteDir.toStdString();
    }
}
