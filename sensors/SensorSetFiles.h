#pragma once

#include "sensors/SensorSet.h"

namespace kront
{

class Dialogs;

// Saving and loading the connected-sensors grids as sensor set files
// through the file dialogs, in the Config folder of the program home.
class SensorSetFiles
{
public:
    explicit SensorSetFiles(Dialogs &dialogs);

    // "Сохранить в файл" (BtnSaveToFileClick): asks for a file, asks before replacing an existing
    // one, writes it atomically. True when the file was written.
    bool saveToFile(const SensorSet &set);

    // "Загрузить из файла" (BtnLoadFromFileClick): asks for a file and reads it into the set when
    // it is a file of the set's kind (the set is unchanged otherwise). True
    // when the set was loaded.
    bool loadFromFile(SensorSet &set);

    static QString fileFilter(); // "Параметры датчиков (*.sst ...)"

private:
    Dialogs &dialogs;
};

} // namespace kront
