#pragma once

#include "common/IniFile.h"

namespace kront
{

// Config/Prot.INI: the names last typed into the document dialogs.
class ProtIniFile
{
public:
    static QString defaultPath(); // <home>/Config/Prot.INI

    explicit ProtIniFile(const QString &path = defaultPath());

    const QString &path() const { return ini.fileName(); }
    QString lastError() const { return ini.lastError(); }

    // [Dialog]
    QString rukName() const; // initials and surname of the head of the department
    bool setRukName(const QString &value);
    QString povName() const; // initials and surname of the verifier
    bool setPovName(const QString &value);

private:
    IniFile ini;
};

} // namespace kront
