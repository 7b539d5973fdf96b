#pragma once

#include <cstddef>
#include <QSet>
#include <QString>

// Naming rules of the conversion: free output names, the scratch folder, the recipe file.
namespace inkvale {

// `filename` itself when nothing exists at that name, otherwise the first free variant
// "base (n).ext" with n = 2, 3, ... (numbers never nest). Names in `reserved` count as taken.
// A name longer than its folder's file system allows has its base name shortened (see
// fittedName()), so that it fits with its number and extension.
QString findFilenameThatDoesNotExist(const QString &filename, const QSet<QString> &reserved = {});

// `base` + `ending`, with `base` cut at the end, between two characters as shown, as far as
// needed for the name to be at most `limit` long (see platform::fileNameLength()); `ending`
// alone when no part of `base` fits.
QString fittedName(const QString &base, const QString &ending, std::size_t limit);

// The folder in which each conversion makes its private folder: the temporary folder when the
// tool reads it literally (on Windows in its short form), else the system's common one; empty
// when there is none the tool would read literally.
QString scratchRootFolder();

// Inkvale's command file as the tool should be given it: a link of its own name in a folder
// of its own inside `privateFolder`, or the file's own path when no link can be made.
QString toolRecipePath(const QString &path, const QString &privateFolder);

// The input's name without its last extension, bytes that are not UTF-8 shown as U+FFFD.
QString inputBaseName(const QString &inputPath);
// folder + separator + baseName + "." + lower-case format.
QString resultFileName(const QString &folder, const QString &baseName, const QString &format);

// destination + separator + the input's name without its last extension (bytes that are not
// UTF-8 shown as U+FFFD) + "." + lower-case format: the name a batch wants for the input.
QString batchWantedName(const QString &destination, const QString &inputPath,
                        const QString &format);
// batchWantedName() made free with findFilenameThatDoesNotExist.
QString batchOutputName(const QString &destination, const QString &inputPath,
                        const QString &format);

} // namespace inkvale
