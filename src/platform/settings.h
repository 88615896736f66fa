#pragma once

#include <QString>

// The per-user settings store, addressed by application, section and key.
namespace settings {

// A missing or unreadable value reads as the empty string.
QString GetSetting(const QString& application, const QString& section, const QString& key);
void SaveSetting(const QString& application, const QString& section, const QString& key, const QString& value);

} // namespace settings
