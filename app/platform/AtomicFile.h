#pragma once

#include <QByteArray>
#include <QString>

namespace util {

// Replaces `path` with `content` so that a reader sees the old or the new
// content, never a mix or an empty file: a temporary file in the same
// directory, fsync, rename, fsync of the directory. New files get `mode`;
// an existing file keeps its mode. Returns false (and leaves the old file)
// when any step fails.
bool writeFileAtomically(const QString &path, const QByteArray &content, unsigned mode = 0600);

} // namespace util
