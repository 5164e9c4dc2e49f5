#pragma once

// Makes Qt's own texts (standard buttons, file dialogs, context menus of edits) Russian like
// the rest of the program: installs Qt's Russian translation into the running application,
// once. Looks in Qt's translation folder, then in "translations" next to the program (a
// copy deployed with it). False when no translation was found (Qt's texts stay English).
bool InstallRussianQtTexts();
