#pragma once
// The report template every report window derives from: one report layout, RelModelo,
// with the institution's letterhead from the parameter record in a page header on every
// page. A report window is never shown: it holds the layout and the queries that feed it,
// and its report is shown in the preview.
//
// A derived report window adds its elements to the bands, points RelModelo at its own
// query (RelModelo.setRecordSource) and builds and opens that query in its constructor,
// which runs after the template's creation handler; its destructor closes the query.
// Its own report-start handler overrides RelModeloBeforePrint and runs the template's
// first. The header is laid out for the paper when the report runs, so that a report
// may turn it to landscape.
#include "reports/DatasetSource.h"
#include "report/Report.h"

#include <QObject>

class TFormRelModelo : public QObject {
    Q_OBJECT
public:
    // Runs the creation handler. A database out of reach leaves the parameter dataset
    // closed, to be read when the report runs (the letterhead and the template's own
    // report-start handler open it); any other error opening it passes on.
    explicit TFormRelModelo(QObject* owner = nullptr);
    ~TFormRelModelo() override;

    report::Report RelModelo;

    report::Band* TitleBand1;         // page header, every page, a line under it
    report::Band* ColumnHeaderBand1;  // a line under it; the report's column captions
    report::Band* DetailBand1;
    report::Band* PageFooterBand1;

    report::SystemField* QRSysData1;  // report title
    report::DataText* QRDBText1;      // DS_CABECALHO1
    report::DataText* QRDBText2;      // DS_CABECALHO2
    report::DataText* QRDBText3;      // DS_CABECALHO3
    report::DataText* QRDBText4;      // NO_SISTEMA
    report::SystemField* QRSysData2;  // "Pagina " and the page number
    report::SystemField* QRSysData3;  // date
    report::SystemField* QRSysData4;  // time

    // The template's record source: the parameter dataset.
    report::DatasetSource FonteParametros;

protected:
    // Opens the parameter dataset if it is closed.
    void FormCreate();
    // Report start, at every run: the creation handler's opening of the parameter
    // dataset, and the header laid out for the paper (AjustaAoPapel).
    virtual void RelModeloBeforePrint();
    // Places the elements that span the band or stand at its right end: the centred
    // title, the page number, the date and the time.
    virtual void AjustaAoPapel();
};

class TDMPrincipal;

// A field of the current row of one of the data module's datasets, for an element of a
// band whatever the report's own record source: null while that dataset is closed or empty.
report::Expression CampoCorrente(db::Dataset TDMPrincipal::*dataset, const QString& campo);

extern TFormRelModelo* FormRelModelo;
