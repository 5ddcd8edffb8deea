#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "chipdb/ChipListDate.h"
#include "update/UpdateInfo.h"
#include "update/UpdateVerdict.h"

using namespace update;
using namespace std::chrono;

namespace {

std::span<const std::uint8_t> bytes(const std::string& s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// This program: version 1.0.1.62, database of 9 May 2018, serial 5.
const LocalVersions kLocal{"1.0.1.62", chipdb::chipListDateFromYmd(2018y / May / 9), 5};

std::string infoFile(const std::string& version, const std::string& file, const std::string& chipList)
{
    return "[Info]\r\nUpdate Version=" + version + "\r\nUpdate File=" + file +
           "\r\nUpdate Changes=Faster SPI\r\nUpdate Chiplist=" + chipList + "\r\n";
}

} // namespace

TEST(UpdateInfo, ReadsTheFourKeysOfSectionInfo)
{
    const UpdateInfo info = ParseUpdateInfo(
        bytes("; comment\n[other]\nUpdate Version=9\n[INFO]\nupdate version = 1.0.2.0 \nUpdate File=\"vespera.zip\"\n"
              "Update Chiplist=2019-01-02.7\n"));
    EXPECT_EQ(info.version, "1.0.2.0");
    EXPECT_EQ(info.file, "vespera.zip");
    EXPECT_EQ(info.changes, ""); // missing
    EXPECT_EQ(info.chipList, "2019-01-02.7");
    for (const std::string& hostile : {std::string(), std::string("\0\xff[\n=\n[Info\n", 12), std::string(5000, '[')})
        EXPECT_EQ(ParseUpdateInfo(bytes(hostile)).version, "");
}

TEST(UpdateVerdict, ErrorLinesByStatusAndContent)
{
    const std::string start = "Произошла ошибка во время проверки обновления.\n";
    struct Case {
        int status;
        std::string reason, body, russian;
    } const cases[] = {
        {-1, "", "", start + "Проверьте интернет-соединение."},
        {404, "Not Found", "", start + "Информация об обновлении отсутствует на сервере."},
        {503, "Service Unavailable", "", start + "Ошибка 503 - Service Unavailable"},
        {200, "OK", "<html>moved</html>", start + "Информация об обновлении на сервере - некорректна."},
        // An empty "Update File" is incorrect even when both versions are newer.
        {200, "OK", infoFile("2.0", "", "2020-01-01.9"), start + "Информация об обновлении на сервере - некорректна."},
    };
    for (const Case& c : cases) {
        const UpdateVerdict v = JudgeAnswer(c.status, c.reason, bytes(c.body), kLocal);
        ASSERT_TRUE(v.error) << c.status;
        EXPECT_EQ(v.error->ru, c.russian);
        EXPECT_FALSE(v.chipList || v.program);
    }
    EXPECT_EQ(JudgeAnswer(503, "Service Unavailable", {}, kLocal).error->en,
              "An error occurred while checking for updates.\nError 503 - Service Unavailable");
}

TEST(UpdateVerdict, QuestionsForANewerDatabaseAndProgram)
{
    struct Case {
        std::string version, chipList;
        bool chipListQuestion, programQuestion;
    } const cases[] = {
        {"1.0.1.62", "2018-05-09.5", false, false}, // the same everything
        {"1.0.2.0", "2018-05-09.5", false, true},
        {"1.0.1.62", "2019-01-02.6", true, false},
        {"1.0.1.62", "02.01.2019.6", true, false}, // the program's own date format
        {"1.0.2.0", "2019-01-02.6", true, true},
        {"1.0.1.62", "2019-01-02.5", false, false}, // later date, same serial
        {"1.0.1.62", "2018-05-08.9", false, false}, // larger serial, earlier date
        // A date or serial that cannot be read ends the check without a word.
        {"1.0.2.0", "May 2019.6", false, false},
        {"1.0.2.0", "2019-02-30.6", false, false},
        {"1.0.2.0", "2019-01-02.x", false, false},
    };
    for (const Case& c : cases) {
        const UpdateVerdict v = JudgeAnswer(200, "OK", bytes(infoFile(c.version, "v.zip", c.chipList)), kLocal);
        EXPECT_FALSE(v.error);
        EXPECT_EQ(v.chipList.has_value(), c.chipListQuestion) << c.version << " " << c.chipList;
        EXPECT_EQ(v.program.has_value(), c.programQuestion) << c.version << " " << c.chipList;
    }
    const UpdateVerdict both = JudgeAnswer(200, "OK", bytes(infoFile("1.0.2.0", "v.zip", "2019-01-02.6")), kLocal);
    EXPECT_EQ(both.chipList->caption.ru, "Проверка обновления базы данных микросхем");
    EXPECT_EQ(both.chipList->text.ru, "Доступна обновленная база данных микросхем ChipList.dat, \nверсия 2019-01-02.6"
                                      "\nПерейти на страницу загрузки?");
    EXPECT_EQ(both.program->caption.en, "Program update to 1.0.2.0");
    EXPECT_EQ(both.program->text.ru, "Обнаружена новая версия программы: 1.0.2.0\nИзменения в версии: Faster SPI"
                                     "\nПерейти на страницу загрузки?");
}
