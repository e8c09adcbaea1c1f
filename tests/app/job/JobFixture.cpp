// Sample trees, peer packing and the driven main window for the patch-job tests.
#include "JobFixture.h"

#include <gtest/gtest.h>

#include "app/forms/Settings.h"
#include "app/job/SafeFiles.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "platform/Platform.h"

namespace jobtest {

const char kCanvas[] = "javax/microedition/lcdui/Canvas";
const char kWideCanvas[] = "com/vidorurud/fullscreen/WideCv";
const char kPayloadSha256[] = "1d1faeaaca4b72fe88b82e01dac830f0ba50d3e21d0d7d3431e1c33208b54f85";

namespace {
Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A class-file-like blob: magic, a few constant-pool-like strings, random filler.
Bytes ClassBytes(const std::vector<std::string>& names, uint32_t seed) {
    Bytes b = {0xCA, 0xFE, 0xBA, 0xBE, 0, 0, 0, 48};
    for (const auto& n : names) {
        b.push_back(1);
        b.push_back(0);
        b.push_back(static_cast<uint8_t>(n.size()));
        b.insert(b.end(), n.begin(), n.end());
        const Bytes filler = testutil::RandomBytes(37, seed++);
        b.insert(b.end(), filler.begin(), filler.end());
    }
    return b;
}

bool EndsWithClass(const std::string& name) {
    if (name.size() < 6)
        return false;
    std::string ext = name.substr(name.size() - 6);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".class";
}

Bytes ReplaceAll(Bytes data, const std::string& from, const std::string& to) {
    for (size_t i = 0; i + from.size() <= data.size(); ++i)
        if (std::equal(from.begin(), from.end(), data.begin() + static_cast<long>(i)))
            std::copy(to.begin(), to.end(), data.begin() + static_cast<long>(i));
    return data;
}
}  // namespace

TTree SampleTree() {
    const std::string canvas = kCanvas;
    TTree t;
    t["META-INF/MANIFEST.MF"] = Text("Manifest-Version: 1.0\r\nMIDlet-1: Game, /i.png, game.Main\r\n");
    t["game/Main.class"] = ClassBytes({"game/Main", "game/Board", "javax/microedition/midlet/MIDlet"}, 1);
    t["game/Board.class"] = ClassBytes({"game/Board", canvas, "(L" + canvas + ";)V", "L" + canvas + ";"}, 2);
    t["game/deep/er/Menu.CLASS"] = ClassBytes({canvas, canvas + canvas, canvas + "Ex"}, 3);
    t["game/Sprites.class"] = ClassBytes({"javax/microedition/lcdui/game/GameCanvas"}, 4);
    t["game/Tail.class"] = Text("tail:" + canvas);
    t["res/level.dat"] = Text("level data naming " + canvas + " stays as it is");
    t["res/i.png"] = testutil::RandomBytes(3000, 5);
    t["res/music.bin"] = testutil::RandomBytes(70000, 6);
    t["res/LICENSE"] = Text("no dot in this name\n");
    t["empty.txt"] = Bytes();
    return t;
}

TTree PatchedTree(const TTree& tree) {
    TTree out;
    for (const auto& [name, data] : tree)
        out[name] = EndsWithClass(name) ? ReplaceAll(data, kCanvas, kWideCanvas) : data;
    return out;
}

void WriteTree(const std::string& folder, const TTree& tree) {
    for (const auto& [name, data] : tree)
        testutil::WriteFile(testutil::Join(folder, name), data);
}

bool PackWithPeer(const std::string& peer, const TTree& tree, const std::string& jar) {
    const std::map<std::string, std::string> tools = {
        {"zip", "zip"}, {"7z", "7z"}, {"python", "python3"}, {"jar", "jar"}};
    if (!testutil::HostHas(tools.at(peer)))
        return false;
    testutil::TTempDir src;
    WriteTree(src.Path(), tree);
    const std::string from = testutil::Quote(testutil::ToHostPath(src.Path()));
    const std::string to = testutil::Quote(testutil::ToHostPath(jar));
    std::string command;
    if (peer == "zip")
        command = "cd " + from + " && zip -q -r " + to + " .";
    if (peer == "7z")
        command = "cd " + from + " && 7z a -tzip -bd " + to + " . >/dev/null";
    if (peer == "jar")
        command = "cd " + from + " && jar cfM " + to + " .";
    if (peer == "python")
        command = "cd " + from +
                  " && python3 -c \"import os,sys,zipfile\n"
                  "with zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED) as z:\n"
                  "  for r,d,f in sorted(os.walk('.')):\n"
                  "    for n in sorted(f): z.write(os.path.join(r,n), os.path.relpath(os.path.join(r,n),'.'))\" " +
                  to;
    return testutil::RunHost(command) == 0;
}

TTree UnpackWithUnzip(const std::string& jar) {
    testutil::TTempDir out;
    std::string listing;
    EXPECT_EQ(testutil::RunHost("unzip -q -o " + testutil::Quote(testutil::ToHostPath(jar)) + " -d " +
                                    testutil::Quote(testutil::ToHostPath(out.Path())) + " && cd " +
                                    testutil::Quote(testutil::ToHostPath(out.Path())) + " && find . -type f | sort",
                                &listing),
              0);
    TTree tree;
    size_t start = 0;
    while (start < listing.size()) {
        const size_t end = listing.find('\n', start);
        const std::string name = listing.substr(start + 2, end - start - 2);  // drop "./"
        tree[name] = testutil::ReadFile(testutil::Join(out.Path(), name));
        start = end + 1;
    }
    return tree;
}

std::string Sha256(const std::string& path) {
    std::string out;
    testutil::RunHost(
        "python3 -c \"import hashlib,sys;print(hashlib.sha256(open(sys.argv[1],'rb').read()).hexdigest())\" " +
            testutil::Quote(testutil::ToHostPath(path)),
        &out);
    return out.substr(0, 64);
}

namespace {
const char kPayloadEntry[] = "com/vidorurud/fullscreen/WideCv.class";

}  // namespace

// Checks a patched archive: valid for the peers, every entry as expected, the payload added.
void ExpectPatched(const std::string& jar, const TTree& original) {
    const std::string host = testutil::Quote(testutil::ToHostPath(jar));
    EXPECT_EQ(testutil::RunHost("unzip -tq " + host + " >/dev/null"), 0) << "unzip -t";
    if (testutil::HostHas("jar")) {
        EXPECT_EQ(testutil::RunHost("jar tf " + host + " >/dev/null"), 0) << "jar tf";
    }
    TTree got = UnpackWithUnzip(jar);
    ASSERT_EQ(got.count(kPayloadEntry), 1u);
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "WideCv.class", got[kPayloadEntry]);
    EXPECT_EQ(Sha256(dir / "WideCv.class"), kPayloadSha256);
    got.erase(kPayloadEntry);
    const TTree want = PatchedTree(original);
    for (const auto& [name, data] : want) {
        ASSERT_EQ(got.count(name), 1u) << name << " missing";
        EXPECT_TRUE(got[name] == data) << name << " differs";
    }
    EXPECT_EQ(got.size(), want.size());
}

TJobRunner::TJobRunner() {
    fw::Application().SetTitle("Grandvue");
    fw::Application().OnException = [this](fw::TObject*, const std::exception& e) { FErrors.push_back(e.what()); };
    FForm = std::make_unique<app::Tfrm>(nullptr);
    FForm->DoCreate();
    auto& reader = FForm->UnJar;
    reader.OnBegin = [this, job = reader.OnBegin](fw::TObject* sender, const std::string& path, int32_t count,
                                                  bool& extract) {
        FLastWorkFolder = FForm->WorkFolder();
        job(sender, path, count, extract);
    };
}

TJobRunner::~TJobRunner() {
    fw::Application().OnException = nullptr;
    fw::TOpenDialog::ClearAnswers();
}

void TJobRunner::Run(const std::string& archive) {
    fw::TOpenDialog::QueueAnswer(archive);
    fw::GuardedCall([this] { FForm->btnJarClick(&FForm->btnJar); });
}

std::vector<std::string> TJobRunner::Log() const {
    std::vector<std::string> lines;
    for (int i = 0; i < FForm->mem.Lines().Count(); ++i)
        lines.push_back(FForm->mem.Lines()[i]);
    return lines;
}

std::string TJobRunner::WorkFolder() const {
    return FForm->WorkFolder();
}

std::string TJobRunner::LastRunFolder() const {
    if (FLastWorkFolder.size() < 2)
        return {};
    return app::FolderOf(FLastWorkFolder.substr(0, FLastWorkFolder.size() - 1));
}

}  // namespace jobtest
