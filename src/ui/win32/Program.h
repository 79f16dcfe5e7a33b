// The Windows edition put together: the three windows, their logic, and the services they use.
// The program and the tests of its windows build it alike, with their own services.
#pragma once

#include <windows.h>

#include "ui/frmAbout.h"
#include "ui/frmAdd.h"
#include "ui/frmList.h"
#include "ui/win32/AboutWindow.h"
#include "ui/win32/AddWindow.h"
#include "ui/win32/ListWindow.h"

namespace dornava::win32 {

struct ProgramServices {
  Registr& registr;
  SystemServices system;
  CommonDialogy& dialogs;
  HyperLink& links;
  FileSystem& files;
};

class Program {
 public:
  Program(HINSTANCE instance, int showCommand, const ProgramServices& services);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  // Creates the main window, hidden; false when the system refuses.
  bool Create() { return listView_.Create(); }
  // The main window's Load handler: shows the window or, given an argument, starts.
  void Load() { list_.FormLoad(); }

  ListWindow& MainWindow() { return listView_; }
  AddWindow& Editor() { return addView_; }
  AboutWindow& About() { return aboutView_; }
  frmList& List() { return list_; }
  frmAdd& Add() { return add_; }

 private:
  ListWindow listView_;
  AddWindow addView_;
  AboutWindow aboutView_;
  frmAdd add_;
  frmAbout about_;
  frmList list_;
};

}  // namespace dornava::win32
