#include "ui/StartArguments.h"

StartArguments ParseStartArguments(const QStringList& arguments) {
    StartArguments result;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && arg == QLatin1String("--screenshots")) {
            if (i + 1 < arguments.size()) {
                result.screenshots = true;
                result.screenshotsDir = arguments.at(++i);
            }
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            continue; // someone else's option
        } else if (result.configFile.isEmpty()) {
            result.configFile = arg;
        }
    }
    return result;
}
