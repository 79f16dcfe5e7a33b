// The Linux edition's three windows and small modules, wired to the forms' logic.
#pragma once

#include <cstdlib>
#include <functional>

#include "ui/frmAbout.h"
#include "ui/frmAdd.h"
#include "ui/frmList.h"
#include "ui/qt/AboutWindow.h"
#include "ui/qt/EditorWindow.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtModules.h"

namespace dornava {

struct QtWindows {
  // `endProgram` ends the process at once, by default with exit code 0.
  QtWindows(
      Registr& registr, const SystemServices& system,
      std::function<void()> endProgram = [] { std::exit(0); })
      : mainView(std::move(endProgram)),
        addView(&mainView),
        aboutView(&mainView, [this] { return mainView.Banner(); }),
        add(addView, registr, dialogs, files),
        about(aboutView, links),
        main(mainView, add, about, registr, system) {
    mainView.Attach(main);
    addView.Attach(add);
    aboutView.Attach(about);
  }

  QtCommonDialogy dialogs;
  QtFileSystem files;
  QtHyperLink links;
  QtListView mainView;
  QtAddView addView;
  QtAboutView aboutView;
  frmAdd add;
  frmAbout about;
  frmList main;
};

}  // namespace dornava
