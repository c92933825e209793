// libFuzzer target: the readers of stored texts: the verification state
// string, stored date-times and numbers in text fields.
#include "db/FieldValue.h"
#include "model/StageProgression.h"
#include "model/TPoverka.h"

#include <cstdint>
#include <cstdlib>

using namespace kront;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    TPoverka poverka;
    const QString before = EncodeState(poverka);
    if (DecodeState(poverka, text)) {
        TPoverka again;
        if (!DecodeState(again, EncodeState(poverka)) || EncodeState(again) != EncodeState(poverka))
            std::abort(); // what was read does not read back
    } else if (EncodeState(poverka) != before) {
        std::abort(); // a refused state changed the verification
    }
    dateTimeFromStored(text);
    numberInText(text);
    return 0;
}
