// The command line's texts: one table, English and Russian line for line.
#include "app/cli/Messages.h"

#include <cstdlib>

namespace cli {

namespace {

struct TPair {
    const char* English;
    const char* Russian;
};

const TPair kMessages[] = {
    {"Usage: grandvue [OPTION]... FILE.jar...\n"
     "       grandvue --about\n"
     "Rewrites each J2ME game archive so that its screens extend the full-screen canvas\n"
     "com/vidorurud/fullscreen/WideCv (Motorola C650 and C380), adds that class and writes\n"
     "the archive back under its name. Several files are patched one after the other.\n"
     "\n"
     "  -b, --backup         first copy FILE.jar to FILE.jar.bak (an existing copy is kept)\n"
     "  -n, --no-backup      make no backup copy\n"
     "  -q, --quiet          print nothing but errors\n"
     "  -v, --verbose        also name each class file changed\n"
     "      --save-settings  keep this run's backup choice for later runs (files optional)\n"
     "      --about          show who made the program\n"
     "  -h, --help           show this help and exit\n"
     "  -V, --version        show the version and exit\n"
     "      --               end of options (for file names that begin with '-')\n"
     "\n"
     "Without -b or -n a backup is made when the settings say so\n"
     "($XDG_CONFIG_HOME/grandvue/grandvue.ini, written only with --save-settings).\n"
     "\n"
     "Exit status: 0 when every file was patched, 1 when at least one was not,\n"
     "2 on a usage error, 128+N when stopped by signal N (130 for Ctrl+C).\n",
     "Использование: grandvue [ПАРАМЕТР]... ФАЙЛ.jar...\n"
     "               grandvue --about\n"
     "Переписывает каждый архив J2ME-игры так, чтобы её экраны наследовали полноэкранный\n"
     "класс com/vidorurud/fullscreen/WideCv (Motorola C650 и C380), добавляет этот класс\n"
     "и записывает архив под прежним именем. Несколько файлов обрабатываются по очереди.\n"
     "\n"
     "  -b, --backup         сначала скопировать ФАЙЛ.jar в ФАЙЛ.jar.bak (имеющаяся копия сохраняется)\n"
     "  -n, --no-backup      не создавать backup копию\n"
     "  -q, --quiet          выводить только ошибки\n"
     "  -v, --verbose        называть также каждый изменённый файл класса\n"
     "      --save-settings  запомнить выбор backup для следующих запусков (файлы не обязательны)\n"
     "      --about          показать сведения об авторе\n"
     "  -h, --help           показать эту справку и выйти\n"
     "  -V, --version        показать версию и выйти\n"
     "      --               конец параметров (для имён файлов, начинающихся с '-')\n"
     "\n"
     "Без -b и -n backup копия создаётся, если так сказано в настройках\n"
     "($XDG_CONFIG_HOME/grandvue/grandvue.ini, записываются только с --save-settings).\n"
     "\n"
     "Код возврата: 0, если исправлены все файлы, 1, если хотя бы один не исправлен,\n"
     "2 при ошибке в командной строке, 128+N при остановке сигналом N (130 для Ctrl+C).\n"},
    {"Try 'grandvue --help' for more information.", "Подробности: 'grandvue --help'."},
    {"unknown option '%s'", "неизвестный параметр '%s'"},
    {"an empty argument is not a file name", "пустой аргумент не является именем файла"},
    {"--about takes no files", "--about не принимает файлов"},
    {"no file given", "не указан файл"},
    {"the file is unchanged", "файл не изменён"},
    {"%s class file%s changed, %s occurrence%s replaced", "изменено файлов классов: %s%s, замен: %s%s"},
    {"  %s: %s", "  %s: %s"},
    {"no class file changed: none refers to the MIDP canvas javax/microedition/lcdui/Canvas",
     "ни один файл класса не изменён: ни один не ссылается на класс MIDP javax/microedition/lcdui/Canvas"},
    {"no class file changed: the jar was patched before (it already holds com/vidorurud/fullscreen/WideCv.class)",
     "ни один файл класса не изменён: архив уже был исправлен (в нём есть com/vidorurud/fullscreen/WideCv.class)"},
    {"%s: the .jad file beside it could not be updated", "%s: не удалось обновить .jad файл рядом с ним"},
    {"%s: the signature was removed from its .jad file: the game installs as an unsigned MIDlet",
     "%s: подпись удалена из его .jad файла: игра установится как неподписанная"},
    {"%s: the jar was signed; its signature no longer holds",
     "%s: архив был подписан; подпись больше не действительна"},
    {"%s: its .jad file was left as it was: its MIDlet-Jar-URL names another jar (%s)",
     "%s: его .jad-файл не изменён: MIDlet-Jar-URL в нём указывает на другой jar-файл (%s)"},
    {"%s: its .jad file had no MIDlet-Jar-Size line; one was added",
     "%s: в его .jad-файле не было строки MIDlet-Jar-Size; она добавлена"},
    {"could not save the settings to %s", "не удалось сохранить настройки в %s"},
    {"for Motorola C650 and C380 phones", "для телефонов Motorola C650 и C380"},
};
static_assert(sizeof(kMessages) / sizeof(kMessages[0]) == static_cast<size_t>(TMsg::AboutPhones) + 1);

std::string Fill(std::string text, std::initializer_list<std::string> args) {
    size_t from = 0;
    for (const std::string& arg : args) {
        const size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, arg);
        from = at + arg.size();
    }
    return text;
}

}  // namespace

bool IsRussianLocale(const std::string& locale) {
    // "ru", "ru_RU.UTF-8", "ru_UA", "ru@..." but not "rue" or "run".
    return locale.rfind("ru", 0) == 0 &&
           (locale.size() == 2 || std::string("_.@").find(locale[2]) != std::string::npos);
}

app::TLanguage LanguageFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return IsRussianLocale(value) ? app::TLanguage::Russian : app::TLanguage::English;
    }
    return app::TLanguage::English;
}

std::string PluralEnding(int count) {
    // The Russian texts put the number after a fixed noun, so only English nouns change.
    return app::Language() == app::TLanguage::English && count != 1 ? "s" : "";
}

std::string Msg(TMsg id, std::initializer_list<std::string> args) {
    const TPair& pair = kMessages[static_cast<size_t>(id)];
    return Fill(app::Language() == app::TLanguage::Russian ? pair.Russian : pair.English, args);
}

}  // namespace cli
