#include "ui/qt/AboutWindow.h"

#include <QCursor>
#include <QMenu>

#include "ui/Texts.h"
#include "ui/qt/Look.h"

namespace dornava {

using look::Px;
using look::ToQ;

class QtAboutView::Dialog final : public look::FormDialog {
 public:
  Dialog(QWidget* owner, frmAbout& logic);
  QLabel* image1;

 private:
  void AddLink(const char* name, std::string_view text, std::string_view tip,
               const layout::Label& place, std::function<void()> onClick);

  frmAbout& logic_;
};

QtAboutView::Dialog::Dialog(QWidget* owner, frmAbout& logic) : FormDialog(owner), logic_(logic) {
  setObjectName(QStringLiteral("frmAbout"));
  namespace table = layout::frmAbout;
  look::SetUpForm(*this, table::kForm, texts::kAboutCaption);

  image1 = new QLabel(this);
  image1->setObjectName(QStringLiteral("Image1"));
  image1->setGeometry(Px(table::Image1));
  image1->setScaledContents(true);
  look::AddLabel(this, texts::kVersion, table::Label5);
  look::AddLabel(this, texts::kIdeaAuthorLabel, table::Label3);
  AddLink("Label1", texts::kIdeaAuthor, texts::kIdeaAuthorTip, table::Label1,
          [this] { logic_.Label1Click(); });
  look::AddLabel(this, texts::kProgramAuthorLabel, table::Label4);
  AddLink("Label2", texts::kProgramAuthor, texts::kProgramAuthorTip, table::Label2,
          [this] { logic_.Label2Click(); });
  look::AddLabel(this, texts::kDate, table::Label6);
  AddLink("Label7", texts::kMakerHost, texts::kAssociation, table::Label7,
          [this] { logic_.Label7Click(); });
}

void QtAboutView::Dialog::AddLink(const char* name, std::string_view text, std::string_view tip,
                                  const layout::Label& place, std::function<void()> onClick) {
  auto* label = new look::ClickLabel(this, std::move(onClick));
  label->setObjectName(QString::fromLatin1(name));
  label->setText(ToQ(text));
  label->setToolTip(ToQ(tip));
  look::PlaceLabel(*label, place);
}

QtAboutView::QtAboutView(QWidget* owner, std::function<QPixmap()> banner)
    : owner_(owner), banner_(std::move(banner)) {}

QtAboutView::~QtAboutView() {
  delete dialog_.data();
}

void QtAboutView::Create() {
  dialog_ = new Dialog(owner_, *logic_);
}

void QtAboutView::ShowModal() {
  dialog_->exec();
  // Only the close box ends it, and that destroys the window.
  delete dialog_.data();
}

void QtAboutView::CopyBanner() {
  dialog_->image1->setPixmap(banner_());
}

void QtAboutView::PopupMenu(AboutMenu menu) {
  const bool moje = menu == AboutMenu::kMoje;
  QMenu popup(dialog_);
  popup.setObjectName(moje ? QStringLiteral("moje") : QStringLiteral("napad"));
  QAction* mail = popup.addAction(ToQ(texts::kWriteMail));
  QAction* home = popup.addAction(ToQ(texts::kGoHome));
  const QAction* chosen = popup.exec(QCursor::pos());
  if (chosen == mail) logic_->MenuClick(moje ? AboutMenuItem::kMail : AboutMenuItem::kMailN);
  if (chosen == home) logic_->MenuClick(moje ? AboutMenuItem::kHome : AboutMenuItem::kHomeN);
}

}  // namespace dornava
