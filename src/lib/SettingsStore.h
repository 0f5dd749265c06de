#pragma once

#include <map>
#include <memory>
#include <string>

// The per-user settings store: named string values of application "VEzor",
// section "Shrift". Values are Windows-1251 text; a missing key reads as "".
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& key) = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
};

// The platform store: QSettings of organisation and application "VEzor", group "Shrift".
class QtSettingsStore final : public SettingsStore {
  public:
    std::string read(const std::string& key) override;
    void write(const std::string& key, const std::string& value) override;
};

// A store in memory, for tests and for one-off runs that must not touch the user's store.
class MemorySettingsStore final : public SettingsStore {
  public:
    std::string read(const std::string& key) override;
    void write(const std::string& key, const std::string& value) override;
    std::map<std::string, std::string> values;
    int writes = 0;
};

// The store in use (the platform store unless replaced).
SettingsStore& settingsStore();
void setSettingsStore(SettingsStore* store);
