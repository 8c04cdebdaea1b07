#pragma once
// korva-db backup and korva-db restore.
#include <QStringList>

namespace korvadb {

extern const char usoCopia[];
// The arguments after the command's name. 0 done, 1 failed, 2 wrong use, 128 + the
// signal's number when SIGTERM or SIGINT stopped it.
int backup(const QStringList& args);
int restore(const QStringList& args);

}  // namespace korvadb
