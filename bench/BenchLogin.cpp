#include "BenchLogin.h"

#include "course/LocalPaths.h"
#include "course/ServerFolders.h"
#include "course/SharedClient.h"
#include "course/SharedState.h"
#include "operations/SessionOpener.h"
#include "transport/cFTP.h"

#include <cstdio>

using namespace Qt::StringLiterals;

BenchLogin::BenchLogin(QCommandLineParser &parser)
    : m_parser(parser)
    , m_site(u"site"_s, u"server"_s, u"HOST:PORT"_s)
    , m_user(u"user"_s, u"login"_s, u"USER"_s)
    , m_rdir(u"rdir"_s, u"remote directory"_s, u"RDIR"_s)
    , m_passive(u"passive"_s, u"passive data connections"_s)
{
    parser.addOptions({m_site, m_user, m_rdir, m_passive});
}

bool BenchLogin::open(const char *program, std::function<void()> pumpMessages) const
{
    SharedState &state = Shared();
    state.Host = state.SiteName = m_parser.value(m_site);
    state.UserId = m_parser.value(m_user);
    state.Password = qEnvironmentVariable("VELLIX_PASSWORD");
    state.RemoteDir = remoteDir();
    state.AllowedExtensions = QStringList{u"*.*"_s};
    SplitSharedRemoteDir();
    cFTP &client = CreateSharedClient(std::move(pumpMessages));
    if (m_parser.isSet(m_passive))
        client.SetModePassive();
    state.Reconnect = [] { return OpenSharedSession(); };
    if (!OpenSharedSession()) {
        std::fprintf(stderr, "%s: cannot log in: %s\n", program,
                     qPrintable(client.GetLastErrorMessage().trimmed()));
        return false;
    }
    // The web root as the control's commands place it: the host product's folder.
    if (!EnterMonthFolder()) {
        std::fprintf(stderr, "%s: no folder %s\n", program, qPrintable(remoteDir()));
        return false;
    }
    state.MonthFolderPath = client.GetFTPDirectory();
    return true;
}
