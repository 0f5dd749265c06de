#include "lib/SettingsStore.h"

#include <QSettings>
#include <QString>

#include "lib/Win1251.h"

namespace {

QString keyPath(const std::string& key) { return "Shrift/" + QString::fromLatin1(key.c_str()); }

QSettings& platformSettings() {
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "VEzor", "VEzor");
    return settings;
}

QtSettingsStore g_platformStore;
SettingsStore* g_store = nullptr;

}  // namespace

std::string QtSettingsStore::read(const std::string& key) {
    const QString value = platformSettings().value(keyPath(key)).toString();
    return win1251::fromUtf8(value.toStdString());
}

void QtSettingsStore::write(const std::string& key, const std::string& value) {
    platformSettings().setValue(keyPath(key), QString::fromStdString(win1251::toUtf8(value)));
    platformSettings().sync();
}

std::string MemorySettingsStore::read(const std::string& key) {
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
}

void MemorySettingsStore::write(const std::string& key, const std::string& value) {
    values[key] = value;
    ++writes;
}

SettingsStore& settingsStore() { return g_store ? *g_store : g_platformStore; }
void setSettingsStore(SettingsStore* store) { g_store = store; }
