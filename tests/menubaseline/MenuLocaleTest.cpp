#include "MenuBaseline/MenuLocale.h"

#include <gtest/gtest.h>

#include "MenuBaseline/MenuBaseline.h"

using namespace quillfen;

TEST(MenuLocale, ChoosesTheApplicationsLanguageElseTheUsers) {
    struct Case {
        const char* name;
        MenuLocale::Host host;
        const char* language;
    };
    const Case cases[] = {
        {"English-only application, Spanish user", {{"en"}, {"en"}, {"es"}, true}, "en"},
        {"application shows Mexican Spanish", {{"en", "es-MX"}, {"es-MX"}, {}, false}, "es"},
        {"application shows Brazilian Portuguese", {{"en", "pt-BR"}, {"pt-BR"}, {"es"}, true}, "en"},
        {"application follows itself, not the user", {{"en", "es"}, {"es"}, {"en"}, false}, "es"},
        {"translated application, no match", {{"en", "es"}, {}, {"es"}, false}, "en"},
        {"installed application without translations", {{}, {}, {"es"}, true}, "en"},
        {"plain program, French then Mexican Spanish user", {{}, {}, {"fr", "es-MX"}, false}, "es"},
        {"Base alone is no translation", {{"Base"}, {"Base"}, {"es_ES"}, false}, "es"},
        {"plain program, British English first", {{}, {}, {"en-GB", "es"}, false}, "en"},
        {"no preferences at all", {}, "en"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MenuLocale::chooseLanguage(c.host), QString::fromLatin1(c.language));
    }
}

TEST(MenuLocale, MatchesTheApplicationsTranslationsInTheUsersOrder) {
    struct Case {
        QStringList localizations, user, expected;
    };
    const Case cases[] = {
        {{"en", "es"}, {"es-MX", "en"}, {"es"}},
        {{"en", "es"}, {"de", "en-US", "es"}, {"en"}},
        {{"es", "es-MX"}, {"es_MX"}, {"es-MX"}},  // an exact match beats a language match
        {{"en", "es"}, {"fr"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user.join(' ').toStdString());
        EXPECT_EQ(MenuLocale::preferredLocalizations(c.localizations, c.user), c.expected);
    }
}

TEST(MenuLocale, TitlesComeFromTheModulesTranslationsElseEnglish) {
    EXPECT_EQ(MenuLocale::language(), QStringLiteral("es"));  // this process's user (see main.cpp)
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"es", "Cerrar ventana", "Ayuda de Quillfen"},
        {"de", "Close Window", "Quillfen Help"},     // no German translation
        {"es-MX", "Close Window", "Quillfen Help"},  // translations are by language code only
        {"../es", "Close Window", "Quillfen Help"},
    };
    const MenuHelp help(QStringLiteral("Quillfen"), QUrl());
    for (const auto& [language, close, helpTitle] : cases) {
        SCOPED_TRACE(language);
        EXPECT_EQ(MenuBaseline::closeWindowTitle(QString::fromLatin1(language)), QString::fromUtf8(close));
        EXPECT_EQ(help.title(QString::fromLatin1(language)), QString::fromUtf8(helpTitle));
    }
    EXPECT_EQ(MenuLocale::lookup(*MenuLocale::bundle(QStringLiteral("es")), "Open"), QStringLiteral("Open"));
}
