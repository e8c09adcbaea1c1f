// Which date a written or extracted file gets: its own, the system's, or the newest of the run.
#pragma once

namespace archive {

enum TDateAttribute { daFileDate, daSysDate, daMaxFileDate };

}  // namespace archive
