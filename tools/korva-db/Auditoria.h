#pragma once
// korva-db audit: the audit of the months a state received, as the window
// "Auditoria dos Dados Recebidos" shows it.
#include <QStringList>

// Runs the command with the arguments after "audit"; returns the exit status: 0 nothing
// found, 1 findings, 2 misuse or a database that cannot be opened.
int auditoriaDados(const QStringList& args);
