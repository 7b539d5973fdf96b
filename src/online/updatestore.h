#pragma once

#include <optional>
#include <QString>

namespace inkvale {

// The per-user store of the update check's schedule: named text values. Reads that fail give
// nothing (the caller's default); writes that fail are dropped, and so are all writes when
// the store could not be opened.
class UpdateStore
{
public:
    virtual ~UpdateStore() = default;

    // Opens the store for reading and writing, creating it when missing; false when it cannot.
    virtual bool open() = 0;
    // The stored text, or nothing when the value is missing or unreadable.
    virtual std::optional<QString> read(const QString &name) const = 0;
    // Whether the value was written.
    virtual bool write(const QString &name, const QString &value) = 0;
};

} // namespace inkvale
