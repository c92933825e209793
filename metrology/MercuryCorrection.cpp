#include "metrology/MercuryCorrection.h"

#include "common/DecimalRounding.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"

namespace kront
{

double AskMercuryCorrection(Dialogs &dialogs, double tAvg)
{
    const QString prompt =
        QStringLiteral("Укажите значение поправки из свидетельства о поверке эталонного ртутного "
                       "стеклянного термометра, соответствующее температуре ") +
        FloatToStrF(rnd_n(tAvg, 2), TFloatFormat::ffFixed, 7, 2) + QStringLiteral(" °C:");
    QString preset = QStringLiteral("0");
    for (;;) {
        const std::optional<QString> answer = dialogs.input(kProgramTitle, prompt, preset);
        if (!answer)
            return 0;
        const QString text = NormalizeNumberText(answer->trimmed());
        double correction = 0;
        if (IsSignedNumber(text) && TryStrToFloat(text, correction))
            return correction;
        dialogs.warning(QStringLiteral("Указано недопустимое значение поправки эталонного ртутного "
                                       "стеклянного термометра!"));
        preset = answer->trimmed();
    }
}

} // namespace kront
