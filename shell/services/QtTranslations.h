#pragma once

#include <QString>
#include <memory>

class QTranslator;

// Qt's own texts (file dialogs, Yes and No, Qt's messages) in the interface language.
class QtTranslations
{
public:
    QtTranslations();
    ~QtTranslations();

    // The language as its file is named ("italian", "English"); a language Qt has no
    // translation for leaves Qt's texts in English.
    void use(const QString &languageName);

    // The locale of a language named in English ("italian" gives "it"); empty when unknown.
    static QString localeName(const QString &languageName);

private:
    std::unique_ptr<QTranslator> m_translator;
};
