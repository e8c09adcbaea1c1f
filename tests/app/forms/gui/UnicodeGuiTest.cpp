// A jar whose folder and entry names lie outside the ANSI code page, dropped on the real main window under
// the Russian locale: patched in place with its UTF-8 names kept, as on Linux.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/forms/AboutForm.h"
#include "app/forms/MainForm.h"
#include "platform/Platform.h"
#include "tests/framework/gui/GuiDriver.h"

namespace {

const char kFolder[] = "M\xC3\xBCller";                 // outside code page 1251
const char kJar[] = "\xE6\x97\xA5\xE6\x9C\xAC.jar";     // outside every single-byte code page
const char kEntry[] = "res/na\xC3\xAFve-\xC3\xBC.txt";  // stored with bit 11, as Python's zipfile writes it

// Python's zipfile writes the jar: a class naming the canvas, and a resource with a UTF-8 name.
std::string MakeJar(const testutil::TTempDir& dir) {
    const std::string folder = dir / kFolder;
    EXPECT_TRUE(platform::CreateDirectory(folder));
    const std::string jar = folder + platform::PathDelim + kJar;
    const std::string script =
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    z.writestr('META-INF/MANIFEST.MF', 'Manifest-Version: 1.0\\r\\n\\r\\n')\n"
        "    z.writestr('Main.class', b'\\xca\\xfe\\xba\\xbe' + b'javax/microedition/lcdui/Canvas')\n"
        "    z.writestr(sys.argv[2], 'gr\\u00fc\\u00dfe')\n";
    EXPECT_EQ(testutil::RunHost("python3 -c " + testutil::Quote(script) + " " +
                                testutil::Quote(testutil::ToHostPath(jar)) + " " + testutil::Quote(kEntry)),
              0);
    return jar;
}

// What Python reads back: the resource under its UTF-8 name with bit 11 and its bytes, and the added class.
std::string CheckedByPython(const std::string& jar) {
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "i = z.getinfo(sys.argv[2])\n"
        "print(i.flag_bits & 0x800, z.read(i).decode(), 'com/vidorurud/fullscreen/WideCv.class' in z.namelist(),\n"
        "      z.testzip())\n";
    std::string out;
    testutil::RunHost("python3 -c " + testutil::Quote(script) + " " + testutil::Quote(testutil::ToHostPath(jar)) + " " +
                          testutil::Quote(kEntry) + " 2>&1",
                      &out);
    return out;
}

TEST(UnicodeMainWindow, DroppedJarOutsideTheAnsiCodePageIsPatchedWithItsUtf8NamesKept) {
    if (!testutil::HostHas("python3"))
        GTEST_SKIP() << "python3 missing";
    testutil::TTempDir dir;
    const std::string jar = MakeJar(dir);
    ASSERT_EQ(CheckedByPython(jar),
              "2048 gr\xC3\xBC\xC3\x9F"
              "e False None\n");

    std::vector<std::string> errors;
    fw::Application().OnException = [&](fw::TObject*, const std::exception& e) { errors.push_back(e.what()); };
    if (!app::frmAbout)
        fw::CreateForm(app::frmAbout);
    auto frm = std::make_unique<app::Tfrm>(&fw::Application());
    frm->DoCreate();
    frm->Show();
    HWND w = guitest::WindowOf(*frm);
    guitest::WaitActive(w);
    frm->cbBackup.SetChecked(true);
    guitest::PostDrop(w, {jar});
    guitest::Pump();
    fw::Application().OnException = nullptr;

    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    EXPECT_EQ(CheckedByPython(jar),
              "2048 gr\xC3\xBC\xC3\x9F"
              "e True None\n");
    EXPECT_TRUE(platform::FileExists(jar + ".bak"));
    EXPECT_GE(frm->mem.Lines().Count(), 6);
}

}  // namespace
