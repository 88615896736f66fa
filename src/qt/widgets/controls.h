#pragma once

#include "listbox.h"

#include <QPushButton>
#include <QString>

// Controls placed at fixed positions, named for tests and accessibility tools.
namespace controls {

inline QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

// A single-selection list scrollable sideways over the given width; the accessible name lets a
// screen reader tell the lists apart.
inline ListBox* list(
    QWidget* parent, const char* name, const QString& accessibleName, QRect geometry, int horizontalExtent)
{
    auto* list = new ListBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setAccessibleName(accessibleName);
    list->setGeometry(geometry);
    list->setHorizontalExtent(horizontalExtent);
    return list;
}

} // namespace controls
