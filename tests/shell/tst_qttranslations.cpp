#include "shell/services/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QtTest>

// Qt's own texts (dialog buttons, file dialogs) follow the language the user picked.
class TestQtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void localeOfLanguage_data();
    void localeOfLanguage();
    void buttonsFollowLanguage();
};

void TestQtTranslations::localeOfLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("locale");
    QTest::newRow("shipped italian") << "italian" << "it";
    QTest::newRow("capitals as copied from Windows") << "English" << "en";
    QTest::newRow("another language file") << "german" << "de";
    QTest::newRow("not a language") << "custom" << "";
    QTest::newRow("empty") << "" << "";
}

void TestQtTranslations::localeOfLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, locale);
    QCOMPARE(QtTranslations::localeName(language), locale);
}

void TestQtTranslations::buttonsFollowLanguage()
{
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm")))
        QSKIP("Qt's Italian translation is not installed (Debian: qt6-translations-l10n)");
    const QString yes = QStringLiteral("&Yes");
    QtTranslations texts;
    texts.use(QStringLiteral("italian"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&S\u00EC"));
    texts.use(QStringLiteral("english"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), yes);
    texts.use(QStringLiteral("italian"));
    {
        QtTranslations other;
    }
    // Switching back and forth leaves one translation installed, the last one.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&S\u00EC"));
}

QTEST_MAIN(TestQtTranslations)
#include "tst_qttranslations.moc"
