// Test-only encoders for the legacy methods, written from the published format descriptions.
#include "LegacyEncoders.h"

#include <algorithm>
#include <array>
#include <queue>
#include <unordered_map>

namespace legacytest {

void TBitWriter::Put(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        FBits |= ((value >> i) & 1u) << FCount;
        if (++FCount == 8) {
            FBytes.push_back(uint8_t(FBits));
            FBits = 0;
            FCount = 0;
        }
    }
}

void TBitWriter::PutCode(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i)
        Put(code >> i, 1);
}

Bytes TBitWriter::Finish() {
    if (FCount > 0)
        FBytes.push_back(uint8_t(FBits));
    FBits = 0;
    FCount = 0;
    return std::move(FBytes);
}

// ---- shrink: LZW whose table mirrors what the decoder rebuilds one code later ----

namespace {

class TShrinkTable {
public:
    bool Full() const { return FNext >= kSize; }
    bool Find(uint32_t parent, uint8_t value, uint32_t& code) const {
        const auto it = FCodes.find(parent << 8 | value);
        if (it == FCodes.end())
            return false;
        code = it->second;
        return true;
    }
    bool HasChildren(uint32_t code) const { return FChildren[code] > 0; }
    void Add(uint32_t parent, uint8_t value) {
        if (Full())
            return;
        FCodes[parent << 8 | value] = FNext;
        FEntry[FNext] = {parent, value, true};
        ++FChildren[parent];
        Advance(FNext + 1);
    }
    // Frees the strings nobody extends at this moment (not repeatedly).
    void PartialClear() {
        std::vector<uint32_t> leaves;
        for (uint32_t code = kFirst; code < kSize; ++code) {
            if (FEntry[code].used && FChildren[code] == 0)
                leaves.push_back(code);
        }
        for (const uint32_t code : leaves) {
            FEntry[code].used = false;
            --FChildren[FEntry[code].parent];
            FCodes.erase(FEntry[code].parent << 8 | FEntry[code].value);
        }
        Advance(kFirst);
    }

private:
    void Advance(uint32_t from) {
        FNext = from;
        while (FNext < kSize && FEntry[FNext].used)
            ++FNext;
    }
    struct TEntry {
        uint32_t parent = 0;
        uint8_t value = 0;
        bool used = false;
    };
    static constexpr uint32_t kFirst = 257;
    static constexpr uint32_t kSize = 8192;
    std::vector<TEntry> FEntry = std::vector<TEntry>(kSize);
    std::vector<uint32_t> FChildren = std::vector<uint32_t>(kSize, 0);
    std::unordered_map<uint32_t, uint32_t> FCodes;
    uint32_t FNext = kFirst;
};

}  // namespace

TShrinkResult Shrink(const Bytes& data, const TShrinkOptions& options) {
    TShrinkResult result;
    if (data.empty())
        return result;
    TBitWriter out;
    TShrinkTable table;
    auto emit = [&](uint32_t code) {
        while (code >= (1u << result.codeSize)) {
            out.Put(256, result.codeSize);
            out.Put(1, result.codeSize);
            ++result.codeSize;
        }
        out.Put(code, result.codeSize);
    };
    uint32_t current = data[0];
    uint32_t emitted = 0;
    for (size_t pos = 1; pos < data.size(); ++pos) {
        uint32_t longer = 0;
        if (table.Find(current, data[pos], longer)) {
            current = longer;
            continue;
        }
        emit(current);
        ++emitted;
        const bool wanted = table.Full() || (options.clearEvery > 0 && emitted % options.clearEvery == 0);
        // The decoder's next entry hangs on the code just sent, so that code must survive the clear.
        if (wanted && (current < 256 || table.HasChildren(current))) {
            out.Put(256, result.codeSize);
            out.Put(2, result.codeSize);
            table.PartialClear();
            ++result.clears;
        }
        table.Add(current, data[pos]);
        current = data[pos];
    }
    emit(current);
    result.packed = out.Finish();
    return result;
}

// ---- a greedy match finder shared by the reduce and implode encoders ----

namespace {

struct TToken {
    uint32_t length;    // 0: literal
    uint32_t distance;  // 1-based
    uint8_t literal;
};

std::vector<TToken> Parse(const Bytes& data, uint32_t maxDistance, uint32_t minLength, uint32_t maxLength) {
    constexpr int kCandidates = 24;
    std::vector<int64_t> head(65536, -1);
    std::vector<int64_t> previous(data.size(), -1);
    auto insert = [&](size_t pos) {
        if (pos + 1 >= data.size())
            return;
        const uint32_t key = uint32_t(data[pos]) << 8 | data[pos + 1];
        previous[pos] = head[key];
        head[key] = int64_t(pos);
    };
    std::vector<TToken> tokens;
    size_t pos = 0;
    while (pos < data.size()) {
        uint32_t bestLength = 0, bestDistance = 0;
        if (pos + 1 < data.size()) {
            int64_t candidate = head[uint32_t(data[pos]) << 8 | data[pos + 1]];
            for (int tries = 0; tries < kCandidates && candidate >= 0; ++tries) {
                const size_t distance = pos - size_t(candidate);
                if (distance > maxDistance)
                    break;
                uint32_t length = 0;
                while (length < maxLength && pos + length < data.size() &&
                       data[size_t(candidate) + length] == data[pos + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = uint32_t(distance);
                }
                candidate = previous[size_t(candidate)];
            }
        }
        if (bestLength >= minLength) {
            tokens.push_back({bestLength, bestDistance, 0});
            for (uint32_t i = 0; i < bestLength; ++i)
                insert(pos + i);
            pos += bestLength;
        } else {
            tokens.push_back({0, 0, data[pos]});
            insert(pos);
            ++pos;
        }
    }
    return tokens;
}

}  // namespace

// ---- reduce: copy stage with DLE escapes, then follower-set coding of its bytes ----

namespace {

constexpr uint8_t kDle = 144;

Bytes ReduceCopyStage(const Bytes& data, int factor) {
    const uint32_t lengthMask = 0xFFu >> factor;
    const uint32_t maxDistance = 1u << (8 + factor);
    Bytes stage;
    auto putLiteral = [&](uint8_t value) {
        stage.push_back(value);
        if (value == kDle)
            stage.push_back(0);
    };
    size_t pos = 0;
    for (const TToken& token : Parse(data, maxDistance, 3, lengthMask + 255 + 3)) {
        const uint32_t high = (token.distance - 1) >> 8;
        // A marker byte of 0 would read as an escaped DLE, so short near copies go out as bytes.
        if (token.length == 0 || (token.length == 3 && high == 0)) {
            for (uint32_t i = 0; i < std::max<uint32_t>(token.length, 1); ++i)
                putLiteral(data[pos + i]);
            pos += std::max<uint32_t>(token.length, 1);
            continue;
        }
        const uint32_t extra = token.length - 3;
        stage.push_back(kDle);
        stage.push_back(uint8_t((high << (8 - factor)) | std::min(extra, lengthMask)));
        if (extra >= lengthMask)
            stage.push_back(uint8_t(extra - lengthMask));
        stage.push_back(uint8_t(token.distance - 1));
        pos += token.length;
    }
    return stage;
}

int FollowerIndexBits(size_t count) {
    // Bits of an index into a set of `count` followers: 1-2 -> 1, 3-4 -> 2, 5-8 -> 3, 9-16 -> 4, 17-32 -> 5.
    static const std::array<int, 33> kBits = {0, 1, 1, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4,
                                              5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    return kBits[count];
}

// For every byte, its most frequent successors in the stage (the first byte's predecessor is 0).
std::vector<Bytes> FollowerSets(const Bytes& stage, uint32_t maxFollowers) {
    std::vector<std::array<uint32_t, 256>> counts(256, std::array<uint32_t, 256>{});
    uint8_t last = 0;
    for (const uint8_t value : stage) {
        ++counts[last][value];
        last = value;
    }
    std::vector<Bytes> sets(256);
    for (int owner = 0; owner < 256; ++owner) {
        for (int value = 0; value < 256; ++value) {
            if (counts[owner][value] > 0)
                sets[owner].push_back(uint8_t(value));
        }
        std::stable_sort(sets[owner].begin(), sets[owner].end(),
                         [&](uint8_t a, uint8_t b) { return counts[owner][a] > counts[owner][b]; });
        if (sets[owner].size() > maxFollowers)
            sets[owner].resize(maxFollowers);
    }
    return sets;
}

}  // namespace

Bytes Reduce(const Bytes& data, int factor, uint32_t maxFollowers) {
    const Bytes stage = ReduceCopyStage(data, factor);
    const std::vector<Bytes> sets = FollowerSets(stage, maxFollowers);
    TBitWriter out;
    for (int owner = 255; owner >= 0; --owner) {
        out.Put(uint32_t(sets[owner].size()), 6);
        for (const uint8_t value : sets[owner])
            out.Put(value, 8);
    }
    uint8_t last = 0;
    for (const uint8_t value : stage) {
        const Bytes& set = sets[last];
        const auto found = std::find(set.begin(), set.end(), value);
        if (!set.empty() && found != set.end()) {
            out.Put(0, 1);
            out.Put(uint32_t(found - set.begin()), FollowerIndexBits(set.size()));
        } else {
            if (!set.empty())
                out.Put(1, 1);
            out.Put(value, 8);
        }
        last = value;
    }
    return out.Finish();
}

// ---- implode: Huffman lengths (at most 16 bits), sent as the bit complement of canonical codes ----

namespace {

constexpr int kMaxCodeLength = 16;

std::vector<int> CodeLengths(std::vector<uint64_t> frequencies) {
    for (auto& frequency : frequencies)
        ++frequency;  // every value needs a code
    for (;;) {
        const size_t n = frequencies.size();
        std::vector<int> parent(2 * n, -1);
        using TNode = std::pair<uint64_t, int>;
        std::priority_queue<TNode, std::vector<TNode>, std::greater<TNode>> queue;
        for (size_t i = 0; i < n; ++i)
            queue.push({frequencies[i], int(i)});
        int next = int(n);
        while (queue.size() > 1) {
            const TNode a = queue.top();
            queue.pop();
            const TNode b = queue.top();
            queue.pop();
            parent[a.second] = parent[b.second] = next;
            queue.push({a.first + b.first, next++});
        }
        std::vector<int> lengths(n, 0);
        int longest = 0;
        for (size_t i = 0; i < n; ++i) {
            for (int node = int(i); parent[node] >= 0; node = parent[node])
                ++lengths[i];
            longest = std::max(longest, lengths[i]);
        }
        if (longest <= kMaxCodeLength)
            return lengths;
        for (auto& frequency : frequencies)
            frequency = frequency / 2 + 1;
    }
}

struct TPrefixCode {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;

    explicit TPrefixCode(const std::vector<uint64_t>& frequencies) : lengths(CodeLengths(frequencies)) {
        // Canonical codes (shorter first, then by value), complemented: the longest codes start at all zeros.
        std::array<uint32_t, kMaxCodeLength + 2> next{};
        std::array<uint32_t, kMaxCodeLength + 1> count{};
        for (const int length : lengths)
            ++count[length];
        uint32_t code = 0;
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            code = (code + count[length - 1]) << 1;
            next[length] = code;
        }
        codes.resize(lengths.size());
        for (size_t value = 0; value < lengths.size(); ++value)
            codes[value] = ~next[lengths[value]]++ & ((1u << lengths[value]) - 1);
    }

    void WriteDescription(TBitWriter& out) const {
        Bytes runs;
        for (size_t i = 0; i < lengths.size();) {
            size_t run = 1;
            while (run < 16 && i + run < lengths.size() && lengths[i + run] == lengths[i])
                ++run;
            runs.push_back(uint8_t((run - 1) << 4 | (lengths[i] - 1)));
            i += run;
        }
        out.Put(uint32_t(runs.size() - 1), 8);
        for (const uint8_t run : runs)
            out.Put(run, 8);
    }

    void Write(TBitWriter& out, uint32_t value) const { out.PutCode(codes[value], lengths[value]); }
};

}  // namespace

Bytes Implode(const Bytes& data, bool bigWindow, bool literalTree) {
    const int lowBits = bigWindow ? 7 : 6;
    const uint32_t minLength = literalTree ? 3 : 2;
    const std::vector<TToken> tokens = Parse(data, 64u << lowBits, minLength, minLength + 63 + 255);
    std::vector<uint64_t> literals(256, 0), lengths(64, 0), distances(64, 0);
    for (const TToken& token : tokens) {
        if (token.length == 0) {
            ++literals[token.literal];
            continue;
        }
        ++lengths[std::min<uint32_t>(token.length - minLength, 63)];
        ++distances[(token.distance - 1) >> lowBits];
    }
    const TPrefixCode literalCode(literals), lengthCode(lengths), distanceCode(distances);
    TBitWriter out;
    if (literalTree)
        literalCode.WriteDescription(out);
    lengthCode.WriteDescription(out);
    distanceCode.WriteDescription(out);
    for (const TToken& token : tokens) {
        if (token.length == 0) {
            out.Put(1, 1);
            if (literalTree)
                literalCode.Write(out, token.literal);
            else
                out.Put(token.literal, 8);
            continue;
        }
        out.Put(0, 1);
        out.Put((token.distance - 1) & ((1u << lowBits) - 1), lowBits);
        distanceCode.Write(out, (token.distance - 1) >> lowBits);
        const uint32_t length = token.length - minLength;
        lengthCode.Write(out, std::min<uint32_t>(length, 63));
        if (length >= 63)
            out.Put(length - 63, 8);
    }
    return out.Finish();
}

}  // namespace legacytest
