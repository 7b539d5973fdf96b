#pragma once

#include "online/updatestore.h"

#include <QMap>

namespace inkvale::test {

// An update store in memory that can be told to fail opening or writing.
class MemoryUpdateStore : public UpdateStore
{
public:
    QMap<QString, QString> values;
    bool openFails = false;
    bool writesFail = false;
    bool opened = false;

    bool open() override
    {
        opened = !openFails;
        return opened;
    }
    std::optional<QString> read(const QString &name) const override
    {
        if (!opened || !values.contains(name)) {
            return std::nullopt;
        }
        return values.value(name);
    }
    bool write(const QString &name, const QString &value) override
    {
        if (!opened || writesFail) {
            return false;
        }
        values.insert(name, value);
        return true;
    }
};

} // namespace inkvale::test
