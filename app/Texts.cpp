#include "app/Texts.h"

#include <atomic>

namespace app {

namespace {
std::atomic<TLanguage> gLanguage{TLanguage::Russian};

struct TPair {
    const char* Russian;  // Windows-1251
    const char* English;
};

const TPair kTexts[] = {
    // "Инициализация"
    {"\xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF", "Initialising"},
    // "Создание backup копии jar файла"
    {"\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 backup \xEA\xEE\xEF\xE8\xE8 jar \xF4\xE0\xE9\xEB\xE0",
     "Making a backup copy of the jar file"},
    // "Извлечение файлов в временную директорию"
    {"\xC8\xE7\xE2\xEB\xE5\xF7\xE5\xED\xE8\xE5 \xF4\xE0\xE9\xEB\xEE\xE2 \xE2 "
     "\xE2\xF0\xE5\xEC\xE5\xED\xED\xF3\xFE \xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xFE",
     "Extracting files into the work folder"},
    // "Обработка классов"
    {"\xCE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xEA\xEB\xE0\xF1\xF1\xEE\xE2", "Patching classes"},
    // "Запись класса WideCv"
    {"\xC7\xE0\xEF\xE8\xF1\xFC \xEA\xEB\xE0\xF1\xF1\xE0 WideCv", "Writing the WideCv class"},
    // "Создание jar файла"
    {"\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 jar \xF4\xE0\xE9\xEB\xE0", "Creating the jar file"},
    // "Обновление jad файла"
    {"\xCE\xE1\xED\xEE\xE2\xEB\xE5\xED\xE8\xE5 jad \xF4\xE0\xE9\xEB\xE0", "Updating the jad file"},
    // "Очистка временной директории"
    {"\xCE\xF7\xE8\xF1\xF2\xEA\xE0 \xE2\xF0\xE5\xEC\xE5\xED\xED\xEE\xE9 \xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xE8",
     "Cleaning up the work folder"},
    // "Работа завершена"
    {"\xD0\xE0\xE1\xEE\xF2\xE0 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE0", "Done"},
    // "Не удалось создать backup копию файла %s. Файл не изменён"
    {"\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC backup \xEA\xEE\xEF\xE8\xFE "
     "\xF4\xE0\xE9\xEB\xE0 %s. \xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED",
     "Could not make a backup copy of %s. The file is unchanged"},
    // "Не удалось распаковать файл %s. Файл не изменён"
    {"\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF0\xE0\xF1\xEF\xE0\xEA\xEE\xE2\xE0\xF2\xFC \xF4\xE0\xE9\xEB %s. "
     "\xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED",
     "Could not unpack %s. The file is unchanged"},
    // "Не удалось создать jar файл %s. Файл не изменён"
    {"\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF1\xEE\xE7\xE4\xE0\xF2\xFC jar \xF4\xE0\xE9\xEB %s. "
     "\xD4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED",
     "Could not create the jar file %s. The file is unchanged"},
    // "Идёт обработка файла %s. Дождитесь завершения работы"
    {"\xC8\xE4\xB8\xF2 \xEE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xF4\xE0\xE9\xEB\xE0 %s. "
     "\xC4\xEE\xE6\xE4\xE8\xF2\xE5\xF1\xFC \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE8\xFF \xF0\xE0\xE1\xEE\xF2\xFB",
     "%s is being patched. Wait until the job ends"},
};
static_assert(sizeof(kTexts) / sizeof(kTexts[0]) == static_cast<size_t>(TText::Busy) + 1);
}  // namespace

void SetLanguage(TLanguage language) {
    gLanguage = language;
}

TLanguage Language() {
    return gLanguage;
}

const char* Text(TText id) {
    const TPair& pair = kTexts[static_cast<size_t>(id)];
    return Language() == TLanguage::Russian ? pair.Russian : pair.English;
}

}  // namespace app
