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
     "       grandvue -r [OPTION]... FOLDER...\n"
     "       grandvue --restore FILE.jar...\n"
     "Rewrites each J2ME game jar so that its screens extend the full-screen canvas\n"
     "com/vidorurud/fullscreen/WideCv (Motorola C650 and C380) and adds that class.\n"
     "The jar is replaced in place unless -o or -d says where it goes. A FILE.jad\n"
     "beside it gets the new MIDlet-Jar-Size; a signature in it is removed (the game\n"
     "then installs unsigned). Naming game.jad patches the jar its MIDlet-Jar-URL\n"
     "names, beside it.\n"
     "\n"
     "  -b, --backup         first copy FILE.jar to FILE.jar.bak (and the .jad to\n"
     "                       FILE.jad.bak); an existing copy is kept, and said so\n"
     "  -n, --no-backup      make no backup copy (the default)\n"
     "  -l, --dry-run, --list\n"
     "                       write nothing; say what a run would do\n"
     "  -o, --output=FILE    write the patched jar to FILE (one jar only)\n"
     "  -d, --directory=DIR  write the patched jars into DIR\n"
     "  -f, --force          let -o and -d replace an existing file\n"
     "  -r, --recursive      patch every *.jar below each FOLDER\n"
     "      --restore        put FILE.jar.bak and FILE.jad.bak back in place\n"
     "  -q, --quiet          print nothing but warnings and errors\n"
     "  -v, --verbose        also print each step and each class file changed\n"
     "      --save-settings  keep -b or -n for later runs (files optional)\n"
     "      --about          show who made the program\n"
     "  -h, --help           show this help and exit\n"
     "  -V, --version        show the version and exit\n"
     "\n"
     "Without -b or -n a backup is made only when the settings say so\n"
     "($XDG_CONFIG_HOME/grandvue/grandvue.ini, written only by --save-settings).\n"
     "\n"
     "Exit status: 0 when every file was patched or needed nothing, 1 when at least\n"
     "one failed, 2 on a usage error, 128+N when stopped by signal N (130: Ctrl+C).\n",
     "Использование: grandvue [ПАРАМЕТР]... ФАЙЛ.jar...\n"
     "               grandvue -r [ПАРАМЕТР]... ПАПКА...\n"
     "               grandvue --restore ФАЙЛ.jar...\n"
     "Переписывает jar-файл каждой J2ME-игры так, чтобы её экраны наследовали\n"
     "полноэкранный класс com/vidorurud/fullscreen/WideCv (Motorola C650 и C380),\n"
     "и добавляет этот класс. Jar-файл заменяется на месте, если -o или -d не\n"
     "указывают другое место. В ФАЙЛ.jad рядом с ним записывается новый\n"
     "MIDlet-Jar-Size; подпись из него удаляется (игра установится неподписанной).\n"
     "Если указан game.jad, исправляется jar-файл рядом, названный в MIDlet-Jar-URL.\n"
     "\n"
     "  -b, --backup         сначала скопировать ФАЙЛ.jar в ФАЙЛ.jar.bak (и .jad\n"
     "                       в ФАЙЛ.jad.bak); имеющаяся копия сохраняется\n"
     "  -n, --no-backup      не создавать резервную копию (по умолчанию)\n"
     "  -l, --dry-run, --list\n"
     "                       ничего не записывать; сказать, что будет сделано\n"
     "  -o, --output=ФАЙЛ    записать исправленный jar-файл в ФАЙЛ (один файл)\n"
     "  -d, --directory=ПАПКА  записать исправленные jar-файлы в ПАПКУ\n"
     "  -f, --force          разрешить -o и -d заменять имеющийся файл\n"
     "  -r, --recursive      исправить все *.jar в каждой ПАПКЕ и глубже\n"
     "      --restore        вернуть на место ФАЙЛ.jar.bak и ФАЙЛ.jad.bak\n"
     "  -q, --quiet          выводить только предупреждения и ошибки\n"
     "  -v, --verbose        выводить также шаги и каждый изменённый файл класса\n"
     "      --save-settings  запомнить -b или -n для следующих запусков\n"
     "      --about          показать сведения об авторе\n"
     "  -h, --help           показать эту справку и выйти\n"
     "  -V, --version        показать версию и выйти\n"
     "\n"
     "Без -b и -n резервная копия создаётся, только если так сказано в настройках\n"
     "($XDG_CONFIG_HOME/grandvue/grandvue.ini, их пишет только --save-settings).\n"
     "\n"
     "Код возврата: 0, если все файлы исправлены или не требовали изменений,\n"
     "1, если хотя бы один не исправлен, 2 при ошибке в командной строке,\n"
     "128+N при остановке сигналом N (130 для Ctrl+C).\n"},
    {"Try 'grandvue --help' for more information.", "Подробности: 'grandvue --help'."},
    {"unknown option '%s'", "неизвестный параметр '%s'"},
    {"option '%s' needs an argument", "параметру '%s' нужно значение"},
    {"an empty argument is not a file name", "пустой аргумент не является именем файла"},
    {"--about takes no files", "--about не принимает файлов"},
    {"no file given", "не указан файл"},
    {"--save-settings keeps -b or -n: give one of them", "--save-settings запоминает -b или -n: укажите один из них"},
    {"-o takes one jar; use -d DIR for several", "-o принимает один jar-файл; для нескольких есть -d ПАПКА"},
    {"-o and -d cannot go together", "-o и -d нельзя указывать вместе"},
    {"--restore cannot go with -o, -d or --dry-run", "--restore нельзя указывать вместе с -o, -d или --dry-run"},
    {"the file is unchanged", "файл не изменён"},
    {"%s class file%s changed, %s occurrence%s replaced", "изменено файлов классов: %s%s, замен: %s%s"},
    {"  %s: %s", "  %s: %s"},
    {"%s class file%s changed, superclass link only (the game also has %s screens)",
     "изменено файлов классов: %s%s, только ссылка на суперкласс (в игре есть и экраны %s)"},
    {"no class file changed: none refers to the MIDP canvas javax/microedition/lcdui/Canvas",
     "ни один файл класса не изменён: ни один не ссылается на класс MIDP javax/microedition/lcdui/Canvas"},
    {"no class file changed: the jar was patched before (it already holds com/vidorurud/fullscreen/WideCv.class)",
     "ни один файл класса не изменён: архив уже был исправлен (в нём есть com/vidorurud/fullscreen/WideCv.class)"},
    {"%s: the .jad file beside it could not be updated", "%s: не удалось обновить .jad-файл рядом с ним"},
    {"%s: the signature was removed from its .jad file: the game installs as an unsigned MIDlet",
     "%s: подпись удалена из его .jad-файла: игра установится как неподписанная"},
    {"%s: the jar was signed; its signature no longer holds",
     "%s: архив был подписан; подпись больше не действительна"},
    {"%s: its .jad file was left as it was: its MIDlet-Jar-URL names another jar (%s)",
     "%s: его .jad-файл не изменён: MIDlet-Jar-URL в нём указывает на другой jar-файл (%s)"},
    {"%s: its .jad file had no MIDlet-Jar-Size line; one was added",
     "%s: в его .jad-файле не было строки MIDlet-Jar-Size; она добавлена"},
    {"could not save the settings to %s", "не удалось сохранить настройки в %s"},
    {"%s: %s", "%s: %s"},
    {"%s jar%s: %s patched, %s left unchanged, %s failed",
     "jar-файлов: %s%s; исправлено: %s, оставлено без изменений: %s, с ошибкой: %s"},
    {"%s jar%s: %s restored, %s failed", "jar-файлов: %s%s; восстановлено: %s, с ошибкой: %s"},
    {"%s: kept the existing %s (from %s); no new backup made",
     "%s: оставлена имеющаяся резервная копия %s (от %s); новая не создана"},
    {"%s: backup copy made at %s", "%s: резервная копия создана: %s"},
    {"%s: cannot create a work folder in %s ($TMPDIR): %s; the file is unchanged",
     "%s: не удаётся создать рабочую папку во временной папке %s ($TMPDIR): %s; файл не изменён"},
    {"no such folder", "нет такой папки"},
    {"not a folder", "это не папка"},
    {"permission denied", "доступ запрещён"},
    {"%s: the disk of the work folder %s ($TMPDIR) is full; the file is unchanged",
     "%s: диск с рабочей папкой во временной папке %s ($TMPDIR) заполнен; файл не изменён"},
    {"write error on standard output: %s", "ошибка записи в стандартный вывод: %s"},
    {"%s: a .jad file; the jar it names (%s) is not beside it; the file is unchanged",
     "%s: это .jad-файл; названного в нём jar-файла (%s) рядом нет; файл не изменён"},
    {"%s: no such file", "%s: файл не найден"},
    {"%s: a .jad file without MIDlet-Jar-URL; name the jar file instead",
     "%s: .jad-файл без MIDlet-Jar-URL; укажите jar-файл"},
    {"%s: %s exists; -f replaces it; the file is unchanged", "%s: %s уже есть; -f заменит его; файл не изменён"},
    {"%s: not a folder for -d: %s", "%s: -d указывает не на папку: %s"},
    {"%s: %s is a folder; -d writes into a folder; the file is unchanged",
     "%s: %s — это папка; в папку записывает -d; файл не изменён"},
    {"%s: the folder of %s cannot be written; the file is unchanged",
     "%s: в папку файла %s нельзя записать; файл не изменён"},
    {"%s: would change %s class file%s by %s", "%s: будет изменено файлов классов: %s%s (%s)"},
    {"full substitution (every mention of Canvas names the full-screen canvas)",
     "полная замена: каждое упоминание Canvas заменяется полноэкранным классом"},
    {"superclass link (only the screens' superclass changes: the game also has %s screens)",
     "замена суперкласса: меняется только суперкласс экранов, так как в игре есть и экраны %s"},
    {"  %s: Canvas named %s time%s", "  %s: упоминаний Canvas: %s%s"},
    {"  %s: its superclass Canvas becomes WideCv", "  %s: суперкласс Canvas станет WideCv"},
    {"  adds com/vidorurud/fullscreen/WideCv.class", "  добавится com/vidorurud/fullscreen/WideCv.class"},
    {"  %s: gets the new MIDlet-Jar-Size", "  %s: получит новый MIDlet-Jar-Size"},
    {"  %s: loses its signature; the game installs unsigned", "  %s: потеряет подпись; игра установится неподписанной"},
    {"  %s: left as it is: its MIDlet-Jar-URL names another jar (%s)",
     "  %s: останется как есть: MIDlet-Jar-URL указывает на другой jar-файл (%s)"},
    {"  %s: written updated", "  %s: будет записан обновлённым"},
    {"  the jar's own signature would no longer hold", "  собственная подпись jar-файла станет недействительной"},
    {"  backup: %s would be made", "  резервная копия: будет создана %s"},
    {"  backup: the existing %s (from %s) would be kept; no new one",
     "  резервная копия: останется имеющаяся %s (от %s); новая не создаётся"},
    {"  no backup copy (-b makes one)", "  без резервной копии (её создаёт -b)"},
    {"  written to %s", "  будет записан в %s"},
    {"%s: restored from %s", "%s: восстановлен из %s"},
    {"%s: no backup %s to restore; the file is unchanged", "%s: нет резервной копии %s; файл не изменён"},
    {"%s: could not restore from %s: %s; the file is unchanged",
     "%s: не удалось восстановить из %s: %s; файл не изменён"},
    {"%s: no jar files found below", "%s: jar-файлы не найдены"},
    {"%s: not a folder; -r takes folders", "%s: это не папка; -r принимает папки"},
    {"saved: later runs make a backup copy (%s)", "сохранено: следующие запуски создают резервную копию (%s)"},
    {"saved: later runs make no backup copy (%s)", "сохранено: следующие запуски не создают резервную копию (%s)"},
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
