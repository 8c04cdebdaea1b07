#pragma once
// The report and selection templates that live for the whole run: FormRelModelo,
// FormSelecaoModelo, FormRelModelo2 and FormImprimeGrid (declared beside their classes).
// None of them is ever shown; FormImprimeGrid is the page the pivot windows print on.
class QWidget;

// Creates them in that order, owned by owner (the main window), right after the main
// window. A database out of reach does not keep them from being created: the report
// templates read the parameter record when a report runs. Another failure is shown in
// the standard error box and leaves its variable null; the others are created all the same.
void CriaModelosRelatorio(QWidget* owner);
// Frees those that are still alive, in the reverse order; harmless when called again.
void LiberaModelosRelatorio();
