#pragma once

// Work-package codes that the IFC models already carry: a property named CWA, CWP, IWP or PWP
// (the last piece of its key) holds a code; the elements that carry one code become one
// package. Pure: the scan reads the table it is given and touches nothing else.

#include "timeline/TimeLiner.h"

#include "federation/EstadoFederacion.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quelva {

struct ParametroAWPDetectado {
    NivelAWP nivel = NivelAWP::cwa;  // the level under which the code was met first
    QString codigo;                  // the value as the model holds it (not trimmed, case kept)
    QStringList elementos;           // distinct element names, never empty
};

// The level a property key names: its last " › " piece, spaces and tabs trimmed, upper-cased,
// exactly "CWA", "CWP", "IWP" or "PWP".
std::optional<NivelAWP> nivelDeClave(const QString& clave);

// Every code of the table, grouped with canonically equivalent texts as one (the first text
// met is kept), sorted by ordenResultados.
std::vector<ParametroAWPDetectado> analizarPropiedades(const PropiedadesPorEspecialidad& tabla);

// Level text, then code by code points.
bool ordenResultados(const ParametroAWPDetectado& a, const ParametroAWPDetectado& b);

// The candidate of `nivelPadre` sharing most elements with the child; the earliest in the list
// on equal counts; none when no candidate shares one.
std::optional<QString> buscarPadre(NivelAWP nivelPadre, const QStringList& elementos,
                                   const std::vector<ParametroAWPDetectado>& candidatos);

// The configuration after importing the ticked results (`seleccionados` holds result codes):
// one new package per ticked code not already stored (canonically equivalent codes are the
// same code), parents looked for among the ticked results, and the project window set to the
// earliest start and latest end of all packages.
TimeLinerConfig importarSeleccionados(TimeLinerConfig config, const std::vector<ParametroAWPDetectado>& resultados,
                                      const QSet<QString>& seleccionados);

}  // namespace quelva
