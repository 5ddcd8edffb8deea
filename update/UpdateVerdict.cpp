#include "update/UpdateVerdict.h"

#include <charconv>
#include <chrono>

#include "chipdb/ChipListDate.h"
#include "update/UpdateInfo.h"
#include "update/VersionCompare.h"

namespace update {
namespace {

using std::chrono::year_month_day;

const TextPair kErrorStart{"An error occurred while checking for updates.\n",
                           "Произошла ошибка во время проверки обновления.\n"};
const TextPair kGoToPage{"\nGo to the download page?", "\nПерейти на страницу загрузки?"};

TextPair checkError(const TextPair& detail)
{
    return {kErrorStart.en + detail.en, kErrorStart.ru + detail.ru};
}

std::optional<int> parseInt(std::string_view text)
{
    int value = 0;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// "yyyy-MM-dd" or "dd.MM.yyyy", exactly ten characters.
std::optional<year_month_day> parseDate(std::string_view text)
{
    if (text.size() != 10) return std::nullopt;
    std::optional<int> y, m, d;
    if (text[4] == '-' && text[7] == '-') {
        y = parseInt(text.substr(0, 4)), m = parseInt(text.substr(5, 2)), d = parseInt(text.substr(8, 2));
    } else if (text[2] == '.' && text[5] == '.') {
        d = parseInt(text.substr(0, 2)), m = parseInt(text.substr(3, 2)), y = parseInt(text.substr(6, 4));
    }
    if (!y || !m || !d || *m < 1 || *d < 1) return std::nullopt;
    const year_month_day date{std::chrono::year{*y}, std::chrono::month{unsigned(*m)}, std::chrono::day{unsigned(*d)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

// A newer database has a later date and a larger serial; anything unreadable asks nothing.
bool chipListIsNewer(const std::string& remote, const LocalVersions& local, bool& unreadable)
{
    const auto remoteDate = parseDate(std::string_view(remote).substr(0, 10));
    const auto point = remote.rfind('.');
    const auto remoteSerial =
        parseInt(point == std::string::npos ? remote : std::string_view(remote).substr(point + 1));
    const auto localDate = chipdb::ymdFromChipListDate(local.chipListDate);
    unreadable = !remoteDate || !remoteSerial || !localDate;
    if (unreadable) return false;
    return std::chrono::sys_days(*remoteDate) > std::chrono::sys_days(*localDate) &&
           local.chipListVersion < *remoteSerial;
}

} // namespace

TextPair NoServerLine()
{
    return {"No update server is set: put its https:// address in Vespera.ini, [Update] Url.",
            "Сервер обновлений не задан: укажите его адрес https:// в Vespera.ini, [Update] Url."};
}

TextPair PlainHttpRefusedLine(std::string_view address)
{
    const std::string url(address);
    return {"The update address " + url +
                " is not HTTPS. Updates are checked over HTTPS only, so that nobody on the way can change the "
                "answer; change [Update] Url in Vespera.ini to an https:// address.",
            "Адрес обновлений " + url +
                " не HTTPS. Обновления проверяются только по HTTPS, чтобы ответ нельзя было подменить в пути; "
                "укажите в Vespera.ini, [Update] Url, адрес https://."};
}

TextPair UpToDateLine()
{
    return {"The program and the chip database are up to date.", "Программа и база данных микросхем не устарели."};
}

TextPair NewerVersionLine()
{
    return {"A newer version is available.", "Доступна более новая версия."};
}

namespace {

UpdateQuestion chipListQuestion(const std::string& remote)
{
    return {{"Chip database update check", "Проверка обновления базы данных микросхем"},
            {"An updated chip database ChipList.dat is available, \nversion " + remote + kGoToPage.en,
             "Доступна обновленная база данных микросхем ChipList.dat, \nверсия " + remote + kGoToPage.ru}};
}

UpdateQuestion programQuestion(const UpdateInfo& info)
{
    UpdateQuestion q{{"Program update to " + info.version, "Обновление программы до " + info.version},
                     {"A new version of the program is available: " + info.version,
                      "Обнаружена новая версия программы: " + info.version}};
    if (!info.changes.empty()) {
        q.text.en += "\nChanges in this version: " + info.changes;
        q.text.ru += "\nИзменения в версии: " + info.changes;
    }
    q.text.en += kGoToPage.en;
    q.text.ru += kGoToPage.ru;
    return q;
}

} // namespace

TextPair CannotCheckLine()
{
    return {"Cannot check for available updates,\ncheck your internet connection.",
            "Невозможно проверить доступные обновления,\nпроверьте подключение к интернету."};
}

TextPair NoStatusLine()
{
    return checkError({"Check your internet connection.", "Проверьте интернет-соединение."});
}

TextPair IncorrectInfoLine()
{
    return checkError(
        {"The update information on the server is incorrect.", "Информация об обновлении на сервере - некорректна."});
}

UpdateVerdict JudgeAnswer(int status, std::string_view reasonPhrase, std::span<const std::uint8_t> body,
                          const LocalVersions& local)
{
    UpdateVerdict verdict;
    if (status == -1) {
        verdict.error = NoStatusLine();
        return verdict;
    }
    if (status == 404) {
        verdict.error = checkError(
            {"The update information is missing on the server.", "Информация об обновлении отсутствует на сервере."});
        return verdict;
    }
    if (status != 200) {
        const std::string tail = std::to_string(status) + " - " + std::string(reasonPhrase);
        verdict.error = checkError({"Error " + tail, "Ошибка " + tail});
        return verdict;
    }
    const UpdateInfo info = ParseUpdateInfo(body);
    if (info.version.empty() || info.file.empty() || info.chipList.empty()) {
        verdict.error = IncorrectInfoLine();
        return verdict;
    }
    bool unreadable = false;
    if (chipListIsNewer(info.chipList, local, unreadable)) verdict.chipList = chipListQuestion(info.chipList);
    if (unreadable) return verdict; // ends without a word
    if (CompareVersions(info.version, local.program) == 1) verdict.program = programQuestion(info);
    return verdict;
}

} // namespace update
