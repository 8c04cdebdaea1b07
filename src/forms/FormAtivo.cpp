#include "forms/FormAtivo.h"

QPointer<QWidget> FormAtivo;
