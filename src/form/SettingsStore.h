#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace movara::form {

// The per-user settings: six values under fixed names, strings and 32-bit
// integers. The window keeps them in QSettings; tests keep them in memory.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // Opens (creating when absent) the settings location; false when it cannot.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual std::optional<std::string> ReadString(const std::string& name) = 0;
  // Empty when the value is missing or not an integer.
  virtual std::optional<std::int32_t> ReadInteger(const std::string& name) = 0;
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
};

class TMemorySettingsStore final : public ISettingsStore {
 public:
  bool Available = true;
  std::map<std::string, std::variant<std::string, std::int32_t>> Values;

  bool Open() override { return Available; }
  void Close() override {}
  std::optional<std::string> ReadString(const std::string& name) override {
    const auto it = Values.find(name);
    if (it == Values.end()) return std::nullopt;
    if (const auto* s = std::get_if<std::string>(&it->second)) return *s;
    return std::to_string(std::get<std::int32_t>(it->second));
  }
  std::optional<std::int32_t> ReadInteger(const std::string& name) override {
    const auto it = Values.find(name);
    if (it == Values.end()) return std::nullopt;
    if (const auto* i = std::get_if<std::int32_t>(&it->second)) return *i;
    return std::nullopt;
  }
  void WriteString(const std::string& name, const std::string& value) override { Values[name] = value; }
  void WriteInteger(const std::string& name, std::int32_t value) override { Values[name] = value; }
};

}  // namespace movara::form
