// The windows over a server folder whose listing fails, here as it holds more entries than a
// listing may: the remote list shows no files and says why, and Web Space stops measuring and
// says why, rather than count the folder as empty.

#include "operations/ListOperationsTest.h"

#include "operations/WebSpace.h"
#include "transport/ListingLimit.h"

using UnlistedFolderTest = ListOperationsTest;

TEST_P(UnlistedFolderTest, WindowsSayWhyAFolderIsNotListed)
{
    const QString why =
        u"FtpFindFirstFile error code: 8 Message: "_s + ListingLimit::tooManyEntriesText();
    list();
    EXPECT_EQ(window.model().count(), 0);
    EXPECT_EQ(seen(ui().boxes()),
              (QList<SeenBox>{{u"The files of this folder cannot be listed.\r\n"_s + why,
                               u"Vellixon"_s, Ui::Icon::Critical}}));

    ui().clear();
    std::optional<qint64> shown;
    WebSpace space(
        {[] {}, [](bool) {}, [&shown](WebSpace::Level, qint64 bytes) { shown = bytes; }});
    EXPECT_EQ(space.measure({false, false, false, false, true}), WebSpace::Outcome::Stopped);
    EXPECT_FALSE(shown);
    EXPECT_EQ(
        seen(ui().boxes()),
        (QList<SeenBox>{{u"The files of "_s + MonthPath +
                             u" cannot be listed, so Web Space stopped measuring.\r\n"_s + why,
                         u"Web Space"_s, Ui::Icon::Critical}}));
}

INSTANTIATE_TEST_SUITE_P(Scripted, UnlistedFolderTest,
                         testing::Values(ServerMode{
                             FtpTestServer::Kind::Scripted, true,
                             u"many-entries=%1"_s.arg(ListingLimit::MaxEntries + 1)}),
                         serverModeParameterName);
