// A .reg file of any bytes. Whatever the reader takes, the writer turns into a file the reader
// takes again, and that second reading writes the same bytes: exports import unchanged.
#include <string>
#include <vector>

#include "FuzzBodies.h"
#include "RegFile.h"

namespace dornava::fuzz {

static std::string Write(const std::vector<regtool::RegFileKey>& keys) {
  regtool::RegFileWriter writer;
  for (const regtool::RegFileKey& key : keys) {
    if (key.remove) continue;  // deletions are never exported
    writer.Key(FindRootKey(key.root)->longName + (key.path.empty() ? "" : "\\" + key.path));
    for (const regtool::RegFileValue& v : key.values)
      if (!v.remove) writer.Value(v.value.name, v.value.type, v.value.data);
  }
  return writer.Finish();
}

void FuzzRegFile(const std::uint8_t* data, std::size_t size) {
  std::vector<regtool::RegFileKey> keys;
  regtool::RegFileError error;
  if (!regtool::ParseRegFile({reinterpret_cast<const char*>(data), size}, &keys, &error)) return;
  const std::string once = Write(keys);
  Expect(regtool::ParseRegFile(once, &keys, &error), "the reader takes what the writer wrote");
  Expect(Write(keys) == once, "a second pass writes the same file");
}

}  // namespace dornava::fuzz
