#pragma once

#include <memory>

#include <QString>
#include <QStringList>
#include <QTranslator>

// The language of the menu module's own titles, English or Spanish, chosen to match the
// application's. Main thread only.
namespace quillfen::MenuLocale {

// The languages the module's translations cover, in this order.
inline const QStringList supportedLanguages{QStringLiteral("en"), QStringLiteral("es")};

// What the language is chosen from: the languages the application is translated into, those
// of them it shows for this user (best first), the user's own languages (best first), and
// whether the program is an installed desktop application.
struct Host {
    QStringList localizations;
    QStringList preferredLocalizations;
    QStringList preferredLanguages;
    bool isApplication = false;
};

// Follows the application when it has translations or is an installed application, otherwise
// the user; always one of supportedLanguages.
QString chooseLanguage(const Host& host);

// The language subtag of a locale identifier ("es" for "es-419" or "es_MX"); the identifier
// itself when it names no known language.
QString languageCode(const QString& identifier);

// The application's localizations that best match the user's languages: the first of the
// user's languages that the application has, exactly or by language code; empty when none.
QStringList preferredLocalizations(const QStringList& localizations, const QStringList& userLanguages);

// This process: the application's translations embedded under ":/i18n" (where Qt's translation
// tooling puts them), English as their source language, the user's interface languages, and a
// desktop file name as the mark of an installed application.
Host currentHost();

// The language of both titles: chosen from currentHost() the first time it is asked for, and
// kept for the life of the process.
const QString& language();

// The module's translations for a language; for a language it does not carry, an empty
// catalogue, in which every title is its English text.
std::unique_ptr<QTranslator> bundle(const QString& language);

// A title in a catalogue, or its English text when the catalogue has no entry for it.
QString lookup(const QTranslator& bundle, const char* key);

}  // namespace quillfen::MenuLocale
