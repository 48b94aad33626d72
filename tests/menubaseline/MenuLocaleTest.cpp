#include "MenuBaseline/MenuLocale.h"

#include <QTranslator>

#include <gtest/gtest.h>

#include "MenuBaseline/MenuBaseline.h"

using namespace quillfen;
using MenuLocale::Host;

TEST(MenuLocale, ChoosesTheApplicationsLanguageElseTheUsers) {
    struct Case {
        const char* name;
        Host host;
        const char* language;
    };
    const Case cases[] = {
        {"English-only application, Spanish user", {{"en"}, {"en"}, {"es"}, true}, "en"},
        {"Spanish application, Spanish user", {{"en", "es"}, {"es"}, {"es"}, true}, "es"},
        {"application shows Mexican Spanish", {{"en", "es-MX"}, {"es-MX"}, {"es-MX"}, false}, "es"},
        {"application shows Latin American Spanish", {{"en", "es-419"}, {"es-419"}, {}, true}, "es"},
        {"application shows Brazilian Portuguese", {{"en", "pt-BR"}, {"pt-BR"}, {"es"}, true}, "en"},
        {"application follows itself, not the user", {{"en", "es"}, {"es"}, {"en"}, false}, "es"},
        {"translated application with no match", {{"en", "es"}, {}, {"es"}, false}, "en"},
        {"installed application without translations", {{}, {}, {"es"}, true}, "en"},
        {"plain program, French then Mexican Spanish user", {{}, {}, {"fr", "es-MX"}, false}, "es"},
        {"Base only counts as untranslated", {{"Base"}, {"Base"}, {"es_ES"}, false}, "es"},
        {"plain program, British English before Spanish", {{}, {}, {"en-GB", "es"}, false}, "en"},
        {"plain program, no language it carries", {{}, {}, {"fr", "de", "pt-BR"}, false}, "en"},
        {"no preferences at all", {{}, {}, {}, false}, "en"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MenuLocale::chooseLanguage(c.host), QString::fromLatin1(c.language));
    }
}

TEST(MenuLocale, ReducesIdentifiersToTheirLanguage) {
    const std::pair<const char*, const char*> cases[] = {
        {"es-419", "es"}, {"es_MX", "es"},  {"pt-BR", "pt"}, {"zh-Hant-TW", "zh"},
        {"en", "en"},     {"Base", "Base"}, {"", ""},
    };
    for (const auto& [identifier, code] : cases) {
        SCOPED_TRACE(identifier);
        EXPECT_EQ(MenuLocale::languageCode(QString::fromLatin1(identifier)), QString::fromLatin1(code));
    }
}

TEST(MenuLocale, MatchesTheApplicationsTranslationsToTheUsersLanguagesInTheUsersOrder) {
    struct Case {
        QStringList localizations, user, expected;
    };
    const Case cases[] = {
        {{"en", "es"}, {"es-MX", "en"}, {"es"}},
        {{"en", "es"}, {"de", "en-US", "es"}, {"en"}},
        {{"es", "es-MX"}, {"es_MX"}, {"es-MX"}},  // an exact match beats a language match
        {{"en", "es"}, {"fr"}, {}},
        {{}, {"es"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user.join(' ').toStdString());
        EXPECT_EQ(MenuLocale::preferredLocalizations(c.localizations, c.user), c.expected);
    }
}

TEST(MenuLocale, ThisProcessFollowsItsSpanishPreferringUser) {
    const Host host = MenuLocale::currentHost();
    EXPECT_FALSE(host.isApplication);
    EXPECT_TRUE(host.localizations.isEmpty());
    EXPECT_EQ(MenuLocale::language(), QStringLiteral("es"));
}

TEST(MenuLocale, TitlesComeFromTheModulesTranslationsAndFallBackToEnglish) {
    struct Case {
        const char* language;
        const char* close;
        const char* help;
    };
    const Case cases[] = {
        {"en", "Close Window", "Quillfen Help"},    {"es", "Cerrar ventana", "Ayuda de Quillfen"},
        {"de", "Close Window", "Quillfen Help"},     // no German translation
        {"es-MX", "Close Window", "Quillfen Help"},  // only language codes have translations
        {"../es", "Close Window", "Quillfen Help"},
    };
    const MenuHelp help(QStringLiteral("Quillfen"), QUrl());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const QString language = QString::fromLatin1(c.language);
        EXPECT_EQ(MenuBaseline::closeWindowTitle(language), QString::fromUtf8(c.close));
        EXPECT_EQ(help.title(language), QString::fromUtf8(c.help));
    }
}

TEST(MenuLocale, TitleWithoutAnEntryIsItsEnglishText) {
    const QTranslator empty;
    EXPECT_EQ(MenuLocale::lookup(empty, "Close Window"), QStringLiteral("Close Window"));
    EXPECT_EQ(MenuLocale::lookup(*MenuLocale::bundle(QStringLiteral("es")), "Open Window"),
              QStringLiteral("Open Window"));
}

TEST(MenuLocale, ApplicationNameIsInsertedVerbatim) {
    const MenuHelp help(QStringLiteral("Studio %1 %2"), QUrl());
    EXPECT_EQ(help.title(QStringLiteral("en")), QStringLiteral("Studio %1 %2 Help"));
    EXPECT_EQ(help.title(QStringLiteral("es")), QStringLiteral("Ayuda de Studio %1 %2"));
}
