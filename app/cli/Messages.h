// The command line's own texts, in English and in Russian (UTF-8), and the choice between them.
#pragma once

#include <initializer_list>
#include <string>

#include "app/job/Texts.h"

namespace cli {

enum class TMsg {
    Help,
    TryHelp,
    UnknownOption,
    MissingArgument,
    EmptyArgument,
    AboutWithFiles,
    NoFiles,
    SaveWithoutChoice,
    OutputWithSeveral,
    OutputAndFolder,
    RestoreWithOthers,
    // Said after a failure's reason (app/job/Reasons) when the file stays as it was.
    Unchanged,
    // The summary of a patched jar.
    ClassesChanged,
    ClassChanged,
    ClassesRelinked,
    NoneChanged,
    PatchedBefore,
    JadNotUpdated,
    JadSignatureRemoved,
    JarSigned,
    JadOtherJar,
    JadSizeAdded,
    SettingsNotSaved,
    JarLine,
    BatchSummary,
    RestoreSummary,
    BackupKept,
    BackupMadeAt,
    WorkFolderFailed,
    NoSuchFolder,
    NotAFolder,
    PermissionDenied,
    WorkDiskFull,
    StdoutFailed,
    JadJarMissing,
    NoSuchFile,
    JadWithoutUrl,
    OutputExists,
    OutputDirMissing,
    OutputIsFolder,
    OutputFolderReadOnly,
    DryChanges,
    DryRuleSubstitute,
    DryRuleSuperLink,
    DryClassSubstitute,
    DryClassSuperLink,
    DryPayload,
    DryJadSize,
    DryJadSignature,
    DryJadOther,
    DryJadWritten,
    DryJarSigned,
    DryBackupMake,
    DryBackupKeep,
    DryNoBackup,
    DryOutput,
    Restored,
    NoBackupToRestore,
    RestoreFailed,
    NoJarsBelow,
    NotAFolderForR,
    SavedBackup,
    SavedNoBackup,
    AboutPhones,
};

// Russian when the first non-empty of LC_ALL, LC_MESSAGES and LANG names a Russian locale.
app::TLanguage LanguageFromEnvironment();
bool IsRussianLocale(const std::string& locale);

// "s" for an English noun counted `count` times when that is not one; empty otherwise.
std::string PluralEnding(int count);

// The text in app::Language(), each "%s" in turn replaced by the next argument.
std::string Msg(TMsg id, std::initializer_list<std::string> args = {});

}  // namespace cli
