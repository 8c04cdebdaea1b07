#include "DataModule.h"

#include "DMPrincipal.h"
#include "TestDatabase.h"

namespace support {

void freshDataModule(const QString& kind)
{
    delete DMPrincipal;
    TestDatabase::fresh(kind);
    DMPrincipal = new TDMPrincipal;
    DMPrincipal->DataModuleCreate();
}

}  // namespace support
