#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTest>
#include <QTextEdit>
#include <QUrlQuery>

#include "session/Language.h"
#include "ui/about/TAboutBox.h"

namespace {

class TAboutBoxTest : public ::testing::Test {
protected:
    AboutBoxContext context()
    {
        return {"1.2.3",
                "Debian GNU/Linux 12\nProcessor: Z80; ",
                "help@maker.test",
                "Vespera Programmer",
                "www.maker.test",
                "http://www.maker.test/download/",
                [this] { ++checks; },
                [this](const QUrl& url) { opened << url; }};
    }
    template <class T>
    static T* child(TAboutBox& box, const char* name)
    {
        return box.findChild<T*>(name);
    }

    int checks = 0;
    QList<QUrl> opened;
};

} // namespace

TEST_F(TAboutBoxTest, ShowsTheProgramAndTheFactsWithButtonsByLanguage)
{
    struct Case {
        Language language;
        const char *check, *close, *title, *version;
    } const cases[] = {{Language::Russian, "Проверить обновления", "Закрыть", "О программе Vespera", "Версия 1.2.3"},
                       {Language::English, "Check for updates", "Close", "About Vespera", "Version 1.2.3"},
                       {Language::NotChosen, "Check for updates", "Close", "About Vespera", "Version 1.2.3"}};
    const Language saved = CurrentLanguage();
    for (const Case& c : cases) {
        SetCurrentLanguage(c.language);
        TAboutBox box(context());
        EXPECT_EQ(box.windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(child<QPushButton>(box, "ChUpdButton")->text(), c.check);
        EXPECT_EQ(child<QPushButton>(box, "OKButton")->text(), c.close);
        EXPECT_TRUE(child<QPushButton>(box, "OKButton")->isDefault());
        EXPECT_EQ(child<QLabel>(box, "ProductName")->text(), "Vespera Programmer");
        EXPECT_EQ(child<QLabel>(box, "Version")->text(), QString::fromUtf8(c.version));
        EXPECT_EQ(child<QTextEdit>(box, "Memo1")->toPlainText(), "Debian GNU/Linux 12\nProcessor: Z80; ");
        EXPECT_TRUE(child<QTextEdit>(box, "Memo1")->isReadOnly());
        EXPECT_EQ(child<QSvgWidget>(box, "ProgramIcon")->size(), QSize(360, 120));
        EXPECT_TRUE(child<QSvgWidget>(box, "ProgramIcon")->renderer()->isValid()); // the banner is in the program
        EXPECT_EQ(box.minimumSize(), box.maximumSize());                           // fixed size
    }
    SetCurrentLanguage(saved);
}

TEST_F(TAboutBoxTest, LinksOpenMailAndPageAndTheButtonsAct)
{
    TAboutBox box(context());
    box.show();
    QTest::mouseClick(child<QLabel>(box, "Comments"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(box, "Url"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0].scheme(), "mailto");
    EXPECT_EQ(opened[0].path(), "help@maker.test");
    EXPECT_EQ(QUrlQuery(opened[0]).queryItemValue("subject"), "Vespera Programmer");
    EXPECT_EQ(opened[1], QUrl("http://www.maker.test/download/"));
    EXPECT_EQ(child<QLabel>(box, "Url")->text(), "www.maker.test");
    EXPECT_EQ(child<QLabel>(box, "Url")->cursor().shape(), Qt::PointingHandCursor);

    child<QPushButton>(box, "ChUpdButton")->click();
    child<QPushButton>(box, "ChUpdButton")->click();
    EXPECT_EQ(checks, 2); // the check itself drops a request while one runs
    child<QPushButton>(box, "OKButton")->click();
    EXPECT_FALSE(box.isVisible());
}
