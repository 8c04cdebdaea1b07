#include "support/DataModule.h"

#include "data/DMPrincipal.h"
#include "support/TestDatabase.h"

namespace support {

void freshDataModule(const QString& kind)
{
    delete DMPrincipal;
    TestDatabase::fresh(kind);
    DMPrincipal = new TDMPrincipal;
    DMPrincipal->DataModuleCreate();
}

}  // namespace support
