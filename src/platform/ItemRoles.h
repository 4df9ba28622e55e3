#pragma once

#include <Qt>

namespace Platform {

// Data roles that the windows' list models give beyond Qt's own.
enum ItemRole {
    // The number of the row's picture in the window's image list (an int).
    ImageNumberRole = Qt::UserRole + 1,
};

} // namespace Platform
