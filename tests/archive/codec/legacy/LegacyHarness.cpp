// Runs a legacy decoder over an in-memory stream, fed in pieces of a chosen size, and records its writes.
#include "LegacyHarness.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace legacytest {

TDecoded Decode(int method, uint16_t flags, const Bytes& packed, int64_t size, const TFeed& feed) {
    TDecoded result;
    size_t offset = 0;
    auto read = [&](uint8_t* buffer, int32_t count) -> int32_t {
        const size_t n = std::min({size_t(count), size_t(feed.piece), packed.size() - offset});
        if (n > 0)
            std::memcpy(buffer, packed.data() + offset, n);
        offset += n;
        return int32_t(n);
    };
    auto write = [&](const uint8_t* data, int32_t count) {
        if (result.writes++ >= feed.refuseAfterWrites)
            return false;
        result.largestChunk = std::max(result.largestChunk, size_t(count));
        result.data.insert(result.data.end(), data, data + count);
        return true;
    };
    result.status = archive::legacy::DecodeLegacy(method, flags, size, read, write);
    return result;
}

Bytes Random(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (auto& value : bytes)
        value = uint8_t(generator());
    return bytes;
}

Bytes Text(size_t size) {
    static const char* const kWords[] = {"class ", "Canvas ", "javax/microedition/lcdui/",
                                         "void ",  "paint(",  "Graphics g",
                                         ");\n",   "int ",    "width",
                                         "height", " = ",     "128",
                                         "116"};
    std::mt19937 generator(7);
    Bytes text;
    while (text.size() < size) {
        const char* word = kWords[generator() % std::size(kWords)];
        text.insert(text.end(), word, word + std::strlen(word));
    }
    text.resize(size);
    return text;
}

namespace {

// Long stretches of text, runs, random noise and DLE bytes, so every coding path is taken.
Bytes Mixed(size_t size) {
    Bytes mixed;
    uint32_t seed = 1;
    while (mixed.size() < size) {
        const Bytes text = Text(20000 + seed * 97);
        const Bytes noise = Random(3000 + seed * 13, seed);
        mixed.insert(mixed.end(), text.begin(), text.end());
        mixed.insert(mixed.end(), 700 + seed, uint8_t(144));
        mixed.insert(mixed.end(), noise.begin(), noise.end());
        mixed.insert(mixed.end(), 300, uint8_t(seed));
        ++seed;
    }
    mixed.resize(size);
    return mixed;
}

}  // namespace

std::vector<TSample> Samples() {
    return {
        {"empty", {}},         {"one byte", {0x90}},          {"repetitive", Bytes(100000, 'a')},
        {"text", Text(70000)}, {"random", Random(50000, 42)}, {"one MiB mixed", Mixed(1 << 20)},
    };
}

namespace {
void PutLe(Bytes& out, uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

// A one-entry archive "f.txt" holding `packed` under the given method and flags.
Bytes OneEntryZip(int method, uint16_t flags, const Bytes& packed, const Bytes& data) {
    const uint32_t crc = uint32_t(crc32(0, data.data(), uInt(data.size())));
    const std::string name = "f.txt";
    auto header = [&](Bytes& out, bool central) {
        PutLe(out, central ? 0x02014b50 : 0x04034b50, 4);
        if (central)
            PutLe(out, 10, 2);  // made by
        for (const uint32_t field : {10u, uint32_t(flags), uint32_t(method), 0u, 0x21u})
            PutLe(out, field, 2);  // needed, flags, method, time, date
        PutLe(out, crc, 4);
        PutLe(out, uint32_t(packed.size()), 4);
        PutLe(out, uint32_t(data.size()), 4);
        PutLe(out, uint32_t(name.size()), 2);
        PutLe(out, 0, 2);  // extra
        if (central) {
            PutLe(out, 0, 6);     // comment, disk, internal attributes
            PutLe(out, 0x20, 4);  // external attributes
            PutLe(out, 0, 4);     // local header offset
        }
        out.insert(out.end(), name.begin(), name.end());
    };
    Bytes zip;
    header(zip, false);
    zip.insert(zip.end(), packed.begin(), packed.end());
    const size_t centralStart = zip.size();
    header(zip, true);
    const size_t centralSize = zip.size() - centralStart;
    PutLe(zip, 0x06054b50, 4);
    PutLe(zip, 0, 4);  // disk numbers
    PutLe(zip, 1, 2);
    PutLe(zip, 1, 2);
    PutLe(zip, uint32_t(centralSize), 4);
    PutLe(zip, uint32_t(centralStart), 4);
    PutLe(zip, 0, 2);
    return zip;
}

}  // namespace legacytest
