#include "ui/qt/AboutWindow.h"

#include <QCursor>
#include <QMenu>

#include "ui/Texts.h"
#include "ui/qt/Look.h"

namespace dornava {

using look::ToQ;
using look::Twips;

class QtAboutView::Dialog final : public look::FormDialog {
 public:
  Dialog(QWidget* owner, frmAbout& logic);
  QLabel* image1;

 private:
  void AddLink(const char* name, std::string_view text, std::string_view tip, QRect geometry,
               Qt::Alignment alignment, qreal points, std::function<void()> onClick);

  frmAbout& logic_;
};

QtAboutView::Dialog::Dialog(QWidget* owner, frmAbout& logic) : FormDialog(owner), logic_(logic) {
  setObjectName(QStringLiteral("frmAbout"));
  look::SetUpForm(*this, Twips(0, 0, 4680, 1830).size(), 8.25, texts::kAboutCaption);

  image1 = new QLabel(this);
  image1->setObjectName(QStringLiteral("Image1"));
  image1->setGeometry(Twips(105, 150, 4455, 617));
  image1->setScaledContents(true);
  look::AddLabel(this, texts::kVersion, Twips(3795, 135, 765, 210), Qt::AlignRight, look::kWhite);
  look::AddLabel(this, texts::kIdeaAuthorLabel, Twips(105, 855, 1215, 210), Qt::AlignHCenter,
                 look::kWhite);
  AddLink("Label1", texts::kIdeaAuthor, texts::kIdeaAuthorTip, Twips(1350, 840, 1665, 240),
          Qt::AlignHCenter, 9.75, [this] { logic_.Label1Click(); });
  look::AddLabel(this, texts::kProgramAuthorLabel, Twips(105, 1095, 2055, 210), Qt::AlignLeft,
                 look::kWhite);
  AddLink("Label2", texts::kProgramAuthor, texts::kProgramAuthorTip, Twips(2145, 1080, 1260, 240),
          Qt::AlignLeft, 9.75, [this] { logic_.Label2Click(); });
  look::AddLabel(this, texts::kDate, Twips(3750, 1095, 810, 210), Qt::AlignRight, look::kWhite);
  AddLink("Label7", texts::kMakerHost, texts::kAssociation, Twips(1140, 1380, 2415, 285),
          Qt::AlignHCenter, 12, [this] { logic_.Label7Click(); });
}

void QtAboutView::Dialog::AddLink(const char* name, std::string_view text, std::string_view tip,
                                  QRect geometry, Qt::Alignment alignment, qreal points,
                                  std::function<void()> onClick) {
  auto* label = new look::ClickLabel(this, std::move(onClick));
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setText(ToQ(text));
  label->setToolTip(ToQ(tip));
  label->setFont(look::FormFont(points, true));
  label->setGeometry(geometry);
  label->setAlignment(alignment | Qt::AlignTop);
  look::FitWidth(*label);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, look::kCyan);
  label->setPalette(palette);
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
