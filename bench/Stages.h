// The stages of the patch job that the benchmark driver runs alone, each with the job's settings.
#pragma once

#include <string>

namespace bench {

// Each returns the process exit status: 0 when the engine reported no failure.
int Extract(const std::string& archivePath, const std::string& folder);
// `ahead` false sets the writer's Workers to wkNever, so it deflates every file itself on the calling thread.
int Pack(const std::string& folder, const std::string& archivePath, bool ahead);
int Replace(const std::string& folder);

// The folder with the platform's delimiter at its end, as the engine's folder settings expect.
std::string WithDelimiter(std::string folder);

}  // namespace bench
