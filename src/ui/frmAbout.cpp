#include "ui/frmAbout.h"

#include "ui/Texts.h"

namespace dornava {

void frmAbout::ShowModal() {
  if (!view_.Exists()) {
    view_.Create();
    FormLoad();
  }
  view_.ShowModal();
}

void frmAbout::FormLoad() {
  view_.CopyBanner();
}

void frmAbout::Label1Click() {
  view_.PopupMenu(AboutMenu::kNapad);
}

void frmAbout::Label2Click() {
  view_.PopupMenu(AboutMenu::kMoje);
}

void frmAbout::Label7Click() {
  links_.OpenHyperLink(texts::kMakerHome);
}

void frmAbout::MenuClick(AboutMenuItem item) {
  switch (item) {
    case AboutMenuItem::kMail:
      return links_.OpenHyperLink(texts::kProgramAuthorMail);
    case AboutMenuItem::kHome:
      return links_.OpenHyperLink(texts::kProgramAuthorHome);
    case AboutMenuItem::kMailN:
      return links_.OpenHyperLink(texts::kIdeaAuthorMail);
    case AboutMenuItem::kHomeN:
      return links_.OpenHyperLink(texts::kIdeaAuthorHome);
  }
}

}  // namespace dornava
