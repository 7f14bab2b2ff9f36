#include "ui/QtSettingsStore.h"

namespace movara::ui {

bool TQtSettingsStore::Open() {
  settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Brenholt", "Movara");
  if (settings_->status() != QSettings::NoError) {
    settings_.reset();
    return false;
  }
  settings_->beginGroup("1.0");
  return true;
}

void TQtSettingsStore::Close() {
  if (settings_ == nullptr) return;
  settings_->endGroup();
  settings_->sync();
  settings_.reset();
}

std::optional<std::string> TQtSettingsStore::ReadString(const std::string& name) {
  const QString key = QString::fromStdString(name);
  if (settings_ == nullptr || !settings_->contains(key)) return std::nullopt;
  return settings_->value(key).toString().toStdString();
}

std::optional<std::int32_t> TQtSettingsStore::ReadInteger(const std::string& name) {
  const QString key = QString::fromStdString(name);
  if (settings_ == nullptr || !settings_->contains(key)) return std::nullopt;
  bool ok = false;
  const int value = settings_->value(key).toInt(&ok);
  return ok ? std::optional<std::int32_t>(value) : std::nullopt;
}

void TQtSettingsStore::WriteString(const std::string& name, const std::string& value) {
  if (settings_ != nullptr) settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void TQtSettingsStore::WriteInteger(const std::string& name, std::int32_t value) {
  if (settings_ != nullptr) settings_->setValue(QString::fromStdString(name), value);
}

}  // namespace movara::ui
