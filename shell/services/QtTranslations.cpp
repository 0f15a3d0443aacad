#include "shell/services/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

QString QtTranslations::localeName(const QString &languageName)
{
    const QString wanted = languageName.trimmed();
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = QLocale::Language(l);
        if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) == 0)
            return QLocale(language).name().section(QLatin1Char('_'), 0, 0);
    }
    return {};
}

void QtTranslations::use(const QString &languageName)
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
    const QString locale = localeName(languageName);
    if (locale.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        m_translator = std::move(translator);
    }
}
