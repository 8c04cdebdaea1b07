#pragma once
// The printed audit: the findings grouped by municipality, one line each (month, rule,
// expected, found), the count under each municipality and the total at the end. The
// header carries the state, the year of the audit and the date; landscape A4.
#include "audit/rules/Auditoria.h"
#include "reports/TFormRelModelo2.h"

class TFormRelAuditoria : public TFormRelModelo2 {
    Q_OBJECT
public:
    // municipio: the name of the municipality audited alone; empty for the whole state.
    TFormRelAuditoria(QObject* owner, const auditoria::Filtro& filtro, const auditoria::Resultado& resultado,
                      const QString& municipio);
    ~TFormRelAuditoria() override;

    report::TableSource Linhas;
    report::Group* GrupoMunicipio;
    report::Band* SummaryBand1;
};
