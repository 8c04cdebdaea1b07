#pragma once
// The shared data module on a fresh database, for window and data tests.
#include <QString>

namespace support {

// Frees the current DMPrincipal, if any, copies a fresh template database of the given
// kind ("empty" or "demo", see TestDatabase) and creates and connects a new DMPrincipal
// on it.
void freshDataModule(const QString& kind = QStringLiteral("empty"));

}  // namespace support
