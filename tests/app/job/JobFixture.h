// A main window driven as the user drives it, and sample MIDlet trees packed by the peer tools.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/forms/MainForm.h"

namespace jobtest {

using testutil::Bytes;
using TTree = std::map<std::string, Bytes>;  // entry name ("/" separated) -> content

extern const char kCanvas[];
extern const char kWideCanvas[];
extern const char kPayloadSha256[];

// A small MIDlet: classes that name the canvas (in several ways), ones that do not, resources that
// merely contain the text, a name without a dot, an empty file, nested folders, a .CLASS name.
TTree SampleTree();
// The tree as the job must leave it: every class with the text replaced, everything else unchanged.
TTree PatchedTree(const TTree& tree);
void WriteTree(const std::string& folder, const TTree& tree);

// Packs `tree` into `jar` with one of the peers: "zip", "7z", "python", "jar". False when the tool is missing.
bool PackWithPeer(const std::string& peer, const TTree& tree, const std::string& jar);
// The entries of an archive as unzip extracts them (directories left out).
TTree UnpackWithUnzip(const std::string& jar);
std::string Sha256(const std::string& path);  // by Python's hashlib
// Checks a patched archive: valid for the peers, every entry of `original` patched as the job must,
// the full-screen class added with the reference digest, nothing else.
void ExpectPatched(const std::string& jar, const TTree& original);

// One main window, as created at program start; the log and the errors the default display got.
class TJobRunner {
public:
    TJobRunner();
    ~TJobRunner();
    app::Tfrm& Form() { return *FForm; }
    // Clicks "Исправить Jar..." with the open dialog answering `archive` (empty: cancel).
    void Run(const std::string& archive);
    std::vector<std::string> Log() const;
    const std::vector<std::string>& Errors() const { return FErrors; }
    std::string WorkFolder() const;     // the running job's work directory (empty when idle)
    std::string LastRunFolder() const;  // the folder of the run's own that held the last job's work directory

private:
    std::unique_ptr<app::Tfrm> FForm;
    std::vector<std::string> FErrors;
    std::string FLastWorkFolder;
};

}  // namespace jobtest
