// A stand-in for a program a backend runs: it keeps each run's arguments, then goes on with the
// shell script `then`.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace dornava::test {

using Runs = std::vector<std::vector<std::string>>;  // each run's arguments

// Each run appends its argument count and its arguments to `path`.runs, NUL-terminated: a path
// may hold a line break.
inline void WriteRecordingProgram(const std::string& path, const std::string& then = "") {
  std::ofstream(path) << "#!/bin/sh\nprintf '%s\\0' $# \"$@\" >>\"$0.runs\"\n" << then;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// The runs of the program at `path` since the last look.
inline Runs RecordedRuns(const std::string& path) {
  Runs runs;
  std::ifstream log(path + ".runs", std::ios::binary);
  for (std::string count, argument; std::getline(log, count, '\0');) {
    runs.emplace_back();
    for (int left = std::stoi(count); left > 0 && std::getline(log, argument, '\0'); --left)
      runs.back().push_back(argument);
  }
  std::filesystem::remove(path + ".runs");
  return runs;
}

}  // namespace dornava::test
