// The super-link proof: it accepts the rewrite and rejects any other change, one byte at a time.
#include <gtest/gtest.h>

#include <string>

#include "ClassBuilder.h"
#include "JdkPeer.h"
#include "classfile/RelinkCheck.h"
#include "classfile/SuperRelink.h"

namespace {

using classfile_test::Bytes;

constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";
constexpr std::string_view kWide = "com/vidorurud/fullscreen/WideCv";

// Every single-byte change of a relinked class is caught, whatever byte it hits.
void ExpectEveryFlipRejected(const Bytes& in) {
    std::vector<uint8_t> out;
    ASSERT_TRUE(classfile::RelinkSuper(in, kCanvas, kWide, out).Ok());
    ASSERT_TRUE(classfile::IsSuperRelinkOf(in, out, kCanvas, kWide, nullptr));
    for (size_t at = 0; at < out.size(); ++at) {
        for (uint8_t mask : {0x01, 0x80}) {
            Bytes changed = out;
            changed[at] ^= mask;
            std::string why;
            EXPECT_FALSE(classfile::IsSuperRelinkOf(in, changed, kCanvas, kWide, &why)) << "byte " << at;
            EXPECT_FALSE(why.empty());
        }
    }
}

TEST(RelinkCheck, RejectsAOneByteChangeAnywhereInAnAssembledScreen) {
    for (uint16_t major = 45; major <= 48; ++major) {
        SCOPED_TRACE(major);
        ExpectEveryFlipRejected(classfile_test::CldcScreen(major, "games/Cldc", kCanvas));
    }
}

TEST(RelinkCheck, RejectsAOneByteChangeAnywhereInAJavacScreen) {
    if (!testutil::HostHas("javac"))
        GTEST_SKIP() << "no JDK";
    testutil::TTempDir dir;
    std::string log;
    ASSERT_TRUE(classfile_test::CompileWithMidp(
        dir,
        {{"probe/Two.java",
          "package probe; import javax.microedition.lcdui.*;\n"
          "public class Two extends Canvas { int n; public Two() { this(3); }\n"
          "  Two(int n) { super(); this.n = n > 0 ? n : 1; setFullScreenMode(n > 2); }\n"
          "  protected void paint(Graphics g) { Canvas c = this; g.fillRect(0, 0, c.getWidth() / n, 1); } }"}},
        &log))
        << log;
    ExpectEveryFlipRejected(classfile_test::CompiledClass(dir, "probe/Two"));
}

TEST(RelinkCheck, RejectsOtherRewritesOfTheSameClass) {
    const Bytes in = classfile_test::CldcScreen(47, "games/Cldc", kCanvas);
    std::vector<uint8_t> out;
    ASSERT_TRUE(classfile::RelinkSuper(in, kCanvas, kWide, out).Ok());
    // The old byte substitution: same length, every occurrence of the name replaced.
    Bytes substituted = in;
    const std::string canvas(kCanvas);
    for (auto at = std::search(substituted.begin(), substituted.end(), canvas.begin(), canvas.end());
         at != substituted.end(); at = std::search(at, substituted.end(), canvas.begin(), canvas.end()))
        at = std::copy(kWide.begin(), kWide.end(), at);
    Bytes longer = out;
    longer.push_back(0);
    struct TCase {
        const char* What;
        Bytes Rebuilt;
        std::string_view To;
    };
    const std::vector<TCase> cases = {
        {"the original itself", in, kWide},
        {"the byte substitution", substituted, kWide},
        {"a byte appended", longer, kWide},
        {"another new name", out, "com/vidorurud/fullscreen/WideCx"},
        {"cut by one byte", Bytes(out.begin(), out.end() - 1), kWide},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        std::string why;
        EXPECT_FALSE(classfile::IsSuperRelinkOf(in, c.Rebuilt, kCanvas, c.To, &why));
        EXPECT_FALSE(why.empty());
    }
}

}  // namespace
