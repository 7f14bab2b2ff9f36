#include "ui/PlayedPageBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/WindowTexts.h"

namespace movara::ui {

TPlayedPageBox::TPlayedPageBox(const QString& text, const QString& url,
                               std::function<bool(const std::string&)> open, QWidget* parent)
    : QDialog(parent), open_(std::move(open)) {
  setObjectName("PlayedPageBox");
  setWindowTitle(QString::fromUtf8(text::kMessageCaption));
  if (parent != nullptr) setFont(parent->font());
  Message = new QLabel(text, this);
  Message->setWordWrap(true);
  Message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Address = new QLineEdit(url, this);
  Address->setObjectName("Address");
  Address->setReadOnly(true);
  Address->setCursorPosition(0);
  // Wide enough for the whole address of a usual name.
  Address->setMinimumWidth(Address->fontMetrics().horizontalAdvance(url) + 16);
  CopyButton = new QPushButton(text::Tr(text::kCopyAddress), this);
  OpenButton = new QPushButton(text::Tr(text::kOpenPage), this);
  OkButton = new QPushButton(text::Tr(text::kOk), this);
  OkButton->setDefault(true);
  for (QPushButton* button : {CopyButton, OpenButton}) button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CopyButton);
  buttons->addWidget(OpenButton);
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Message);
  layout->addWidget(Address);
  layout->addLayout(buttons);

  connect(CopyButton, &QPushButton::clicked, this, [this] {
    QGuiApplication::clipboard()->setText(Address->text());
    Address->selectAll();
  });
  connect(OpenButton, &QPushButton::clicked, this, [this] {
    if (!open_(Address->text().toStdString())) Message->setText(Message->text() + "\n\n" + text::Tr(text::kNoBrowser));
  });
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace movara::ui
