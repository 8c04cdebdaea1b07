#pragma once
// The report and selection templates that live for the whole run: FormRelModelo,
// FormSelecaoModelo, FormRelModelo2 and FormImprimeGrid (declared beside their classes).
// None of them is ever shown; FormImprimeGrid is the page the pivot windows print on.
class QWidget;

// Creates them in that order, owned by owner (the main window), right after the main
// window. A creation that fails (the parameter dataset cannot be opened) is shown in the
// standard error box and leaves its variable null; the others are created all the same.
void CriaModelosRelatorio(QWidget* owner);
// Frees those that are still alive, in the reverse order; harmless when called again.
void LiberaModelosRelatorio();
