// One fuzz body (FUZZ_BODY) as libFuzzer's target; in the plain suite, a run of it over every
// file in the folders given: the kept corpus and past crashes.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzBodies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dornava::fuzz::FUZZ_BODY(data, size);
  return 0;
}

#ifndef DORNAVA_LIBFUZZER
int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::filesystem::is_directory(argv[i])) continue;  // an option, or no crash kept yet
    for (const auto& file : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream in(file.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++count;
    }
  }
  std::printf("%d inputs replayed\n", count);
  return count > 0 ? 0 : 1;  // a corpus gone missing must not pass as an empty run
}
#endif
