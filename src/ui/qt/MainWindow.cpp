#include "ui/qt/MainWindow.h"

#include <QKeyEvent>
#include <chrono>

#include "ui/Texts.h"
#include "ui/qt/Look.h"

namespace dornava {

using look::Twips;

void WidgetList::Clear() {
  widget_.clear();
  lines_.clear();
}

void WidgetList::AddItem(std::string_view text) {
  lines_.emplace_back(text);
  widget_.addItem(look::ToQ(look::UpToNul(text)));
}

void WidgetList::RemoveItem(int index) {
  lines_.erase(lines_.begin() + index);
  delete widget_.takeItem(index);
}

QtListView::QtListView(std::function<void()> endProgram)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      endProgram_(std::move(endProgram)),
      banner_(look::Banner()),
      list1_(new QListWidget),
      list_(*list1_) {
  look::SetUpForm(*this, Twips(0, 0, 6690, 4275).size(), 9, texts::kMainCaption);

  auto* image1 = new QLabel(this);
  image1->setObjectName(QStringLiteral("Image1"));
  image1->setPixmap(banner_);
  image1->setGeometry(Twips(150, 225, 6390, 885));
  // The two small labels lie over the banner, so they come after it.
  const QFont small = look::FormFont(8.25);
  look::AddLabel(this, texts::kCredit, Twips(4560, 75, 1995, 210), Qt::AlignHCenter, look::kWhite,
                 &small)
      ->setObjectName(QStringLiteral("Label3"));
  look::AddLabel(this, texts::kVersionTag, Twips(6210, 285, 315, 210), Qt::AlignRight,
                 look::kLightBlue, &small)
      ->setObjectName(QStringLiteral("Label1"));
  look::AddLabel(this, texts::kListHeading, Twips(180, 1305, 1590, 225), Qt::AlignLeft,
                 look::kWhite)
      ->setObjectName(QStringLiteral("Label2"));

  QWidget* picture1 = look::AddFramedContainer(this, Twips(165, 1635, 6360, 1800));
  list1_->setParent(picture1);
  list1_->setObjectName(QStringLiteral("List1"));
  list1_->setGeometry(Twips(-15, -15, 6395, 1830));
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list1_->setTextElideMode(Qt::ElideNone);
  look::PaintField(*list1_);

  QPushButton* command1 = AddButton("Command1", texts::kAdd, Twips(150, 3585, 1155, 510),
                                    [this] { logic_->Command1Click(); });
  command3_ = AddButton("Command3", texts::kEdit, Twips(1425, 3585, 1155, 510),
                        [this] { logic_->Command3Click(); });
  command2_ = AddButton("Command2", texts::kDelete, Twips(2700, 3585, 1155, 510),
                        [this] { logic_->Command2Click(); });
  check1_ = new QCheckBox(look::ToQ(texts::kAutostart), this);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setGeometry(Twips(4350, 3585, 1125, 270));
  connect(check1_, &QCheckBox::clicked, this, [this] { logic_->Check1Click(); });
  command4_ = AddButton("Command4", texts::kStart, Twips(5505, 3585, 1035, 510),
                        [this] { logic_->Command4Click(); });
  command4_->setDefault(true);
  QPushButton* command5 = AddButton("Command5", texts::kAboutButton, Twips(4995, 1215, 1545, 345),
                                    [this] { logic_->Command5Click(); });

  QWidget::setTabOrder(command1, command2_);
  QWidget::setTabOrder(command2_, command3_);
  QWidget::setTabOrder(command3_, command4_);
  QWidget::setTabOrder(command4_, check1_);
  QWidget::setTabOrder(check1_, command5);
  QWidget::setTabOrder(command5, list1_);
  command1->setFocus();

  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setParent(this);
  timer1_.setSingleShot(true);
  timer1_.setTimerType(Qt::PreciseTimer);
  timer1_.callOnTimeout([this] { logic_->Timer1Timer(); });
}

QPushButton* QtListView::AddButton(const char* name, std::string_view text, QRect geometry,
                                   std::function<void()> onClick) {
  auto* button = new QPushButton(look::ToQ(text), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  // A button with the focus takes Enter itself; elsewhere Enter goes to Start.
  button->setAutoDefault(true);
  connect(button, &QPushButton::clicked, this, std::move(onClick));
  return button;
}

void QtListView::SetEditButtonsEnabled(bool enabled) {
  command2_->setEnabled(enabled);
  command3_->setEnabled(enabled);
}

void QtListView::ArmTimer(std::int64_t delayMs) {
  timer1_.start(std::chrono::milliseconds(delayMs));
}

void QtListView::keyPressEvent(QKeyEvent* event) {
  // Whatever else has the focus (the list, the box) lets Enter through to the default button.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    command4_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace dornava
