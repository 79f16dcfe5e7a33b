// Picture paths that break whatever handles a path as text: quoting, expansion, URIs, lists,
// encodings and length. Every backend must reach the same file through each, or fail quietly.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace dornava::test {

// Writes `content` under each strange name in `folder` and returns the paths, the last one
// about 4,000 bytes long through nested folders.
inline std::vector<std::string> MakeStrangePaths(const std::string& folder,
                                                 std::string_view content) {
  std::vector<std::string> paths;
  for (const char* name : {"two  blanks .png", "it's \"quoted\".png", "$(touch pwned).png",
                           "`touch pwned`.png", "new\nline.png", "a,b;c.png", "100% #1 ?x.png",
                           "žluťoučký kůň ó\xC3\xA9.png", "-rf.png", "\\back\\slash.png"})
    paths.push_back(folder + "/" + name);
  std::string deep = folder;
  while (deep.size() < 3700)
    deep += "/" + std::string(200, 'd');
  std::filesystem::create_directories(deep);
  paths.push_back(deep + "/" + std::string(4000 - deep.size() - 5, 'p') + ".png");
  for (const auto& path : paths)
    std::ofstream(path, std::ios::binary) << content;
  return paths;
}

}  // namespace dornava::test
