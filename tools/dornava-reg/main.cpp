// dornava-reg: reg.exe's query, add, delete, export and import for the Linux edition's registry.
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "DornavaVersion.h"
#include "RegCommand.h"
#include "SqliteBackend.h"
#include "platform/linux/SqliteRegistry.h"
#include "platform/linux/XdgAutostart.h"

int main(int argc, char** argv) {
  using namespace dornava;
  std::vector<std::string> args(argv + 1, argv + argc);
  // The usual Linux spellings, alone on the line, beside reg.exe's own /?.
  if (args.size() == 1 && args[0] == "--help") args[0] = "/?";
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "dornava-reg " DORNAVA_VERSION "\n";
    return 0;
  }
  regtool::StreamConsole console(std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1);

  std::unique_ptr<SqliteRegistry> registry;
  std::unique_ptr<XdgAutostart> autostart;
  std::unique_ptr<regtool::SqliteBackend> backend;
  const regtool::BackendOpener open = [&](bool create) -> regtool::RegBackend* {
    if (backend) return backend.get();
    std::string path = DefaultRegistryPath();
    std::error_code error;
    // Reading a registry that was never written needs no file: an empty one answers the same.
    if (!create && !std::filesystem::exists(path, error)) path = ":memory:";
    std::string notice;
    registry = SqliteRegistry::Open(path, &notice);
    if (!notice.empty()) std::cerr << "reg: " << notice << '\n';
    if (!registry) {
      std::cerr << "reg: Unable to open the registry at " << path << '\n';
      return nullptr;
    }
    // The program's own layer over it: the Run key as the desktop starts it.
    autostart = std::make_unique<XdgAutostart>(*registry, AutostartFolder());
    backend = std::make_unique<regtool::SqliteBackend>(*autostart);
    return backend.get();
  };
  return regtool::RunReg(args, open, console);
}
