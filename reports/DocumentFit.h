#pragma once

#include "reports/DocumentTypes.h"

#include <QStringList>

namespace kront
{

// The width in characters of a text column of Documents; 0 for any other name.
int DocumentsColumnWidth(const QString &column);

// Fits the texts the program itself put into a new document (its proposed
// number, the names from the settings and Config/Prot.INI, the sensor's
// diameter and mass) to the Documents columns that record them, so that the
// document prints exactly what its reprint shows. A number keeps its value:
// a document number loses padding zeros, a diameter or mass decimals
// (rounded); one that cannot be shortened so is left out. Other texts are
// cut. Returns one line for the operator per changed value that the
// document prints.
QStringList FitNewDocument(TEmittedDoc &doc, bool notice);

// The warning that tells the operator about the changed values.
QString FittedDocumentWarning(const QStringList &changes);

} // namespace kront
