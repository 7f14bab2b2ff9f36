// The window's boxes: messages, the page of a movie played, and the
// question about a URL without a scheme.
#include <QMessageBox>
#include <QPushButton>

#include "ui/MainWindow.h"
#include "ui/PlayedPageBox.h"
#include "ui/WindowTexts.h"

namespace movara::ui {

bool TMainWindow::MessageBox(const std::string& message, MessageKind kind) {
  const QString caption = QString::fromUtf8(text::kMessageCaption);
  const QString body = QString::fromStdString(message);
  switch (kind) {
    case MessageKind::Question:
      return QMessageBox::question(this, caption, body, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
             QMessageBox::Yes;
    case MessageKind::Information:
      QMessageBox::information(this, caption, body);
      return true;
    case MessageKind::Error:
      QMessageBox::critical(this, caption, body);
      return true;
  }
  return true;
}

void TMainWindow::ShowPlayedPage(const std::string& message, const std::string& url) {
  TPlayedPageBox box(QString::fromStdString(message), QString::fromStdString(url),
                     [this](const std::string& address) { return OpenUrl(address); }, this);
  box.exec();
}

form::IMainView::UrlAnswer TMainWindow::AskAboutUrl(const std::string& url, const std::string& suggestion) {
  const QString typed = QString::fromStdString(url);
  const QString https = QString::fromStdString(suggestion);
  QMessageBox box(QMessageBox::Question, QString::fromUtf8(text::kMessageCaption),
                  text::Tr(text::kUrlQuestion).arg(typed, https), QMessageBox::NoButton, this);
  QPushButton* use = box.addButton(text::Tr(text::kUseSuggestion).arg(https), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(text::Tr(text::kKeepAsTyped), QMessageBox::ActionRole);
  QPushButton* cancel = box.addButton(text::Tr(text::kCancel), QMessageBox::RejectRole);
  box.setDefaultButton(use);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == use) return UrlAnswer::UseSuggestion;
  if (box.clickedButton() == keep) return UrlAnswer::KeepAsTyped;
  return UrlAnswer::Cancel;
}

}  // namespace movara::ui
