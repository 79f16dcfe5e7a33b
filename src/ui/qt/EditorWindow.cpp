#include "ui/qt/EditorWindow.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#include "ui/Texts.h"
#include "ui/qt/Look.h"
#include "ui/qt/QtModules.h"

namespace dornava {

using look::ToQ;
using look::Twips;

class QtAddView::Dialog final : public look::FormDialog {
 public:
  Dialog(QWidget* owner, frmAdd& logic);
  QLineEdit* Field(AddField field) const {
    return field == AddField::kText1 ? text1 : field == AddField::kText2 ? text2 : text3;
  }

  QRadioButton* option1;
  QRadioButton* option2;
  QLineEdit* text1;
  QLineEdit* text2;
  QLineEdit* text3;
  QLabel* preview;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* TimeField(QRect container, const char* name);
  QPushButton* AddButton(const char* name, std::string_view text, QRect geometry,
                         std::function<void()> onClick);

  frmAdd& logic_;
};

QtAddView::Dialog::Dialog(QWidget* owner, frmAdd& logic)
    : FormDialog(owner, [&logic] { return logic.QueryUnload(); }), logic_(logic) {
  setObjectName(QStringLiteral("frmAdd"));
  look::SetUpForm(*this, Twips(0, 0, 4320, 3435).size(), 9, texts::kEditorCaption);

  option1 = new QRadioButton(ToQ(texts::kBySystemClock), this);
  option1->setObjectName(QStringLiteral("Option1"));
  option1->setGeometry(Twips(1710, 105, 2460, 285));
  option1->setChecked(true);
  option2 = new QRadioButton(ToQ(texts::kFromStart), this);
  option2->setObjectName(QStringLiteral("Option2"));
  option2->setGeometry(Twips(1710, 390, 2460, 285));

  text1 = TimeField(Twips(150, 150, 570, 480), "Text1");
  const QFont big = look::FormFont(20.25);
  look::AddLabel(this, ":", Twips(765, 120, 150, 480), Qt::AlignLeft, look::kWhite, &big);
  text2 = TimeField(Twips(960, 150, 570, 480), "Text2");

  text3 = new QLineEdit(look::AddFramedContainer(this, Twips(150, 825, 3510, 225)));
  text3->setObjectName(QStringLiteral("Text3"));
  text3->setGeometry(Twips(-30, -30, 3570, 330));
  text3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text3->setReadOnly(true);
  look::PaintField(*text3);

  QPushButton* command1 = AddButton("Command1", texts::kBrowse, Twips(3810, 810, 360, 255),
                                    [this] { logic_.Command1Click(); });
  QPushButton* command2 = AddButton("Command2", texts::kOk, Twips(3015, 1230, 1155, 375),
                                    [this] { logic_.Command2Click(); });
  command2->setDefault(true);

  preview = new QLabel(look::AddFramedContainer(this, Twips(150, 1245, 2700, 2025)));
  preview->setObjectName(QStringLiteral("imgPreview"));
  preview->setGeometry(Twips(0, 0, 2700, 2025));

  QWidget::setTabOrder(option1, option2);
  QWidget::setTabOrder(option2, command1);
  QWidget::setTabOrder(command1, command2);
  QWidget::setTabOrder(command2, text1);
  QWidget::setTabOrder(text1, text2);
  QWidget::setTabOrder(text2, text3);
  option1->setFocus();
}

QLineEdit* QtAddView::Dialog::TimeField(QRect container, const char* name) {
  auto* box = new QLineEdit(QStringLiteral("00"), look::AddFramedContainer(this, container));
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(Twips(-30, -30, 645, 600));
  box->setMaxLength(2);
  box->setAlignment(Qt::AlignCenter);
  box->setFont(look::FormFont(20.25));
  look::PaintField(*box);
  box->installEventFilter(this);
  return box;
}

QPushButton* QtAddView::Dialog::AddButton(const char* name, std::string_view text, QRect geometry,
                                          std::function<void()> onClick) {
  auto* button = new QPushButton(ToQ(text), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  connect(button, &QPushButton::clicked, this, std::move(onClick));
  return button;
}

bool QtAddView::Dialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    // Only a move to another control of the window counts, not a switch to another window.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == text1) logic_.Text1LostFocus();
      if (watched == text2) logic_.Text2LostFocus();
    }
  }
  return false;
}

QtAddView::QtAddView(QWidget* owner) : owner_(owner) {
#ifndef QT_NO_SESSIONMANAGER
  if (qGuiApp) {
    QObject::connect(
        qGuiApp, &QGuiApplication::commitDataRequest, &session_,
        [this](QSessionManager&) { CommitData(); }, Qt::DirectConnection);
  }
#endif
}

QtAddView::~QtAddView() {
  delete dialog_.data();
}

void QtAddView::CommitData() {
  if (!dialog_ || !dialog_->isVisible() || !logic_->edit()) return;
  logic_->SessionEnding();
  dialog_->Dismiss();
}

void QtAddView::Create() {
  dialog_ = new Dialog(owner_, *logic_);
  path_.clear();
}

void QtAddView::ShowModal() {
  dialog_->exec();
  if (dialog_ && dialog_->closedByUser) delete dialog_.data();
}

void QtAddView::Hide() {
  dialog_->hide();
}

WindowHandle QtAddView::Handle() const {
  return static_cast<WindowHandle>(dialog_->winId());
}

std::string QtAddView::Text(AddField field) const {
  if (field == AddField::kText3) return path_;
  return look::FromQ(dialog_->Field(field)->text());
}

void QtAddView::SetText(AddField field, std::string_view text) {
  text = look::UpToNul(text);
  QLineEdit* box = dialog_->Field(field);
  box->setText(ToQ(text));
  // A long path shows its beginning.
  box->setCursorPosition(0);
  if (field == AddField::kText3) path_ = text;
}

bool QtAddView::Option1() const {
  return dialog_->option1->isChecked();
}

void QtAddView::SelectOption(bool option1) {
  (option1 ? dialog_->option1 : dialog_->option2)->setChecked(true);
}

void QtAddView::SetNumOnly(AddField field, bool on) {
  dornava::SetNumOnly(*dialog_->Field(field), on);
}

void QtAddView::SelectAll(AddField field) {
  dialog_->Field(field)->selectAll();
}

void QtAddView::ShowPreview(std::string_view path) {
  QLabel* preview = dialog_->preview;
  const qreal ratio = preview->devicePixelRatioF();
  QPixmap picture =
      LoadPreview(ToQ(look::UpToNul(path)), (QSizeF(preview->size()) * ratio).toSize());
  if (picture.isNull()) {
    preview->clear();
    return;
  }
  picture.setDevicePixelRatio(ratio);
  preview->setPixmap(picture);
}

void QtAddView::ShowMessage(std::string_view text, std::string_view caption) {
  QMessageBox box(QMessageBox::NoIcon, ToQ(caption), ToQ(text), QMessageBox::Ok, dialog_);
  box.exec();
}

}  // namespace dornava
