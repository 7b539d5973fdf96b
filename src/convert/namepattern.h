#pragma once

#include <QString>

namespace inkvale {

// The name a result gets before its extension, from a pattern of the user's: "{name}" is the
// input's name without its last extension, "{effect}" the effect's name and "{n}" the
// picture's number in the batch (1, 2, ...); any other text is kept. A character no file name
// may hold on any system (path separators, control characters, : * ? " < > |) becomes "_", so
// that a result never lands outside its folder and the same pattern works everywhere.
class NamePattern
{
public:
    static constexpr const char16_t *kDefault = u"{name}";

    explicit NamePattern(QString pattern = QString::fromUtf16(kDefault));

    // Why `pattern` cannot name results, in a few words; empty when it can.
    static QString problem(const QString &pattern);

    // The base name for the input whose own base name is `inputBase`. The default pattern
    // gives `inputBase` unchanged.
    QString baseName(const QString &inputBase, const QString &effect, int number) const;

private:
    QString m_pattern;
};

} // namespace inkvale
