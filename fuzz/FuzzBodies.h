// What each fuzzer feeds its input to. The libFuzzer drivers and the plain suite's replay of the
// kept inputs call the same bodies; a broken promise aborts like a crash, so the input is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace dornava::fuzz {

inline void Expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

void FuzzScheduleEntry(const std::uint8_t* data, std::size_t size);
void FuzzRegFile(const std::uint8_t* data, std::size_t size);
void FuzzRegData(const std::uint8_t* data, std::size_t size);
void FuzzPictureSize(const std::uint8_t* data, std::size_t size);

}  // namespace dornava::fuzz
