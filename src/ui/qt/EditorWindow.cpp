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

using look::Px;
using look::ToQ;

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
  QLineEdit* TimeField(const layout::Framed& frame, const char* name);
  QPushButton* AddButton(const char* name, std::string_view text, const layout::Rect& twips,
                         std::function<void()> onClick);

  frmAdd& logic_;
};

QtAddView::Dialog::Dialog(QWidget* owner, frmAdd& logic)
    : FormDialog(owner, [&logic] { return logic.QueryUnload(); }), logic_(logic) {
  setObjectName(QStringLiteral("frmAdd"));
  namespace table = layout::frmAdd;
  look::SetUpForm(*this, table::kForm, texts::kEditorCaption);

  option1 = new QRadioButton(ToQ(texts::kBySystemClock), this);
  option1->setObjectName(QStringLiteral("Option1"));
  option1->setGeometry(Px(table::Option1));
  option1->setChecked(true);
  option2 = new QRadioButton(ToQ(texts::kFromStart), this);
  option2->setObjectName(QStringLiteral("Option2"));
  option2->setGeometry(Px(table::Option2));

  text1 = TimeField(table::Text1, "Text1");
  look::AddLabel(this, ":", table::Label1);
  text2 = TimeField(table::Text2, "Text2");

  text3 = new QLineEdit;
  look::AddFramed(this, table::Text3, *text3);
  text3->setObjectName(QStringLiteral("Text3"));
  text3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text3->setReadOnly(true);
  look::PaintField(*text3);

  QPushButton* command1 =
      AddButton("Command1", texts::kBrowse, table::Command1, [this] { logic_.Command1Click(); });
  QPushButton* command2 =
      AddButton("Command2", texts::kOk, table::Command2, [this] { logic_.Command2Click(); });
  command2->setDefault(true);

  preview = new QLabel;
  look::AddFramed(this, table::imgPreview, *preview);
  preview->setObjectName(QStringLiteral("imgPreview"));

  QWidget::setTabOrder(option1, option2);
  QWidget::setTabOrder(option2, command1);
  QWidget::setTabOrder(command1, command2);
  QWidget::setTabOrder(command2, text1);
  QWidget::setTabOrder(text1, text2);
  QWidget::setTabOrder(text2, text3);
  option1->setFocus();
}

QLineEdit* QtAddView::Dialog::TimeField(const layout::Framed& frame, const char* name) {
  auto* box = new QLineEdit(QStringLiteral("00"));
  look::AddFramed(this, frame, *box);
  box->setObjectName(QString::fromLatin1(name));
  box->setMaxLength(2);
  box->setAlignment(Qt::AlignCenter);
  box->setFont(look::FormFont(layout::frmAdd::kTimeFont));
  look::PaintField(*box);
  box->installEventFilter(this);
  return box;
}

QPushButton* QtAddView::Dialog::AddButton(const char* name, std::string_view text,
                                          const layout::Rect& twips,
                                          std::function<void()> onClick) {
  auto* button = new QPushButton(ToQ(text), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(Px(twips));
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
  QPixmap picture = LoadPreview(look::UpToNul(path), (QSizeF(preview->size()) * ratio).toSize());
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
