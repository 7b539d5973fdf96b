#pragma once

#include <QSet>
#include <QString>

// Naming rules of the conversion: free output names, the temporary folder, tool-safe inputs.
namespace inkvale {

// `filename` itself when nothing exists at that name, otherwise the first free variant
// "base (n).ext" with n = 2, 3, ... (numbers never nest). Names in `reserved` count as taken.
QString findFilenameThatDoesNotExist(const QString &filename, const QSet<QString> &reserved = {});

// The temporary folder with a trailing separator.
QString tempFolder();

// A form of `path` that the tool reads literally; may place a link in `privateFolder`.
QString toolInputPath(const QString &path, const QString &privateFolder);

// The same for Inkvale's command file; its link goes to a folder of its own inside
// `privateFolder`, apart from the input's.
QString toolRecipePath(const QString &path, const QString &privateFolder);

// destination + separator + the input's name without its last extension (bytes that are not
// UTF-8 shown as U+FFFD) + "." + lower-case format: the name a batch wants for the input.
QString batchWantedName(const QString &destination, const QString &inputPath,
                        const QString &format);
// batchWantedName() made free with findFilenameThatDoesNotExist.
QString batchOutputName(const QString &destination, const QString &inputPath,
                        const QString &format);

} // namespace inkvale
