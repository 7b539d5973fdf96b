#pragma once

#include <QString>

namespace inkvale {

// `object` named `name`, the name tests look controls up by.
template<typename Object>
Object *named(Object *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace inkvale
