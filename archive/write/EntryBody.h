// TEntryBody: where an entry's data comes from. The writer writes every entry one way: the header, then the
// body, then the header again unless the body knew its outcome before anything was written.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "archive/pipeline/DeflateAhead.h"
#include "archive/write/DataWriter.h"

namespace archive {

// Files below this size are deflated into memory first and stored when that does not pay.
constexpr uint64_t kSmallFileLimit = 257;

class TEntryBody {
public:
    virtual ~TEntryBody() = default;
    // Called once, before the header is built: the outcome when it is already known (deflated ahead).
    virtual std::optional<TEntryData> Begin() { return std::nullopt; }
    // Writes `header` and then the data; the outcome.
    virtual TEntryData Write(const std::vector<uint8_t>& header) = 0;
};

// The file itself, stored or deflated here on the writer's thread; no source for a folder.
std::unique_ptr<TEntryBody> InlineBody(TDataWriter& data,
                                       std::unique_ptr<TStream32> source,
                                       uint64_t size,
                                       TDeflateType type);
// A file a worker deflated ahead: in memory, or into a temporary file (a large one).
std::unique_ptr<TEntryBody> AheadBody(TDataWriter& data, TDeflateAhead& pool, TDeflateAhead::TResult ahead);

}  // namespace archive
