// A small program that runs the patch job on each jar of its command line, for tests that need real
// processes: several runs at once, and real signals at chosen moments of a job.
//
//   job_driver [--signal-at=unpack|classes|pack] [--save-settings] FILE.jar...
// --save-settings reads the settings at start and writes them at two close requests, as the window does.
// Exit status: 0 when every job ended normally, 128 + signal when one was interrupted, 1 otherwise.
// Each job prints one line "<failure kind> <replacements>" on stdout.
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/MainForm.h"
#include "app/job/Interrupt.h"
#include "app/job/Texts.h"
#include "framework/Application.h"

namespace {

extern "C" void OnSignal(int signal) {
    std::signal(signal, OnSignal);  // Windows puts the default action back before calling a handler
    app::RequestStop(signal);
}

// Raises SIGINT from inside the job when it reaches `moment`: the signal goes through the system as one
// from a terminal would.
void SignalAt(app::Tfrm& frm, const std::string& moment) {
    if (moment == "unpack") {
        frm.UnJar.OnBegin = [job = frm.UnJar.OnBegin, seen = 0](fw::TObject* sender, const std::string& path,
                                                                int32_t count, bool& extract) mutable {
            job(sender, path, count, extract);
            if (++seen == 2)
                std::raise(SIGINT);
        };
    } else if (moment == "classes") {
        frm.fs.OnChangeFolder = [&frm](std::string) {
            if (frm.fs.FileNames().at(0) == "*.class")
                std::raise(SIGINT);
        };
    } else if (moment == "pack") {
        frm.Jar.OnBegin = [](fw::TObject*, const std::string&, int32_t, bool&) { std::raise(SIGINT); };
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    app::SetLanguage(app::TLanguage::English);
    fw::Application().SetTitle("Grandvue");
    fw::Application().OnException = [](fw::TObject*, const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    };
    auto frm = std::make_unique<app::Tfrm>(nullptr);
    frm->SaveSettingsOnClose = false;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--save-settings") {
            frm->DoCreate();
            frm->SaveSettingsOnClose = true;
            continue;
        }
        if (arg.rfind("--signal-at=", 0) == 0) {
            SignalAt(*frm, arg.substr(12));
            continue;
        }
        try {
            frm->cbBackup.SetChecked(false);
            frm->RunJob(arg);
        } catch (const std::exception&) {
            status = 1;
        }
        const app::TJobReport& report = frm->LastReport();
        std::printf("%d %d\n", static_cast<int>(report.Failure), report.Replacements);
        std::fflush(stdout);
        if (report.Failure == app::TJobFailure::jfInterrupted)
            return 128 + app::StopRequested();
    }
    frm->cbBackup.SetChecked(false);
    if (frm->SaveSettingsOnClose) {
        bool canClose = true;
        frm->FormCloseQuery(frm.get(), canClose);
        frm->FormCloseQuery(frm.get(), canClose);
    }
    return status;
}
