#pragma once

class QTranslator;

// Loads Qt's own Russian texts (standard buttons, file dialogs, Qt's error texts) into the
// application, whatever the user's locale; the program's own texts are Russian already. Returns
// the translator, owned by the application object, or nullptr when the translation is not
// installed: everything then still works, in English.
QTranslator *installQtTranslation();
