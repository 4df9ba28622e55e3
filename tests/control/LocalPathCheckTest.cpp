#include "ControlTest.h"

#include "control/LocalPathCheck.h"
#include "course/SharedState.h"

using namespace Qt::StringLiterals;

using Platform::Ui;

using LocalPathCheckTest = VellixTest;

TEST_F(LocalPathCheckTest, AcceptsDrivePathsAndTellsWhyOthersFail)
{
    const QString drive = u"Local Drive is invalid.\r\nTry something like 'H:\\'."_s;
    const QString separator = u"A directory separator, '\\' is required as the third character."_s;
    const QString wildcard = QStringLiteral(
        "No wildcard masks except *.* are allowed.\r\nUse filenames and directories.");
    // A path, why it fails (empty: accepted).
    const std::pair<QString, QString> cases[] = {
        {u"h:\\Documents\\lesson 1.pdf"_s, {}},
        {u"  C:\\Docs\\Lesson.DOC  "_s, {}}, // trimmed, any letter case
        {u"\tC:\\Docs"_s, drive},            // only blanks are trimmed
        {u"\r\nC:\\Docs"_s, drive},
        {u"z:\\"_s, {}},
        {u"h:\\Documents\\*.*"_s, {}},
        {u"h:\\Documents\\*.*\\?"_s, {}}, // a whole folder wins over other masks
        {u"h:\\Documents\\*.doc"_s, wildcard},
        {u"h:\\Documents\\lesson?.pdf"_s, wildcard},
        {u"h:\\*"_s, wildcard},
        {u"h:Documents\\lesson.pdf"_s, separator},
        {u"h:/Documents/lesson.pdf"_s, separator},
        {u"h:"_s, separator},
        {u"1:\\Documents"_s, drive},
        {u"\\\\server\\share\\file"_s, drive},
        {u"hd\\Documents"_s, drive},
        {u"h"_s, drive},
        {QString(), drive},
        {u"   "_s, drive},
        {u"\u00e9:\\Documents"_s, drive},
    };
    Shared().HostFolder = u"H:\\Dovrelle\\"_s;
    Shared().HostDrive = u"H"_s;
    for (const auto &[path, message] : cases) {
        SCOPED_TRACE(path.toStdString());
        ui().clear();
        // A long operation may have left the hourglass; every message must come with the arrow.
        ui().setMousePointer(Ui::Pointer::Hourglass);

        EXPECT_EQ(ValidLocalPath(path), message.isEmpty());

        if (message.isEmpty()) {
            EXPECT_TRUE(ui().boxes().isEmpty());
            EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Hourglass);
            continue;
        }
        expectOnlyBox(ui(), message, Ui::Icon::Critical);
    }
}
