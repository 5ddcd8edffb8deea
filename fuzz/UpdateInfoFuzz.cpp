// Update.inf as any server may answer: the verdict is one error line or questions, never both,
// and every text it gives has both languages.

#include "fuzz/FuzzSupport.h"
#include "update/UpdateInfo.h"
#include "update/UpdateVerdict.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> body(data, size);
    update::ParseUpdateInfo(body);
    const update::LocalVersions local{"1.0.0", 46000, 1};
    const int status = size > 0 && data[0] == '#' ? 404 : 200;
    const update::UpdateVerdict verdict = update::JudgeAnswer(status, "OK", body, local);
    FUZZ_CHECK(!(verdict.error && (verdict.chipList || verdict.program)));
    if (verdict.error) FUZZ_CHECK(!verdict.error->en.empty() && !verdict.error->ru.empty());
    for (const auto& question : {verdict.chipList, verdict.program})
        if (question) FUZZ_CHECK(!question->text.en.empty() && !question->text.ru.empty());
    return 0;
}
