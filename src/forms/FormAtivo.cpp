#include "FormAtivo.h"

QPointer<QWidget> FormAtivo;
