#pragma once

#include <QString>

// The per-user settings store, addressed by application, section and key.
namespace platform {

// A missing or unreadable value reads as the empty string.
QString readSetting(const QString& application, const QString& section, const QString& key);
void writeSetting(const QString& application, const QString& section, const QString& key, const QString& value);

} // namespace platform
