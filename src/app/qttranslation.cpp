#include "app/qttranslation.h"

#include "csp/qtcompat.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

QTranslator *installQtTranslation()
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"), QtCompat::translationsPath()) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator.release();
}
