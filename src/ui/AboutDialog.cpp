#include "ui/AboutDialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "ui/ProgramIcon.h"
#include "ui/WindowTexts.h"

namespace movara::ui {

TLinkLabel::TLinkLabel(const QString& text, bool underlined, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  setStyleSheet(underlined ? "color: blue; text-decoration: underline;" : "color: blue;");
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

TAboutDialog::TAboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      form_(*this) {
  setObjectName("frmAbout");
  setWindowTitle(text::Tr(text::kAboutCaption));
  setFixedSize(394, 216);
  if (parent != nullptr) setFont(parent->font());

  auto* icon = new QLabel(this);
  icon->setGeometry(16, 16, 33, 33);
  icon->setPixmap(ProgramIcon(32));
  auto* product = new QLabel(QString::fromUtf8(form::about::kProduct) + MOVARA_VERSION, this);
  product->setObjectName("product");
  product->setGeometry(64, 20, 310, 20);
  QFont bold = font();
  bold.setBold(true);
  product->setFont(bold);

  auto* home = new QLabel(text::Tr(text::kHomeLabel), this);
  home->setGeometry(64, 72, 48, 18);
  L19 = new TLinkLabel(QString::fromUtf8(form::about::kHomePage), true, this);
  L19->setObjectName("L19");
  L19->setGeometry(116, 72, 260, 18);
  auto* mail = new QLabel(text::Tr(text::kMailLabel), this);
  mail->setGeometry(64, 98, 48, 18);
  L2 = new TLinkLabel(QString::fromUtf8(form::about::kSupportAddress), false, this);
  L2->setObjectName("L2");
  L2->setGeometry(116, 98, 260, 18);

  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(8, 160, 378, 2);
  B1 = new QPushButton(text::Tr(text::kOk), this);
  B1->setObjectName("B1");
  B1->setGeometry(160, 178, 75, 25);
  B1->setDefault(true);

  connect(B1, &QPushButton::clicked, this, [this] { form_.B1Click(); });
  connect(L19, &TLinkLabel::clicked, this, [this] { form_.L19Click(); });
  connect(L2, &TLinkLabel::clicked, this, [this] { form_.L2Click(); });

  if (const QScreen* desktop = screen()) move(desktop->availableGeometry().center() - rect().center());
}

void TAboutDialog::OpenAddress(const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); }

void TAboutDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    form_.FormKeyDown(27);
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace movara::ui
