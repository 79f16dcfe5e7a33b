#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmapCache>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "ui/Texts.h"
#include "ui/qt/Look.h"

namespace dornava {

using look::Px;

namespace {

// A single-selection list whose highlight the user can move but, as in the Windows list box, never
// take away: Vymazat and Upravit act on the highlighted row.
class OneSelectedList final : public QListWidget {
 public:
  OneSelectedList() {
    // Rows the program adds to an empty list leave one highlighted. (Removing the highlighted
    // row already highlights its neighbour.)
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
      if (selectedItems().isEmpty()) setCurrentRow(std::max(currentRow(), 0));
    });
  }

 protected:
  // Ctrl+click and Ctrl+Space on the highlighted row would deselect it, and a click beside the
  // rows would clear the selection: the one keeps the row, the other changes nothing.
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override {
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
      return QItemSelectionModel::ClearAndSelect;
    return command;
  }
};

}  // namespace

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

int WidgetList::ListIndex() const {
  // The highlighted row, not the one with the focus frame.
  const QList<QListWidgetItem*> selected = widget_.selectedItems();
  return selected.isEmpty() ? -1 : widget_.row(selected.first());
}

QtListView::QtListView(std::function<void()> endProgram)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      endProgram_(std::move(endProgram)),
      banner_(look::Banner()),
      list1_(new OneSelectedList),
      list_(*list1_) {
  namespace table = layout::frmList;
  look::SetUpForm(*this, table::kForm, texts::kMainCaption);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setPixmap(banner_);
  image1_->setGeometry(Px(table::Image1));
  // The two small labels lie over the banner, so they come after it.
  look::AddLabel(this, texts::kCredit, table::Label3)->setObjectName(QStringLiteral("Label3"));
  look::AddLabel(this, texts::kVersionTag, table::Label1)->setObjectName(QStringLiteral("Label1"));
  look::AddLabel(this, texts::kListHeading, table::Label2)->setObjectName(QStringLiteral("Label2"));

  look::AddFramed(this, table::List1, *list1_);
  list1_->setObjectName(QStringLiteral("List1"));
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  list1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list1_->setTextElideMode(Qt::ElideNone);
  look::PaintField(*list1_);

  QPushButton* command1 =
      AddButton("Command1", texts::kAdd, table::Command1, [this] { logic_->Command1Click(); });
  command3_ =
      AddButton("Command3", texts::kEdit, table::Command3, [this] { logic_->Command3Click(); });
  command2_ =
      AddButton("Command2", texts::kDelete, table::Command2, [this] { logic_->Command2Click(); });
  check1_ = new QCheckBox(look::ToQ(texts::kAutostart), this);
  check1_->setObjectName(QStringLiteral("Check1"));
  check1_->setGeometry(Px(table::Check1));
  connect(check1_, &QCheckBox::clicked, this, [this] { logic_->Check1Click(); });
  command4_ =
      AddButton("Command4", texts::kStart, table::Command4, [this] { logic_->Command4Click(); });
  command4_->setDefault(true);
  QPushButton* command5 = AddButton("Command5", texts::kAboutButton, table::Command5,
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

QPushButton* QtListView::AddButton(const char* name, std::string_view text,
                                   const layout::Rect& twips, std::function<void()> onClick) {
  auto* button = new QPushButton(look::ToQ(text), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(Px(twips));
  // A button with the focus takes Enter itself; elsewhere Enter goes to Start.
  button->setAutoDefault(true);
  connect(button, &QPushButton::clicked, this, std::move(onClick));
  return button;
}

void QtListView::SetEditButtonsEnabled(bool enabled) {
  command2_->setEnabled(enabled);
  command3_->setEnabled(enabled);
}

void QtListView::SetVisible(bool visible) {
  setVisible(visible);
  // Not at once: Start's own click is still being delivered to this window.
  if (!visible) QTimer::singleShot(0, this, &QtListView::LetWindowsGo);
}

void QtListView::LetWindowsGo() {
  if (handOver_) handOver_(list_);
  // The dialogs (the editor stays hidden after OK), the native window with its backing store,
  // and the pictures only a window shows.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isWindow()) delete child;
  }
  destroy();
  banner_ = QPixmap();
  image1_->clear();
  QApplication::setWindowIcon(QIcon());
  QPixmapCache::clear();
  // The threads that painted the windows; idle, they would linger for half a minute.
  QThreadPool::globalInstance()->waitForDone(1000);
#ifdef __GLIBC__
  malloc_trim(0);
#endif
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
