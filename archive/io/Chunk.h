// The engine streams: data move through it in chunks of at most this many bytes.
#pragma once

#include <cstddef>

namespace archive {

constexpr size_t kChunkSize = 32 * 1024;

}  // namespace archive
