// Independent references from the host's Python: zlib compression and decompression, SHA-256.
#pragma once

#include <stdexcept>
#include <string>

#include "tests/TestUtil.h"

namespace hostpeers {

using testutil::Bytes;

// Runs a Python snippet that reads the file `in` and writes the file `out` (both host paths).
inline Bytes RunPython(const std::string& body, const Bytes& input) {
    testutil::TTempDir dir;
    const std::string in = dir / "in.bin", out = dir / "out.bin";
    testutil::WriteFile(in, input);
    const std::string script = "import sys, zlib, hashlib\nd = open(sys.argv[1], 'rb').read()\n" + body +
                               "\nopen(sys.argv[2], 'wb').write(r)\n";
    const int rc =
        testutil::RunHost("python3 -c " + testutil::Quote(script) + " " + testutil::Quote(testutil::ToHostPath(in)) +
                          " " + testutil::Quote(testutil::ToHostPath(out)) + " 2>/dev/null");
    if (rc != 0)
        throw std::runtime_error("python3 failed: " + body);
    return testutil::ReadFile(out);
}

inline Bytes Inflate(const Bytes& zlibStream) {
    return RunPython("r = zlib.decompress(d)", zlibStream);
}

inline Bytes Deflate(const Bytes& data) {
    return RunPython("r = zlib.compress(d)", data);
}

inline std::string Sha256(const Bytes& data) {
    const Bytes hex = RunPython("r = hashlib.sha256(d).hexdigest().encode()", data);
    return std::string(hex.begin(), hex.end());
}

}  // namespace hostpeers
