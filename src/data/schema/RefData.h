#pragma once
#include <QList>
#include <QString>
#include <QStringList>

namespace db::fb {
class Transaction;
}

namespace data {

// Loads the reference tables from the files under refdata/ (embedded as resources).
void loadReferenceData(db::fb::Transaction& tr);

// The rows of a tab-separated reference file, below its header line, which must name
// exactly these columns.
QList<QStringList> readReferenceFile(const QString& file, const QStringList& header);

}  // namespace data
