#include "platform/PropertyBag.h"

namespace Platform {

PropertyBag::~PropertyBag() = default;

} // namespace Platform
