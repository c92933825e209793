#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kront
{

// Config/EquipParamsTP.INI: the list of verification means as the wizard
// shows it, one line each, Windows-1251 with CR LF (plain text despite the
// name).
class EquipParamsFile
{
public:
    static QString defaultPath(); // <home>/Config/EquipParamsTP.INI

    // The wizard's built-in list, used while the file does not exist.
    static QStringList builtInList();

    explicit EquipParamsFile(const QString &path = defaultPath());

    const QString &path() const { return filePath; }
    bool exists() const;
    // The lines of the file; std::nullopt when it is missing or unreadable.
    std::optional<QStringList> readLines() const;
    // Replaces the file with the lines; false with lastError() when it fails.
    bool writeLines(const QStringList &lines);
    // Replaces the file with the whole text of the list box (split at its
    // line breaks).
    bool writeText(const QString &text);
    QString lastError() const { return error; }

private:
    QString filePath;
    QString error;
};

} // namespace kront
