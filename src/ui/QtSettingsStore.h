#pragma once

#include <QSettings>
#include <memory>

#include "form/SettingsStore.h"

namespace movara::ui {

// The six per-user settings in QSettings: organisation "Brenholt",
// application "Movara", group "1.0".
class TQtSettingsStore final : public form::ISettingsStore {
 public:
  bool Open() override;
  void Close() override;
  std::optional<std::string> ReadString(const std::string& name) override;
  std::optional<std::int32_t> ReadInteger(const std::string& name) override;
  void WriteString(const std::string& name, const std::string& value) override;
  void WriteInteger(const std::string& name, std::int32_t value) override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace movara::ui
