#pragma once

#include "history/SensorHistory.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace kront
{

// The table of a thermocouple's verifications as the window, the command
// line and its CSV show it: date, number, kind, method, declared class,
// result, Δ in °C at each temperature, the document issued.
QStringList HistoryHeaders(const SensorHistory &history);
std::vector<QStringList> HistoryRows(const SensorHistory &history);

// The same as CSV: UTF-8 with a byte order mark, ";" between fields, CR LF,
// decimal comma.
QByteArray HistoryCsv(const SensorHistory &history);
// Any table of texts in that form.
QByteArray TextTableCsv(const QStringList &headers, const std::vector<QStringList> &rows);

// The texts of single cells.
QString KindText(int kind);
QString MethodicText(int methodic);
QString ResultText(const QString &stored);                          // "Бр." -> "Брак"
QString DocumentText(const QString &result, const QString &docNum); // "Свидетельство № 7"
QString SensorKeyText(const StoredSensorKey &key); // "№ 11, ТХА-0292, 2024 г."

} // namespace kront
