#pragma once

#include <QString>
#include <QStringList>

// What the desktop program was started with: a configuration file to open ("zorvex-prog
// FILE.xml", as a file manager's "Open with" starts it) and the folder for a screenshot run
// ("--screenshots DIR"). Other options are left to whoever handles them.
struct StartArguments {
    QString configFile;
    QString screenshotsDir;
    bool screenshots = false;
};

// arguments as QCoreApplication::arguments() gives them (the program first). The first
// argument that is not an option names the file; after "--" every argument is a name.
StartArguments ParseStartArguments(const QStringList& arguments);
