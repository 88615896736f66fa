#include "settings.h"

#include <QSettings>

namespace platform {

// On Linux ~/.config/<application>/<application>.conf, on Windows the registry under
// HKEY_CURRENT_USER\Software\<application>\<application>, on macOS a preferences file.
QString readSetting(const QString& application, const QString& section, const QString& key)
{
    QSettings store(application, application);
    const QVariant value = store.value(section + u'/' + key);
    // Only text counts; a value the store could not read as text reads as empty.
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

void writeSetting(const QString& application, const QString& section, const QString& key, const QString& value)
{
    QSettings store(application, application);
    // Stored as text so that "True" keeps its case (a bool would be written as "true").
    store.setValue(section + u'/' + key, value);
}

} // namespace platform
