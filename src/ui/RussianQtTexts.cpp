#include "ui/RussianQtTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
const char* const kTranslatorName = "ZorvexRussianQtTexts";
}

bool InstallRussianQtTexts() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    if (app->findChild<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly))
        return true;
    auto* translator = new QTranslator(app); // lives as long as the application
    translator->setObjectName(QLatin1String(kTranslatorName));
    const QStringList folders{
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}
