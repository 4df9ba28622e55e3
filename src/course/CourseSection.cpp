#include "course/CourseSection.h"

#include "course/ConfigFile.h"
#include "course/ConfigStore.h"
#include "course/LocalPaths.h"
#include "course/LoginStore.h"
#include "course/SharedState.h"
#include "platform/TextValue.h"

#include <array>

namespace {

const QLatin1Char Slash('/');

// A remote directory shorter than this names no course folder inside "DV".
constexpr qsizetype ShortestCoursePath = 4;

// The first course the host product lists ("course0" ... "course10" of its own section).
QString ListedCourse()
{
    return ConfigFile().firstNumbered(QStringLiteral("Dovrelle"), QStringLiteral("course"), 0, 10);
}

// The split names a course only when it found a course, an archive and a month folder
// beneath it. A shorter path ("/DV", "/DV/smith/") leaves its first folder where the course
// would stand, and a path reaching into "DV" itself ("/pub/DV/smith/") puts "DV" among the
// three: neither names a course.
bool NamesCourse(const RemotePathParts &parts)
{
    const std::array<QString, 3> folders = {parts.CourseName, parts.ArchiveName, parts.MonthFolder};
    for (const QString &folder : folders) {
        if (folder.isEmpty() || folder == HostProductFolder)
            return false;
    }
    return true;
}

// A site stored with a path ("host/sub/") names the folder that holds "DV": the site is the
// host, and the host product's area lies under the path.
void TakeConfiguredSite(SharedState &state)
{
    QString site = state.SiteName;
    if (site.endsWith(Slash))
        site.chop(1);
    const qsizetype pathStart = site.indexOf(Slash, 1);
    if (pathStart > 0) {
        state.WebRoot =
            CollapseSlashes(Slash + site.mid(pathStart + 1) + Slash + HostProductFolder);
        site.truncate(pathStart);
    }
    state.SiteName = site;
    state.Host = site;
}

} // namespace

void ResolveCourseFolder()
{
    SharedState &state = Shared();
    const RemotePathParts parts = SplitSharedRemoteDir();
    if (NamesCourse(parts))
        return;

    const QString &remote = state.RemoteDir;
    const qsizetype folder = remote.indexOf(HostProductFolder);
    if (remote.size() < ShortestCoursePath || folder < 0) {
        state.CourseName = ListedCourse();
        return;
    }
    state.WebRoot = remote.left(folder + HostProductFolder.size()) + Slash;
    // The course folder follows "DV/".
    const qsizetype courseStart = folder + HostProductFolder.size() + 1;
    const qsizetype courseEnd = remote.indexOf(Slash, courseStart);
    state.CourseName =
        courseEnd < 0 ? ListedCourse() : remote.mid(courseStart, courseEnd - courseStart);
}

QString CourseLocalFolder(const QString &courseName)
{
    return LocalFolderFromSetting(ConfigFile().text(courseName, QStringLiteral("lldir")));
}

bool ReadControlCourseConfig(const QString &courseName)
{
    ReadCourseConfig(courseName);
    SharedState &state = Shared();
    TakeConfiguredSite(state);

    const ConfigFile file;
    state.Secure = Val(LoginStore().read(file, courseName, QStringLiteral("secure"))) > 0;
    state.Batch = Val(file.text(courseName, QStringLiteral("batch"))) > 0;
    return true;
}
