#include "control/LocalPathCheck.h"
#include "course/SharedState.h"
#include "support/VellixTest.h"

using Platform::Ui;

class LocalPathCheckTest : public VellixTest
{
};

TEST_F(LocalPathCheckTest, AcceptsDrivePathsAndTellsWhyOthersFail)
{
    const QString drive = QStringLiteral("Local Drive is invalid.\r\nTry something like 'H:\\'.");
    const QString separator =
        QStringLiteral("A directory separator, '\\' is required as the third character.");
    const QString wildcard = QStringLiteral(
        "No wildcard masks except *.* are allowed.\r\nUse filenames and directories.");
    struct Case
    {
        QString path;
        QString message; // empty: accepted
    };
    const Case cases[] = {
        {QStringLiteral("h:\\Documents\\lesson 1.pdf"), {}},
        {QStringLiteral("  C:\\Docs\\Lesson.DOC  "), {}}, // trimmed, any letter case
        {QStringLiteral("\tC:\\Docs"), drive},            // only blanks are trimmed
        {QStringLiteral("\r\nC:\\Docs"), drive},
        {QStringLiteral("z:\\"), {}},
        {QStringLiteral("h:\\Documents\\*.*"), {}},
        {QStringLiteral("h:\\Documents\\*.*\\?"), {}}, // a whole folder wins over other masks
        {QStringLiteral("h:\\Documents\\*.doc"), wildcard},
        {QStringLiteral("h:\\Documents\\lesson?.pdf"), wildcard},
        {QStringLiteral("h:\\*"), wildcard},
        {QStringLiteral("h:Documents\\lesson.pdf"), separator},
        {QStringLiteral("h:/Documents/lesson.pdf"), separator},
        {QStringLiteral("h:"), separator},
        {QStringLiteral("1:\\Documents"), drive},
        {QStringLiteral("\\\\server\\share\\file"), drive},
        {QStringLiteral("hd\\Documents"), drive},
        {QStringLiteral("h"), drive},
        {QString(), drive},
        {QStringLiteral("   "), drive},
        {QStringLiteral("\u00e9:\\Documents"), drive},
    };
    Shared().HostFolder = QStringLiteral("H:\\Dovrelle\\");
    Shared().HostDrive = QStringLiteral("H");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ui().clear();
        // A long operation may have left the hourglass; every message must come with the arrow.
        ui().setMousePointer(Ui::Pointer::Hourglass);

        EXPECT_EQ(ValidLocalPath(c.path), c.message.isEmpty());

        if (c.message.isEmpty()) {
            EXPECT_TRUE(ui().boxes().isEmpty());
            EXPECT_EQ(ui().mousePointer(), Ui::Pointer::Hourglass);
            continue;
        }
        ASSERT_EQ(ui().boxes().size(), 1);
        const auto &box = ui().boxes().first();
        EXPECT_EQ(box.text.toStdString(), c.message.toStdString());
        EXPECT_EQ(box.icon, Ui::Icon::Critical);
        EXPECT_EQ(box.buttons, Ui::Buttons::OK);
        EXPECT_EQ(box.title, Ui::applicationTitle());
        EXPECT_EQ(box.pointer, Ui::Pointer::Default);
    }
}
